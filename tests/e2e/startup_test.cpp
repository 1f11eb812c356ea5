// Start-up and shutdown of the real launcher in a fresh sample suite, driven
// through its windows: the single instance, the data synchronisation run,
// the mail folders, the greeting toggle and a launcher in a drive's root.

#include <gtest/gtest.h>

#include "sample_suite/sample_suite.h"
#include "support/driver.h"
#include "support/temp_dir.h"

namespace velmora::e2e {
namespace {

namespace fs = std::filesystem;
using namespace velmora::testing;
using velmora::standins::LaunchesOf;
using velmora::standins::ReadLaunches;

constexpr auto kWindowTimeout = 15s;
constexpr auto kExitTimeout = 10s;
constexpr char kMainTitle[] = "Corvane - CU";  // the caption shows the client code after it
constexpr char kAlreadyRunning[] = "Programul Velmora ruleaza deja !";

bool LauncherMutexExists() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, "VelmoraMutex");
  if (mutex == nullptr) return false;
  CloseHandle(mutex);
  return true;
}

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    // Another launcher in this wine prefix (say, of another test program)
    // would turn every start here into a second instance.
    ASSERT_TRUE(WaitUntil([] { return !LauncherMutexExists(); }, 20s))
        << "another launcher holds VelmoraMutex in this wine prefix";
    const auto report = velmora::standins::BuildSampleSuite(suite_.path(), VELMORA_BIN_DIR);
    for (const auto& missing : report.missingPrograms) ADD_FAILURE() << "not built: " << missing;
    ASSERT_TRUE(report.ok());
  }

  fs::path Erp() const { return suite_.path() / "ERP"; }
  DrivenProgram StartLauncher() const { return DrivenProgram((Erp() / "velmora.exe").string(), "", Erp().string()); }

  // Waits for the main window, answering (and noting) any message box the
  // launcher shows on its way there.
  HWND MainWindow(const DrivenProgram& launcher, std::vector<std::string>* boxTexts = nullptr) const {
    HWND main = nullptr;
    WaitUntil(
        [&] {
          for (HWND window : launcher.TopLevelWindows()) {
            if (ClassNameOf(window) != "#32770" || !IsShown(window)) continue;
            const std::string title = TitleOf(window);
            if (title.starts_with(kMainTitle)) {
              main = window;
            } else if (GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, IDOK) != nullptr) {
              if (boxTexts != nullptr) boxTexts->push_back(ControlText(window, 0xFFFF));
              PressButton(window, IDOK);
              main = nullptr;
              return false;
            }
          }
          return main != nullptr;
        },
        kWindowTimeout);
    return main;
  }

  // Ends the launcher through its main window's Cancel; its exit code.
  std::optional<DWORD> Close(const DrivenProgram& launcher, HWND main) const {
    PostCommand(main, IDCANCEL);
    return launcher.WaitForExit(kExitTimeout);
  }

  std::string GreetingToggle() const { return ReadFileBytes(Erp() / "velmora.fnb"); }

  TempDir suite_;
};

TEST_F(Startup, ShowsTheMainWindowAfterOneSynchronisationRunAndEndsCleanly) {
  DrivenProgram launcher = StartLauncher();
  ASSERT_TRUE(launcher.started()) << launcher.startError();
  HWND main = MainWindow(launcher);
  ASSERT_NE(main, nullptr) << "no main window within 15 s";
  EXPECT_TRUE(WindowText(main).starts_with("Corvane"));

  const auto syncs = LaunchesOf(ReadLaunches(suite_.path()), "trovel.exe");
  ASSERT_EQ(syncs.size(), 1u);
  EXPECT_EQ(syncs[0].program, (Erp() / "trovel.exe").string());
  EXPECT_EQ(syncs[0].currentDirectory, Erp().string());
  EXPECT_EQ(syncs[0].commandLine, (Erp() / "trovel.exe").string());
  EXPECT_TRUE(fs::is_directory(Erp() / "OUT"));
  EXPECT_TRUE(fs::is_directory(Erp() / "SENT"));

  EXPECT_EQ(Close(launcher, main), 0u);
  EXPECT_FALSE(LauncherMutexExists());
  EXPECT_EQ(LaunchesOf(ReadLaunches(suite_.path()), "trovel.exe").size(), 1u);
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
    HWND main = MainWindow(launcher);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Close(launcher, main), 0u);
    const std::string log = fs::exists(Erp() / "velmora.log") ? ReadFileBytes(Erp() / "velmora.log") : "";
    if (value == nullptr) {
      EXPECT_FALSE(fs::exists(Erp() / "velmora.log"));
    } else {
      EXPECT_NE(log.find(" - Init>>>\r\n"), std::string::npos) << log;
      EXPECT_NE(log.find(" - Bye!\r\n"), std::string::npos) << log;
    }
  }
}

