// Starting programs: the command-line limit, start failures, the suite root
// derived from the launcher's own path, and the error boxes.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/ui_seams.h"
#include "shell/app_state.h"
#include "shell/module_launch.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::shell {
namespace {

using velmora::testing::ReadFileBytes;
using velmora::testing::TempDir;

using velmora::testing::BoxList;
using velmora::testing::BoxRecorder;

std::vector<velmora::testing::RecordedBox>& g_boxes = BoxRecorder::Boxes();
constexpr UINT kErrorStyle = MB_TOPMOST | MB_SYSTEMMODAL | MB_ICONWARNING;

TEST(OwnPathOrReport, IsThisProgramsWholePathWithoutABox) {
  g_boxes.clear();
  char expected[32768] = {};
  const DWORD length = GetModuleFileNameA(nullptr, expected, sizeof expected);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(OwnPathOrReport(), std::string(expected, length));
  EXPECT_TRUE(g_boxes.empty());
}

TEST(ProgramOnCommandLine, QuotesOnlyPathsWithABlank) {
  EXPECT_EQ(ProgramOnCommandLine("C:\\Suite\\Kelbar\\kelbarw.exe"),
            "C:\\Suite\\Kelbar\\kelbarw.exe");
  EXPECT_EQ(ProgramOnCommandLine("C:\\Corvane 1\\Kelbar\\kelbarw.exe"),
            "\"C:\\Corvane 1\\Kelbar\\kelbarw.exe\"");
  EXPECT_EQ(ProgramOnCommandLine("C:\\S\\q.exe   "), "C:\\S\\q.exe")
      << "trailing blanks are no part of the path";
}

TEST(RunProcess, RefusesCommandLinesOver511CharactersNotCountingTrailingBlanks) {
  EXPECT_EQ(RunProcess(std::string(512, 'x')), -1);
  EXPECT_EQ(RunProcess(std::string(512, 'x') + "   "), -1);
  EXPECT_EQ(RunProcess("cmd.exe /c rem " + std::string(496, 'x') + std::string(100, ' ')), 0);
}

TEST(RunProcess, ReportsTheWindowsErrorOfAMissingProgram) {
  // The code is CreateProcessA's own: Windows and wine differ on which one.
  const int missingPath = RunProcess("C:\\no\\such\\program.exe");
  EXPECT_TRUE(missingPath == ERROR_PATH_NOT_FOUND || missingPath == ERROR_FILE_NOT_FOUND)
      << missingPath;
  EXPECT_EQ(RunProcess("no_such_program_here.exe"), static_cast<int>(ERROR_FILE_NOT_FOUND));
}

TEST(RunProcess, WaitsForTheProgramToEnd) {
  TempDir dir;
  const std::string marker = dir / "done.txt";
  ASSERT_EQ(RunProcess("cmd.exe /c echo finished>" + marker), 0);
  EXPECT_EQ(ReadFileBytes(marker), "finished\r\n")
      << "the file is complete when RunProcess returns";
}

TEST(RunModuleFromPath, ALauncherUnderADriveRootShowsTheDirectoryMessage) {
  BoxRecorder boxes;
  const ModuleRoutine routine{"\\Kelbar\\kelbarw.exe",
                              "Nu se poate determina directorul Kelbar -ului!",
                              "\\Kelbar\\kelbarw.exe!"};
  EXPECT_FALSE(RunModuleFromPath("C:\\velmora.exe", routine));
  EXPECT_EQ(g_boxes, (BoxList{{nullptr, "Nu se poate determina directorul Kelbar -ului!", "Eroare",
                               kErrorStyle}}));
}

TEST(WindowsErrorText, RightAlignsTheCodeInFiveColumns) {
  EXPECT_EQ(WindowsErrorText(5, "GetCurrentDirectory"), "Eroare [    5] in GetCurrentDirectory!");
  EXPECT_EQ(WindowsErrorText(12345, "SetCurrentDirectory"),
            "Eroare [12345] in SetCurrentDirectory!");
  EXPECT_EQ(WindowsErrorText(123456, "GetModuleFileName"), "Eroare [123456] in GetModuleFileName!");
}

}  // namespace
}  // namespace velmora::shell

