// The client code text of the qualification, found through the documents
// module's files: dirvan.dat (or, in ERP mode, DIRERP.DAT) names the folder
// whose dev.dat holds the client record.

#include <gtest/gtest.h>

#include <string>

#include "docstore/client_code.h"
#include "link/link_api.h"
#include "link/link_testing.h"
#include "link_fixture.h"
#include "loopback_peer.h"
#include "support/keyed_file_writer.h"

namespace velmora::link::testing {
namespace {

using velmora::testing::WriteFileBytes;

const std::string kCode("\xB1\x68\xDE\x3A", 4);  // 987654321, little-endian

// A folder with a short path: the directory files hold 40-character paths.
class ShortFolder {
 public:
  ShortFolder() {
    path_ = "C:\\vlk" + std::to_string(GetCurrentProcessId() % 100000);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ShortFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

class LinkIdentity : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    docstore::ClearClientCodeCache();
    vantor_ = folder_.path() + "\\VANTOR";
    CreateDirectoryA(vantor_.c_str(), nullptr);
    velmora::testing::IndexFileWriter dev(40, 37);
    ASSERT_TRUE(dev.Add({"CODCLI", kCode}));
    WriteFileBytes(vantor_ + "\\dev.dat", dev.image());
    WriteFileBytes(vantor_ + "\\obi.dat", velmora::testing::ObiFileImage(37));
  }
  void TearDown() override {
    docstore::ClearClientCodeCache();
    LinkTest::TearDown();
  }
  std::string Field40(const std::string& text) { return text + std::string(40 - text.size(), ' '); }
  void WriteDirvan() {
    std::string record(512, ' ');
    record.replace(180, 40, Field40(vantor_));
    record[354] = 'R';
    WriteFileBytes(dir_ / "DIRVAN.DAT", record);
  }
  void WriteDirerp() {
    std::string file(2048, ' ');
    file.replace(1024, 40, Field40(vantor_));  // record 3, offset 0
    WriteFileBytes(dir_ / "DIRERP.DAT", file);
  }

  ShortFolder folder_;
  std::string vantor_;
};

TEST_F(LinkIdentity, CodeFromDirvan) {
  WriteDirvan();
  SETSTARERPMODE(false);
  EXPECT_EQ(GETSTRINGCU(), 0);
  EXPECT_EQ(ClientCodeText(), "987654321 ");
}

TEST_F(LinkIdentity, NoDirvanGivesTheUnknownCode) {
  SETSTARERPMODE(false);
  EXPECT_EQ(GETSTRINGCU(), 0);
  EXPECT_EQ(ClientCodeText(), "1234567890");
}

TEST_F(LinkIdentity, CodeFromTheErpDirectoryFileInErpMode) {
  WriteDirerp();
  SETSTARERPMODE(true);
  EXPECT_EQ(GETSTRINGCU(), 0);
  EXPECT_EQ(ClientCodeText(), "987654321 ");
}

TEST_F(LinkIdentity, UnreadableErpDirectoryFileInErpMode) {
  CreateDirectoryA((dir_ / "DIRERP.DAT").c_str(), nullptr);  // a folder where the file should be
  SETSTARERPMODE(true);
  EXPECT_EQ(GETSTRINGCU(), -1);
  EXPECT_EQ(ClientCodeText(), "1234567890");
}

TEST_F(LinkIdentity, QualificationCarriesTheLookedUpCode) {
  WriteDirvan();
  LoopbackPeer peer(AnswerEverything("x"));
  UsePeer(peer);
  ASSERT_EQ(INITCONECTARELASERVER(dialog_, instance_), 0);
  ASSERT_FALSE(peer.requests().empty());
  EXPECT_EQ(peer.requests()[0].substr(0, 15), "000 987654321  ");
}

}  // namespace
}  // namespace velmora::link::testing
