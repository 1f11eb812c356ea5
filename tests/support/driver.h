#pragma once
// Drives whole Windows programs from a test, the way a person at the screen
// would: start the program, find its windows, read their texts, post
// commands, answer its message boxes, and make sure it is gone at the end.
// Everything works across processes, so it serves programs run under wine.

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

using namespace std::chrono_literals;
using Milliseconds = std::chrono::milliseconds;

// Polls `condition` every 20 ms until it holds or `timeout` has passed.
bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout);

// A started program; stopped (WM_CLOSE, then TerminateProcess) when destroyed.
class DrivenProgram {
 public:
  // Starts `program` with the command line "\"program\" arguments" in
  // `currentDirectory` (empty: the test's own).
  DrivenProgram(std::string program, std::string_view arguments = {},
                std::string currentDirectory = {});
  // Starts with exactly the given command line (the program is found by it).
  static DrivenProgram WithCommandLine(std::string commandLine, std::string currentDirectory = {});

  DrivenProgram(DrivenProgram&& other) noexcept;
  DrivenProgram& operator=(DrivenProgram&&) = delete;
  DrivenProgram(const DrivenProgram&) = delete;
  DrivenProgram& operator=(const DrivenProgram&) = delete;
  ~DrivenProgram();

  bool started() const { return process_ != nullptr; }
  DWORD startError() const { return startError_; }  // GetLastError of a failed CreateProcess
  DWORD processId() const { return processId_; }
  const std::string& commandLine() const { return commandLine_; }

  // Top-level windows of the process (visible or not), in z-order.
  std::vector<HWND> TopLevelWindows() const;
  // First top-level window whose title starts with `titlePrefix` (and, if
  // given, whose class is `className`); nullptr after `timeout`.
  HWND WaitForWindow(std::string_view titlePrefix, Milliseconds timeout,
                     std::string_view className = {}) const;

  bool IsRunning() const;
  // The exit code once the process has ended within `timeout`.
  std::optional<DWORD> WaitForExit(Milliseconds timeout) const;
  // WM_CLOSE to every window, up to `grace` to end, then TerminateProcess.
  void Stop(Milliseconds grace = 2000ms);

 private:
  DrivenProgram() = default;
  void Start(const char* application, std::string currentDirectory);

  std::string commandLine_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  DWORD startError_ = 0;
};

// WM_GETTEXT through SendMessageTimeout (2 s), so a hung window cannot hang the test.
std::string WindowText(HWND window);
// The caption the system keeps for a window (GetWindowText: never waits on a
// busy program, so it suits polling loops).
std::string TitleOf(HWND window);
std::string ControlText(HWND dialog, int controlId);
std::string ClassNameOf(HWND window);
// WM_COMMAND with the control id (BN_CLICKED, as a click on a button would send).
bool PostCommand(HWND window, int id);
bool IsShown(HWND window);

// A standard message box of a program: dialog class "#32770" whose caption is
// exactly `caption`; its text is the static control 0xFFFF.
struct MessageBoxWindow {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};
std::optional<MessageBoxWindow> WaitForMessageBox(const DrivenProgram& program,
                                                  std::string_view caption, Milliseconds timeout);
// Presses a button of a message box or dialog (IDOK, IDCANCEL, IDYES, ...).
bool PressButton(HWND dialog, int buttonId);

// A spare drive letter mapped onto a folder for the life of the object.
// Uses DefineDosDevice, and under wine (where that mapping does not reach
// the file system) the mount manager's Unix drive definition.
class MappedDrive {
 public:
  explicit MappedDrive(const std::filesystem::path& folder);
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;
  ~MappedDrive();

  bool ok() const { return letter_ != 0; }
  char letter() const { return letter_; }
  std::string root() const { return std::string(1, letter_) + ":\\"; }  // e.g. "Q:\"

 private:
  char letter_ = 0;
  bool viaMountManager_ = false;
};

}  // namespace velmora::testing