TEST_F(Startup, WaitsForTheSynchronisationProgramBeforeTheMainWindow) {
  const fs::path hold = Erp() / "trovel.hold";
  WriteFileBytes(hold, "");
  DrivenProgram launcher = StartLauncher();
  ASSERT_TRUE(launcher.started());
  ASSERT_TRUE(WaitUntil([&] { return LaunchesOf(ReadLaunches(suite_.path()), "trovel.exe").size() == 1; },
                        kWindowTimeout));
  EXPECT_EQ(launcher.WaitForWindow(kMainTitle, 1500ms), nullptr) << "main window while trovel.exe still runs";
  fs::remove(hold);
  HWND main = MainWindow(launcher);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Close(launcher, main), 0u);
}

TEST_F(Startup, ASecondStartSaysItRunsAlreadyAndLeavesTheFirstAlone) {
  DrivenProgram first = StartLauncher();
  HWND main = MainWindow(first);
  ASSERT_NE(main, nullptr);

  DrivenProgram second = StartLauncher();
  ASSERT_TRUE(second.started());
  const auto box = WaitForMessageBox(second, "Corvane", kWindowTimeout);
  ASSERT_TRUE(box.has_value()) << "no box from the second start";
  EXPECT_EQ(box->text, kAlreadyRunning);
  EXPECT_EQ(second.WaitForWindow(kMainTitle, 200ms), nullptr);
  EXPECT_TRUE(PressButton(box->window, IDOK));
  EXPECT_TRUE(second.WaitForExit(kExitTimeout).has_value()) << "the second start did not end";

  EXPECT_TRUE(first.IsRunning());
  EXPECT_TRUE(IsShown(main));
  EXPECT_EQ(LaunchesOf(ReadLaunches(suite_.path()), "trovel.exe").size(), 1u) << "only the first synchronises";
  EXPECT_EQ(Close(first, main), 0u);
}

TEST_F(Startup, GreetingToggleAlternatesFromStartToStart) {
  struct Step {
    std::optional<std::string> seed;  // written before the start; nullopt keeps what the last start left
    std::string after;
  };
  const Step steps[] = {
      {std::nullopt, std::string("\x01\x00", 2)},  // no file yet: counts as 0
      {std::nullopt, std::string("\x00\x00", 2)},  // and back
      {std::string("\x07\x00", 2), std::string("\x00\x00", 2)},  // anything above 1 wraps to 0
  };
  ASSERT_FALSE(fs::exists(Erp() / "velmora.fnb"));
  for (const Step& step : steps) {
    if (step.seed) WriteFileBytes(Erp() / "velmora.fnb", *step.seed);
    DrivenProgram launcher = StartLauncher();
    HWND main = MainWindow(launcher);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Close(launcher, main), 0u);
    EXPECT_EQ(GreetingToggle(), step.after);
  }
}

TEST_F(Startup, ALauncherInADrivesRootStartsWithoutMailFolders) {
  TempDir driveFolder;
  fs::copy_file(Erp() / "velmora.exe", driveFolder.path() / "velmora.exe");
  MappedDrive drive(driveFolder.path());
  ASSERT_TRUE(drive.ok()) << "no spare drive letter could be mapped";

  DrivenProgram launcher(drive.root() + "velmora.exe", "", drive.root());
  ASSERT_TRUE(launcher.started()) << launcher.startError();
  std::vector<std::string> boxes;
  HWND main = MainWindow(launcher, &boxes);
  ASSERT_NE(main, nullptr);
  // The synchronisation program cannot be placed without a suite root.
  EXPECT_NE(std::find(boxes.begin(), boxes.end(), "Nu se poate determina directorul ERP -ului!"), boxes.end());
  EXPECT_FALSE(fs::exists(driveFolder.path() / "OUT"));
  EXPECT_FALSE(fs::exists(driveFolder.path() / "SENT"));
  EXPECT_FALSE(fs::exists(driveFolder.path() / "ERP"));
  EXPECT_EQ(Close(launcher, main), 0u);
  EXPECT_FALSE(fs::exists(driveFolder.path() / "launches.log"));
}

}  // namespace
}  // namespace velmora::e2e
