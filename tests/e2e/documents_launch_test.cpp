// The documents module's start from the real launcher when DIRVAN.DAT is
// missing from the current directory: the launcher writes its own record
// only when anga.dat, the documents module's dev.dat and the accounting
// module's plcont.dat all exist, with paths without a drive letter on the
// launcher's own drive and with one elsewhere.

#include <gtest/gtest.h>

#include "expected_files.h"
#include "launcher_fixture.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;
using velmora::erpdirs::testing::FirstDifference;
using velmora::erpdirs::testing::LauncherDocumentsFile;

class DocumentsLaunch : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    fs::remove(Erp() / "DIRVAN.DAT");  // the sample suite has one
  }

  // Starts the documents module with its button and waits until it has run
  // and the dialog is back.
  void RunDocumentsModule(HWND main, std::size_t expectedStarts) {
    ASSERT_TRUE(PostCommand(main, kButtonVantor));
    ASSERT_EQ(WaitForLaunches("q.exe", expectedStarts).size(), expectedStarts);
    ASSERT_TRUE(WaitUntil([&] { return IsShown(main); }, 5s));
  }

  static void ExpectBytes(const fs::path& file, const std::string& expected) {
    const std::string actual = ReadFileBytes(file);
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_EQ(FirstDifference(actual, expected), -1) << "first differing byte of " << file.string();
  }
};

TEST_F(DocumentsLaunch, NoDirvanIsWrittenUnlessAllThreeFilesExist) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(TitleOf(main), MainTitle(0));

  const fs::path needed[] = {
      Erp() / "anga.dat",
      Vantor() / "dev.dat",
      SuiteDir() / "Kelbar" / "FileGen" / "plcont.dat",
  };
  std::size_t starts = 0;
  for (const fs::path& file : needed) {
    SCOPED_TRACE("without " + file.string());
    FileAside aside(file);
    RunDocumentsModule(main, ++starts);
    EXPECT_FALSE(fs::exists(Erp() / "DIRVAN.DAT"));
    EXPECT_EQ(TitleOf(main), MainTitle(0));
  }
  // The module itself was started every time, from the launcher's directory.
  for (const LaunchRecord& q : LaunchesOf("q.exe")) EXPECT_EQ(q.currentDirectory, Root() + "\\ERP");
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(DocumentsLaunch, OnTheLaunchersDriveDirvanHoldsPathsWithoutTheDrive) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(TitleOf(main), MainTitle(0));

  HoldFile hold(Vantor() / "q.exe");
  ASSERT_TRUE(PostCommand(main, kButtonVantor));
  ASSERT_EQ(WaitForLaunches("q.exe", 1).size(), 1u);
  // Written before the module starts, so that the module finds it.
  const std::string root = Root();  // C:\ve12-0
  ASSERT_EQ(root.substr(1, 2), ":\\");
  ExpectBytes(Erp() / "DIRVAN.DAT", LauncherDocumentsFile(root.substr(2)));
  hold.Release();
  ASSERT_TRUE(WaitUntil([&] { return IsShown(main); }, 5s));

  // The caption refreshed after the run reads the new file: its data
  // directory (\ve12-0\Vantor, on the current drive) holds the client.
  EXPECT_TRUE(WaitUntil([&] { return TitleOf(main) == MainTitle(4711); }, 2s)) << TitleOf(main);

  // A second run leaves the file as it is.
  WriteFileBytes(Erp() / "DIRVAN.DAT", LauncherDocumentsFile("\\elsewhere"));
  RunDocumentsModule(main, 2);
  ExpectBytes(Erp() / "DIRVAN.DAT", LauncherDocumentsFile("\\elsewhere"));
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(DocumentsLaunch, TheKeysSpecialModesWriteItToo) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(PostKeyDown(GetDlgItem(main, kButtonKelbar), VK_F3));
  const auto tkv = WaitForLaunches("tkv.exe", 1);
  ASSERT_EQ(tkv.size(), 1u);
  EXPECT_EQ(tkv[0].commandLine, Root() + "\\Vantor\\tkv.exe /prot");
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(Erp() / "DIRVAN.DAT"); }, 2s));
  ExpectBytes(Erp() / "DIRVAN.DAT", LauncherDocumentsFile(Root().substr(2)));
  EXPECT_TRUE(WaitUntil([&] { return TitleOf(main) == MainTitle(4711); }, 2s)) << TitleOf(main);
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(DocumentsLaunch, FromAnotherDriveDirvanHoldsFullPaths) {
  MappedDrive drive(SuiteDir());
  ASSERT_TRUE(drive.ok()) << "no spare drive letter could be mapped";
  // The launcher lies on C:, its current directory is <drive>:\ERP (the same folder).
  const std::string currentDirectory = drive.root() + "ERP";
  DrivenProgram launcher = StartLauncher("", currentDirectory);
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);

  RunDocumentsModule(main, 1);
  const auto q = LaunchesOf("q.exe");
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0].currentDirectory, currentDirectory);
  EXPECT_EQ(q[0].commandLine, Root() + "\\Vantor\\q.exe -erp -m");
  ExpectBytes(Erp() / "DIRVAN.DAT", LauncherDocumentsFile(Root()));
  EXPECT_TRUE(WaitUntil([&] { return TitleOf(main) == MainTitle(4711); }, 2s)) << TitleOf(main);
  EXPECT_EQ(Close(launcher, main), 0u);
}

}  // namespace
}  // namespace velmora::e2e
