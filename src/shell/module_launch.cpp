#include "shell/module_launch.h"

#include <array>

#include "common/fixed_text.h"
#include "common/program_path.h"
#include "common/ui_seams.h"
#include "common/win_handles.h"
#include "shell/app_state.h"
#include "shell/documents_directory_seed.h"
#include "shell/startup_rules.h"

namespace velmora::shell {
namespace {

constexpr std::size_t kCommandLineLimit = 511;

constexpr ModuleRoutine kAccounting{"\\Kelbar\\kelbarw.exe",
                                    "Nu se poate determina directorul Kelbar -ului!",
                                    "\\Kelbar\\kelbarw.exe!"};
constexpr ModuleRoutine kPayroll{"\\Morvin\\MORVINW.exe",
                                 "Nu se poate determina directorul Morvin-ului!",
                                 "\\Morvin\\Morvinw.exe!"};
constexpr ModuleRoutine kFixedAssets{"\\Tesslo\\tesslow.exe",
                                     "Nu se poate determina directorul Tesslo -ului!",
                                     "\\Tesslo\\tesslow.exe!"};
constexpr ModuleRoutine kDataSynchronisation{
    "\\ERP\\trovel.exe", "Nu se poate determina directorul ERP -ului!", "\\ERP\\trovel.exe!"};

bool RunModule(const ModuleRoutine& routine) {
  const std::string ownPath = OwnPathOrReport();
  return !ownPath.empty() && RunModuleFromPath(ownPath, routine);
}

}  // namespace

int RunProcess(std::string_view commandLine, bool wait) {
  const std::string_view trimmed = TrimTrailingBlanks(commandLine);
  if (trimmed.size() > kCommandLineLimit) return -1;
  std::array<char, kCommandLineLimit + 1> buffer{};
  trimmed.copy(buffer.data(), trimmed.size());

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return static_cast<int>(GetLastError());
  AutoHandle thread(process.hThread);
  AutoHandle child(process.hProcess);
  if (wait) WaitForSingleObject(child.get(), INFINITE);
  return 0;
}

std::string ProgramOnCommandLine(std::string_view path) {
  path = TrimTrailingBlanks(path);
  if (path.find(' ') == std::string_view::npos) return std::string(path);
  return "\"" + std::string(path) + "\"";
}

std::string OwnPathOrReport() {
  if (ProgramPath().empty())
    ShowErrorBox(WindowsErrorText(ProgramPathError(), "GetModuleFileName"));
  return ProgramPath();
}

bool RunModuleFromPath(std::string_view ownPath, const ModuleRoutine& routine) {
  const std::optional<std::string> root = SuiteRootFromOwnPath(ownPath);
  if (!root) {
    ShowErrorBox(routine.directoryMessage);
    return false;
  }
  const std::string& suiteRoot = *root;
  if (RunProcess(ProgramOnCommandLine(suiteRoot + std::string(routine.program))) != 0) {
    ShowErrorBox("Nu s-a putut executa " + suiteRoot + std::string(routine.failedProgram));
    return false;
  }
  return true;
}

bool LaunchAccounting() { return RunModule(kAccounting); }
bool LaunchPayroll() { return RunModule(kPayroll); }
bool LaunchFixedAssets() { return RunModule(kFixedAssets); }
bool RunDataSynchronisation() { return RunModule(kDataSynchronisation); }

}  // namespace velmora::shell

namespace velmora::shell {
namespace {

struct DocumentsCommand {
  std::string_view program, arguments;
};
constexpr DocumentsCommand kDocumentsCommands[] = {
    {"\\Vantor\\q.exe", " -erp -m"},
    {"\\Vantor\\q.exe", " -erp"},
    {"\\Vantor\\q.exe", " -m -erp -cu"},
    {"\\Vantor\\tkv.exe", " /prot"},
};

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

bool LaunchDocuments(int16_t mode) {
  char currentDirectory[512] = {};
  if (GetCurrentDirectoryA(sizeof currentDirectory, currentDirectory) == 0) {
    ShowErrorBox(WindowsErrorText(GetLastError(), "GetCurrentDirectory"));
    return false;
  }
  const std::string ownPath = OwnPathOrReport();
  return !ownPath.empty() && LaunchDocumentsFromPath(ownPath, mode);
}

bool LaunchDocumentsFromPath(std::string_view ownPath, int16_t mode) {
  const std::optional<std::string> root = SuiteRootFromOwnPath(ownPath);
  if (!root) {
    ShowErrorBox("Nu se poate determina directorul Vantor-ului!");
    return false;
  }
  const std::string& suiteRoot = *root;
  if (!FileExists("DIRVAN.DAT")) CreateLaunchDocumentsDirectoryFile(ownPath, suiteRoot);

  const std::size_t index = mode >= 0 && mode <= 3 ? static_cast<std::size_t>(mode) : 0;
  const DocumentsCommand& command = kDocumentsCommands[index];
  const std::string commandLine = ProgramOnCommandLine(suiteRoot + std::string(command.program)) +
                                  std::string(command.arguments);
  if (RunProcess(commandLine) != 0) {
    ShowErrorBox("Nu s-a putut executa " + suiteRoot +
                 (index == 3 ? "\\Vantor\\tkv.exe!" : "\\Vantor\\q.exe!"));
    return false;
  }
  return true;
}

int RunWithWindowHandle(std::string& assistantPath, HWND window, bool wait) {
  const AppState& app = App();
  assistantPath = app.paths.assistantPath;
  SetCurrentDirectoryA(app.paths.vantorDirectory.c_str());

  const std::string_view trimmed = TrimTrailingBlanks(assistantPath);
  if (trimmed.size() > 511) return -1;
  const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(window));
  return RunProcess(ProgramOnCommandLine(trimmed) + " /" + handle, wait);
}

int RunAssistantKeepingDirectory(HWND window) {
  char directory[512] = {};
  const DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
  std::string assistantPath;
  const int result = RunWithWindowHandle(assistantPath, window, false);
  if (length > 0 && length < sizeof directory) SetCurrentDirectoryA(directory);
  return result;
}

int16_t RunSelfUpdate(std::string& message) {
  if (ProgramPath().empty()) {
    message = WindowsErrorText(ProgramPathError(), "GetModuleFileName");
    return -1;
  }
  return RunSelfUpdateFromPath(ProgramPath(), message);
}

int16_t RunSelfUpdateFromPath(std::string_view ownPath, std::string& message) {
  const std::optional<std::string> root = SuiteRootFromOwnPath(ownPath);
  if (!root) {
    message = "Nu se poate determina directorul ERP -ului!";
    return -2;
  }
  const std::string source = *root + "\\ERP\\renova37.exe";

  char temp[256] = {};
  const DWORD length = GetEnvironmentVariableA("TMP", temp, 255);
  const std::string tempDirectory =
      length > 0 && length < 255 ? std::string(temp, length) : std::string(" ");
  CreateDirectoryA(tempDirectory.c_str(), nullptr);

  const std::string target = tempDirectory + "\\renova37.exe";
  SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(target.c_str());
  if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) {
    message = "Eroare copiere fisier in directorul temporar !";
    return -4;
  }
  const std::string commandLine =
      ProgramOnCommandLine(tempDirectory + "\\\\renova37.exe") + " " + *root + "\\ERP\\velmora.exe";
  if (RunProcess(commandLine, false) != 0) {
    const std::string text = "Nu s-a putut executa " + target;
    message =
        TrimTrailingBlanks(std::string_view(text).substr(0, 80));  // the message has room for 80
    return -3;
  }
  message.clear();
  return 0;
}

}  // namespace velmora::shell