namespace velmora::shell {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    char old[1024] = {};
    const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = length > 0 && length < sizeof old;
    old_ = old;
    SetEnvironmentVariableA(name, value);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

class SelfUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA((suite_ / "ERP").c_str(), nullptr);
    velmora::testing::WriteFileBytes(suite_.path() / "ERP" / "renova37.exe",
                                     "not a program, new copy");
  }
  TempDir suite_;
  TempDir temp_;
  std::string ownPath_ = suite_ / "ERP\\velmora.exe";
};

TEST_F(SelfUpdateTest, WithoutTmpTheCopyFailsWithMinusFour) {
  ScopedEnvironment tmp("TMP", nullptr);
  std::string message;
  EXPECT_EQ(RunSelfUpdateFromPath(ownPath_, message), -4);
  EXPECT_EQ(message, "Eroare copiere fisier in directorul temporar !");
}

TEST_F(SelfUpdateTest, AReadOnlyCopyLeftInTmpIsReplaced) {
  ScopedEnvironment tmp("TMP", temp_.path().string().c_str());
  const std::string old = temp_ / "renova37.exe";
  velmora::testing::WriteFileBytes(old, "old copy");
  SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY);
  std::string message;
  // The copy is no program, so the start itself fails: -3 with the copy's path.
  EXPECT_EQ(RunSelfUpdateFromPath(ownPath_, message), -3);
  EXPECT_EQ(ReadFileBytes(old), "not a program, new copy");
  EXPECT_EQ(message,
            ("Nu s-a putut executa " + temp_.path().string() + "\\renova37.exe").substr(0, 80));
}

TEST_F(SelfUpdateTest, ALauncherUnderADriveRootCannotFindTheErpFolder) {
  std::string message;
  EXPECT_EQ(RunSelfUpdateFromPath("C:\\velmora.exe", message), -2);
  EXPECT_EQ(message, "Nu se poate determina directorul ERP -ului!");
}

TEST(LaunchDocumentsFromPath, AMissingProgramNamesQOrTkvByMode) {
  TempDir suite;
  const std::string ownPath = suite / "ERP\\velmora.exe";
  const struct {
    int16_t mode;
    const char* program;
  } cases[] = {{0, "\\Vantor\\q.exe!"},
               {1, "\\Vantor\\q.exe!"},
               {2, "\\Vantor\\q.exe!"},
               {3, "\\Vantor\\tkv.exe!"}};
  for (const auto& c : cases) {
    BoxRecorder boxes;
    EXPECT_FALSE(LaunchDocumentsFromPath(ownPath, c.mode));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, "Nu s-a putut executa " + suite.path().string() + c.program);
  }
}

}  // namespace
}  // namespace velmora::shell

namespace velmora::shell {
namespace {

std::string CurrentDirectory() {
  char directory[512] = {};
  GetCurrentDirectoryA(sizeof directory, directory);
  return directory;
}

// Starting the assistant moves into the Vantor folder; the start made for a
// new message must leave the launcher in the folder it was in.
TEST(RunAssistantKeepingDirectory, PutsTheCurrentDirectoryBack) {
  TempDir suite;
  CreateDirectoryA((suite / "Vantor").c_str(), nullptr);
  App().paths = BuildAppPaths(suite.path().string() + "\\ERP\\");
  const std::string before = CurrentDirectory();

  std::string assistantPath;
  RunWithWindowHandle(assistantPath, nullptr, false);
  EXPECT_NE(CurrentDirectory(), before) << "the plain start changes the directory";
  SetCurrentDirectoryA(before.c_str());

  RunAssistantKeepingDirectory(nullptr);
  EXPECT_EQ(CurrentDirectory(), before);
}

}  // namespace
}  // namespace velmora::shell
