// The asset pass and the schedule refresh in a temporary program folder,
// with a download function that serves files from memory and notes each call.

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "update/asset_pass.h"
#include "update/update_check.h"

namespace velmora::update {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;
using velmora::testing::WriteFileBytes;

std::map<std::string, std::string> served;  // remote path -> bytes
std::vector<std::string> asked;             // remote paths, in order

int32_t WINAPI ServeFromMemory(const char* remote, int32_t remoteLength, const char* local,
                               int32_t localLength) {
  const std::string remotePath(remote, static_cast<std::size_t>(remoteLength));
  asked.push_back(remotePath);
  const auto file = served.find(remotePath);
  if (file == served.end()) return 0;
  WriteFileBytes(std::string(local, static_cast<std::size_t>(localLength)), file->second);
  return static_cast<int32_t>(file->second.size());
}

std::string Entry(const std::string& picture, std::size_t size) {
  return picture + "\r\ncaption\r\n3000\r\n" + std::to_string(size) + "\r\n";
}

class AssetPass : public ::testing::Test {
 protected:
  void SetUp() override {
    served.clear();
    asked.clear();
  }
  std::string Dir() const { return dir_.path().string() + "\\"; }
  fs::path Schedule(const std::string& text) {
    WriteFileBytes(dir_.path() / "~velmora.scn", text);
    return dir_.path() / "~velmora.scn";
  }
  int16_t Run(const std::string& text) {
    return RunAssetPass(Schedule(text).string(), Dir(), &ServeFromMemory);
  }

  TempDir dir_;
};

TEST_F(AssetPass, FetchesEachMissingPictureOnceAndEachMissingDetailPerEntry) {
  served = {{"/updateVelmora/tw1.jpg", "JPEG"}, {"/updateVelmora/tw1.jpgex", "detail"}};
  EXPECT_EQ(Run("2\r\n" + Entry("tw1.jpg", 4) + Entry("tw1.jpg", 4)), 0);
  EXPECT_EQ(asked, (std::vector<std::string>{"/updateVelmora/tw1.jpg", "/updateVelmora/tw1.jpgex",
                                             "/updateVelmora/tw1.jpgex"}));
  EXPECT_EQ(ReadFileBytes(dir_.path() / "tw1.jpg"), "JPEG");
  EXPECT_EQ(ReadFileBytes(dir_.path() / "tw1.jpgex"), "detail");
  EXPECT_FALSE(fs::exists(dir_.path() / "~tw1.jpg"));
}

TEST_F(AssetPass, APictureOfAnotherSizeRejectsTheScheduleButFetchedPicturesStay) {
  served = {{"/updateVelmora/a.jpg", "AAAA"}, {"/updateVelmora/b.bmp", "BBB"}};
  EXPECT_EQ(Run("2\r\n" + Entry("a.jpg", 4) + Entry("b.bmp", 9)), -1);
  EXPECT_EQ(ReadFileBytes(dir_.path() / "a.jpg"), "AAAA");
  EXPECT_FALSE(fs::exists(dir_.path() / "b.bmp"));
  EXPECT_EQ(ReadFileBytes(dir_.path() / "~b.bmp"), "BBB")
      << "the short download stays under its ~ name";
}

TEST_F(AssetPass, AMissingDetailTextDoesNotRejectTheSchedule) {
  served = {{"/updateVelmora/tx.jpg", "XY"}};
  EXPECT_EQ(Run("1\r\n" + Entry("tx.jpg", 2)), 0);
  EXPECT_FALSE(fs::exists(dir_.path() / "tx.jpgex"));
}

TEST_F(AssetPass, AnUnsafeNameIsNeverFetchedAndRejectsTheSchedule) {
  served = {{"/updateVelmora/../velmora.exe", "EVIL"}};
  EXPECT_EQ(Run("1\r\n" + Entry("..\\velmora.exe", 4)), -1);
  EXPECT_TRUE(asked.empty());
}

TEST_F(AssetPass, WithoutTheFileOrTheDownloadThereIsNothingToDo) {
  EXPECT_EQ(RunAssetPass(Dir() + "none.scn", Dir(), &ServeFromMemory), 0);
  EXPECT_EQ(RunAssetPass(Schedule("1\r\n" + Entry("a.jpg", 4)).string(), Dir(), nullptr), 0);
  EXPECT_TRUE(asked.empty());
}

TEST_F(AssetPass, ScheduleRefreshInstallsOnlyAScheduleWhosePicturesAreAllThere) {
  WriteFileBytes(dir_.path() / "velmora.scn", "old");
  WriteFileBytes(dir_.path() / "here.jpg", "HERE");
  UpdateSetup setup;
  setup.programDirectory = Dir();
  setup.download = &ServeFromMemory;

  served = {{"/updateVelmora/velmora.scn", "1\r\n" + Entry("here.jpg", 4)}};
  RunScheduleUpdate(setup);
  EXPECT_EQ(asked, std::vector<std::string>{"/updateVelmora/velmora.scn"})
      << "present pictures are not fetched";
  EXPECT_EQ(ReadFileBytes(dir_.path() / "velmora.scn"), served.begin()->second);
  EXPECT_FALSE(fs::exists(dir_.path() / "~velmora.scn"));

  served = {{"/updateVelmora/velmora.scn", "1\r\n" + Entry("gone.jpg", 4)}};
  RunScheduleUpdate(setup);
  EXPECT_EQ(ReadFileBytes(dir_.path() / "velmora.scn"), "1\r\n" + Entry("here.jpg", 4));
  EXPECT_TRUE(fs::exists(dir_.path() / "~velmora.scn")) << "a rejected download stays for a look";
}

TEST(DeleteNamedFile, TrimsBlanksAndTellsMissingFromOtherFailures) {
  TempDir dir;
  WriteFileBytes(dir.path() / "x.tmp", "x");
  EXPECT_EQ(DeleteNamedFile((dir.path() / "x.tmp").string() + "   "), 0);
  EXPECT_FALSE(fs::exists(dir.path() / "x.tmp"));
  EXPECT_EQ(DeleteNamedFile((dir.path() / "x.tmp").string()), 2);
  EXPECT_EQ(DeleteNamedFile(dir.path().string()), 13) << "a folder is not a file";
  EXPECT_EQ(DeleteNamedFile(std::string(261, 'a')), 13);
}

}  // namespace
}  // namespace velmora::update
