// The client code text of the qualification, found through the documents
// module's files: dirvan.dat (or, in ERP mode, DIRERP.DAT) names the folder
// whose dev.dat holds the client record.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "docstore/client_code.h"
#include "link/link_api.h"
#include "link/link_testing.h"
#include "support/keyed_file_writer.h"
#include "support/link_fixture.h"
#include "support/loopback_peer.h"
#include "support/path_fields.h"
#include "support/short_folder.h"

namespace velmora::link::testing {
namespace {

using velmora::testing::WriteFileBytes;

const std::string kCode("\xB1\x68\xDE\x3A", 4);  // 987654321, little-endian

class LinkIdentity : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    docstore::ClearClientCodeCache();
    vantor_ = folder_ / "VANTOR";
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
  void WriteDirvan() {
    WriteFileBytes(dir_ / "DIRVAN.DAT", velmora::testing::DocumentsDirectoryNaming(vantor_));
  }
  void WriteDirerp() {
    std::string file(2048, ' ');
    file.replace(1024, 40, velmora::testing::Path40(vantor_));  // record 3, offset 0
    WriteFileBytes(dir_ / "DIRERP.DAT", file);
  }
  void MakeDirerpAFolder() { CreateDirectoryA((dir_ / "DIRERP.DAT").c_str(), nullptr); }

  velmora::testing::ShortTempFolder folder_{"vlk"};  // the directory files hold 40-character paths
  std::string vantor_;
};

// Run in this order on one folder, a failure after a success included.
TEST_F(LinkIdentity, CodeTextFromTheDirectoryFiles) {
  const struct {
    const char* what;
    bool erpMode;
    std::function<void()> write;
    int16_t result;
    const char* text;
  } cases[] = {
      {"no dirvan.dat: the unknown code", false, nullptr, 0, "1234567890"},
      {"dirvan.dat", false, [this] { WriteDirvan(); }, 0, "987654321 "},
      {"DIRERP.DAT in ERP mode", true, [this] { WriteDirerp(); }, 0, "987654321 "},
      {"DIRERP.DAT unreadable (a folder) in ERP mode", true, [this] { MakeDirerpAFolder(); }, -1,
       "1234567890"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir_ / "DIRVAN.DAT");
    std::filesystem::remove_all(dir_ / "DIRERP.DAT");
    docstore::ClearClientCodeCache();
    if (c.write) c.write();
    SETSTARERPMODE(c.erpMode);
    EXPECT_EQ(GETSTRINGCU(), c.result);
    EXPECT_EQ(ClientCodeText(), c.text);
  }
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
