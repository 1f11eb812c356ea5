#include "support/driver.h"

#include <winioctl.h>

#include <cstring>
#include <thread>
#include <utility>

namespace velmora::testing {
namespace {

constexpr UINT kTextTimeoutMs = 2000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct EnumContext {
  DWORD processId;
  std::vector<HWND>* windows;
};

BOOL CALLBACK CollectWindowsOfProcess(HWND window, LPARAM parameter) {
  auto* context = reinterpret_cast<EnumContext*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context->processId) context->windows->push_back(window);
  return TRUE;
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

char SpareDriveLetter() {
  const DWORD used = GetLogicalDrives();
  for (char letter = 'Y'; letter >= 'M'; --letter) {
    if ((used & (1u << (letter - 'A'))) != 0) continue;
    if (FolderExists(std::string(1, letter) + ":\\")) continue;
    return letter;
  }
  return 0;
}

// Wine's own extension of the mount manager: defines a drive letter as a
// Unix folder (what winecfg does). Layout of wine 6 and later.
struct WineUnixDrive {
  ULONG size;
  ULONG type;
  ULONG fsType;
  DWORD serial;
  ULONGLONG unixDevice;
  WCHAR letter;
  USHORT mountPointOffset;
  USHORT deviceOffset;
  USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool DefineWineDrive(char letter, const char* unixFolder) {
  HANDLE manager =
      CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  std::vector<char> request(sizeof(WineUnixDrive), '\0');
  auto header = WineUnixDrive{};
  header.type = DRIVE_FIXED;
  header.letter = static_cast<WCHAR>(letter - 'A' + 'a');
  if (unixFolder != nullptr) {
    header.mountPointOffset = static_cast<USHORT>(request.size());
    request.insert(request.end(), unixFolder, unixFolder + std::strlen(unixFolder) + 1);
  }
  header.size = static_cast<ULONG>(request.size());
  std::memcpy(request.data(), &header, sizeof header);
  DWORD returned = 0;
  const BOOL ok =
      DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                      nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return ok != FALSE;
}

// Unix name of a Windows path; only wine's kernel32 has this export.
std::string WineUnixName(const std::filesystem::path& path) {
  using UnixNameFn = char*(CDECL*)(const WCHAR*);
  const auto toUnix = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return {};
  char* name = toUnix(std::filesystem::absolute(path).wstring().c_str());
  if (name == nullptr) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, Milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
}

DrivenProgram::DrivenProgram(std::string program, std::string_view arguments,
                             std::string currentDirectory) {
  commandLine_ = "\"" + program + "\"";
  if (!arguments.empty()) {
    commandLine_ += ' ';
    commandLine_ += arguments;
  }
  Start(program.c_str(), std::move(currentDirectory));
}

DrivenProgram DrivenProgram::WithCommandLine(std::string commandLine,
                                             std::string currentDirectory) {
  DrivenProgram program;
  program.commandLine_ = std::move(commandLine);
  program.Start(nullptr, std::move(currentDirectory));
  return program;
}

DrivenProgram::DrivenProgram(DrivenProgram&& other) noexcept
    : commandLine_(std::move(other.commandLine_)),
      process_(std::exchange(other.process_, nullptr)),
      processId_(std::exchange(other.processId_, 0)),
      startError_(other.startError_) {}

DrivenProgram::~DrivenProgram() {
  Stop();
  if (process_ != nullptr) CloseHandle(process_);
}

void DrivenProgram::Start(const char* application, std::string currentDirectory) {
  std::string buffer = commandLine_;  // CreateProcessA may write into it
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(application, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                      &info)) {
    startError_ = GetLastError();
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
}

std::vector<HWND> DrivenProgram::TopLevelWindows() const {
  std::vector<HWND> windows;
  if (processId_ == 0) return windows;
  EnumContext context{processId_, &windows};
  EnumWindows(CollectWindowsOfProcess, reinterpret_cast<LPARAM>(&context));
  return windows;
}

HWND DrivenProgram::WaitForWindow(std::string_view titlePrefix, Milliseconds timeout,
                                  std::string_view className) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows()) {
          if (!className.empty() && ClassNameOf(window) != className) continue;
          if (TitleOf(window).starts_with(titlePrefix)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

bool DrivenProgram::IsRunning() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> DrivenProgram::WaitForExit(Milliseconds timeout) const {
  if (process_ == nullptr) return std::nullopt;
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

void DrivenProgram::Stop(Milliseconds grace) {
  if (!IsRunning()) return;
  for (HWND window : TopLevelWindows()) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForExit(grace)) return;
  TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 5000);
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kTextTimeoutMs, &copied))
    return {};
  return std::string(text, std::min<std::size_t>(copied, sizeof text - 1));
}

std::string TitleOf(HWND window) {
  char title[1024] = {};
  const int n = GetWindowTextA(window, title, sizeof title);
  return std::string(title, n > 0 ? n : 0);
}

std::string ControlText(HWND dialog, int controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  return control == nullptr ? std::string() : WindowText(control);
}

std::string ClassNameOf(HWND window) {
  char name[256] = {};
  const int n = GetClassNameA(window, name, sizeof name);
  return std::string(name, n > 0 ? n : 0);
}

bool PostCommand(HWND window, int id) {
  return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != FALSE;
}

bool IsShown(HWND window) { return IsWindow(window) && IsWindowVisible(window); }

std::optional<MessageBoxWindow> WaitForMessageBox(const DrivenProgram& program,
                                                  std::string_view caption, Milliseconds timeout) {
  std::optional<MessageBoxWindow> box;
  WaitUntil(
      [&] {
        for (HWND window : program.TopLevelWindows()) {
          if (ClassNameOf(window) != "#32770" || TitleOf(window) != caption) continue;
          box = MessageBoxWindow{window, std::string(caption),
                                 ControlText(window, kMessageBoxTextId)};
          return true;
        }
        return false;
      },
      timeout);
  return box;
}

bool PressButton(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                      reinterpret_cast<LPARAM>(button)) != FALSE;
}

MappedDrive::MappedDrive(const std::filesystem::path& folder) {
  const char letter = SpareDriveLetter();
  if (letter == 0) return;
  const std::string device = std::string(1, letter) + ":";
  const std::string target = std::filesystem::absolute(folder).string();
  if (DefineDosDeviceA(0, device.c_str(), target.c_str())) {
    if (FolderExists(device + "\\")) {
      letter_ = letter;
      return;
    }
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
  }
  const std::string unixFolder = WineUnixName(folder);
  if (unixFolder.empty() || !DefineWineDrive(letter, unixFolder.c_str())) return;
  viaMountManager_ = true;
  if (WaitUntil([&] { return FolderExists(device + "\\"); }, 2000ms)) {
    letter_ = letter;
  } else {
    DefineWineDrive(letter, nullptr);
  }
}

MappedDrive::~MappedDrive() {
  if (letter_ == 0) return;
  if (viaMountManager_) {
    DefineWineDrive(letter_, nullptr);
  } else {
    DefineDosDeviceA(DDD_REMOVE_DEFINITION, (std::string(1, letter_) + ":").c_str(), nullptr);
  }
}

}  // namespace velmora::testing
