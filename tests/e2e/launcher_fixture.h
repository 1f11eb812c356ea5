#pragma once
// What the whole-program tests of the main dialog and the ERP environment
// share: a fresh sample suite in a short folder right under C:\ (so that its
// paths fit the 40-character fields of the directory files), the launcher
// started in it, its main window found with every message box on the way
// answered, and the launches the stand-ins note in launches.log.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sample_suite/sample_suite.h"
#include "support/driver.h"
#include "support/short_folder.h"

namespace velmora::e2e {

using namespace std::chrono_literals;
using velmora::standins::LaunchRecord;
using velmora::testing::DrivenProgram;
using velmora::testing::Milliseconds;

inline constexpr auto kWindowTimeout = 15s;
inline constexpr auto kExitTimeout = 10s;
inline constexpr auto kLaunchTimeout = 10s;
inline constexpr char kMainTitlePrefix[] = "Corvane - CU";

// Control ids of the main dialog.
inline constexpr int kButtonVantor = 1006;
inline constexpr int kButtonKelbar = 1007;
inline constexpr int kButtonQuillon = 1008;
inline constexpr int kButtonPayroll = 1009;
inline constexpr int kButtonFixedAssets = 1010;
inline constexpr int kButtonErpSetup = 1011;
inline constexpr int kButtonAssistant = 1014;

// Keeps a stand-in running while it lives (the file <program>.hold beside it).
class HoldFile {
 public:
  explicit HoldFile(const std::filesystem::path& program);
  HoldFile(const HoldFile&) = delete;
  HoldFile& operator=(const HoldFile&) = delete;
  ~HoldFile() { Release(); }
  void Release();

 private:
  std::filesystem::path file_;
};

// Sets a file aside while it lives (renamed to <name>.aside) and puts it back.
class FileAside {
 public:
  explicit FileAside(std::filesystem::path file);
  FileAside(const FileAside&) = delete;
  FileAside& operator=(const FileAside&) = delete;
  ~FileAside();

 private:
  std::filesystem::path file_;
};

class LauncherTest : public ::testing::Test {
 protected:
  LauncherTest() : LauncherTest("ve") {}
  // A suite whose root folder name starts with `stem` (C:\<stem>12-0).
  explicit LauncherTest(std::string_view stem) : root_(stem) {}
  void SetUp() override;

  const std::filesystem::path& SuiteDir() const { return suiteDir_; }
  // The suite root as the launcher spells it, without trailing '\' (C:\ve12-0).
  std::string Root() const { return suiteDir_.string(); }
  std::filesystem::path Erp() const { return SuiteDir() / "ERP"; }
  std::filesystem::path Vantor() const { return SuiteDir() / "Vantor"; }

  // Starts ERP\velmora.exe with `arguments`; its current directory is ERP
  // unless given.
  DrivenProgram StartLauncher(std::string_view arguments = {},
                              std::string currentDirectory = {}) const;
  // Waits for the main window, pressing OK on (and noting the text of) every
  // message box shown on the way; nullptr after the time-out.
  HWND MainWindow(const DrivenProgram& launcher,
                  std::vector<std::string>* boxTexts = nullptr) const;
  // Starts the launcher and returns its main window (failing the test without one).
  HWND StartAndFindMain(DrivenProgram& launcher,
                        std::vector<std::string>* boxTexts = nullptr) const;
  // Ends the launcher through Cancel; its exit code.
  std::optional<DWORD> Close(const DrivenProgram& launcher, HWND main) const;

  std::vector<LaunchRecord> LaunchesOf(std::string_view program) const;
  // Waits until `program` has been started `count` times; its records (fewer on time-out).
  std::vector<LaunchRecord> WaitForLaunches(std::string_view program, std::size_t count,
                                            Milliseconds timeout = kLaunchTimeout) const;

 private:
  velmora::testing::ShortTempFolder root_;
  std::filesystem::path suiteDir_ = std::filesystem::path(root_.path()).parent_path();
};

// Whether a launcher holds its single-instance mutex in this wine prefix.
bool LauncherRunning();
// Ends, without asking, every process running `program` (a launcher that a
// test started indirectly and that did not close when asked).
void EndProcessesOf(const std::filesystem::path& program);

// Posts a key press to a window (WM_KEYDOWN, as the keyboard would send it).
bool PostKeyDown(HWND window, UINT key);

// The caption the main dialog shows for a client code.
std::string MainTitle(int32_t clientCode);

}  // namespace velmora::e2e
