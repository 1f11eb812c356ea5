// Start-up and shutdown of the real launcher in a fresh sample suite, driven
// through its windows: the single instance, the data synchronisation run,
// the mail folders, the log switch and the greeting toggle.

#include <gtest/gtest.h>

#include "launcher_fixture.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;

class Startup : public LauncherTest {};

TEST_F(Startup, ShowsTheMainWindowAfterOneSynchronisationRunAndEndsCleanly) {
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WindowText(main).starts_with("Corvane"));

  const auto syncs = LaunchesOf("trovel.exe");
  ASSERT_EQ(syncs.size(), 1u);
  EXPECT_EQ(syncs[0].program, (Erp() / "trovel.exe").string());
  EXPECT_EQ(syncs[0].currentDirectory, Erp().string());
  EXPECT_EQ(syncs[0].commandLine, (Erp() / "trovel.exe").string());
  EXPECT_TRUE(fs::is_directory(Erp() / "OUT"));
  EXPECT_TRUE(fs::is_directory(Erp() / "SENT"));

  EXPECT_EQ(Close(launcher, main), 0u);
  EXPECT_FALSE(LauncherRunning());
  EXPECT_EQ(LaunchesOf("trovel.exe").size(), 1u);
}

// Support's switch: the launcher started with VELMORA_LOG set writes its log
// beside itself; without it, no log file appears at all.
TEST_F(Startup, TheLogIsWrittenOnlyWhenSupportSwitchesItOn) {
  for (const char* value : {static_cast<const char*>(nullptr), "1"}) {
    SCOPED_TRACE(value == nullptr ? "unset" : value);
    fs::remove(Erp() / "velmora.log");
    SetEnvironmentVariableA("VELMORA_LOG", value);
    DrivenProgram launcher = StartLauncher();
    SetEnvironmentVariableA("VELMORA_LOG", nullptr);
    HWND main = StartAndFindMain(launcher);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Close(launcher, main), 0u);
    const std::string log =
        fs::exists(Erp() / "velmora.log") ? ReadFileBytes(Erp() / "velmora.log") : "";
    if (value == nullptr) {
      EXPECT_FALSE(fs::exists(Erp() / "velmora.log"));
    } else {
      EXPECT_NE(log.find(" - Init>>>\r\n"), std::string::npos) << log;
      EXPECT_NE(log.find(" - Bye!\r\n"), std::string::npos) << log;
    }
  }
}

TEST_F(Startup, WaitsForTheSynchronisationProgramBeforeTheMainWindow) {
  HoldFile hold(Erp() / "trovel.exe");
  DrivenProgram launcher = StartLauncher();
  ASSERT_TRUE(launcher.started());
  ASSERT_EQ(WaitForLaunches("trovel.exe", 1, kWindowTimeout).size(), 1u);
  EXPECT_EQ(launcher.WaitForWindow(kMainTitlePrefix, 1500ms), nullptr)
      << "main window while trovel.exe still runs";
  hold.Release();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(Startup, ASecondStartSaysItRunsAlreadyAndLeavesTheFirstAlone) {
  DrivenProgram first = StartLauncher();
  HWND main = StartAndFindMain(first);
  ASSERT_NE(main, nullptr);

  DrivenProgram second = StartLauncher();
  ASSERT_TRUE(second.started());
  const auto box = WaitForMessageBox(second, "Corvane", kWindowTimeout);
  ASSERT_TRUE(box.has_value()) << "no box from the second start";
  EXPECT_EQ(box->text, "Programul Velmora ruleaza deja !");
  EXPECT_EQ(second.WaitForWindow(kMainTitlePrefix, 200ms), nullptr);
  EXPECT_TRUE(PressButton(box->window, IDOK));
  EXPECT_TRUE(second.WaitForExit(kExitTimeout).has_value()) << "the second start did not end";

  EXPECT_TRUE(first.IsRunning());
  EXPECT_TRUE(IsShown(main));
  EXPECT_EQ(LaunchesOf("trovel.exe").size(), 1u) << "only the first synchronises";
  EXPECT_EQ(Close(first, main), 0u);
}

// The alternation itself is the greeting's own test; here, that a start
// plays it and keeps the toggle beside the launcher.
TEST_F(Startup, AStartTurnsTheGreetingToggleBesideTheLauncher) {
  ASSERT_FALSE(fs::exists(Erp() / "velmora.fnb"));
  DrivenProgram launcher = StartLauncher();
  HWND main = StartAndFindMain(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Close(launcher, main), 0u);
  EXPECT_EQ(ReadFileBytes(Erp() / "velmora.fnb"), std::string("\x01\x00", 2));
}

}  // namespace
}  // namespace velmora::e2e
