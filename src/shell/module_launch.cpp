#include "shell/module_launch.h"

#include <array>

#include "common/fixed_text.h"
#include "common/ui_seams.h"
#include "common/win_handles.h"

namespace velmora::shell {
namespace {

constexpr std::size_t kCommandLineLimit = 511;

constexpr ModuleRoutine kAccounting{"\\Kelbar\\kelbarw.exe", "Nu se poate determina directorul Kelbar -ului!",
                                    "\\Kelbar\\kelbarw.exe!"};
constexpr ModuleRoutine kPayroll{"\\Morvin\\MORVINW.exe", "Nu se poate determina directorul Morvin-ului!",
                                 "\\Morvin\\Morvinw.exe!"};
constexpr ModuleRoutine kFixedAssets{"\\Tesslo\\tesslow.exe", "Nu se poate determina directorul Tesslo -ului!",
                                     "\\Tesslo\\tesslow.exe!"};
constexpr ModuleRoutine kDataSynchronisation{"\\ERP\\trovel.exe", "Nu se poate determina directorul ERP -ului!",
                                             "\\ERP\\trovel.exe!"};

void RunModule(const ModuleRoutine& routine, int16_t& status) {
  const std::string ownPath = OwnPathOrReport();
  if (!ownPath.empty()) RunModuleFromPath(ownPath, routine, status);
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
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return static_cast<int>(GetLastError());
  AutoHandle thread(process.hThread);
  AutoHandle child(process.hProcess);
  if (wait) WaitForSingleObject(child.get(), INFINITE);
  return 0;
}

std::optional<std::string> SuiteRootFromOwnPath(std::string_view ownPath) {
  ownPath = ownPath.substr(0, std::min<std::size_t>(ownPath.find('\0'), 256));
  const auto last = ownPath.rfind('\\');
  if (last == std::string_view::npos || last == 0) return std::nullopt;
  const auto secondToLast = ownPath.rfind('\\', last - 1);
  if (secondToLast == std::string_view::npos) return std::nullopt;
  return std::string(ownPath.substr(0, secondToLast));
}

std::string OwnPathOrReport() {
  char path[256] = {};
  if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) {
    ShowErrorBox(WindowsErrorText(GetLastError(), "GetModuleFileName"));
    return {};
  }
  return path;
}

void RunModuleFromPath(std::string_view ownPath, const ModuleRoutine& routine, int16_t& status) {
  const std::optional<std::string> root = SuiteRootFromOwnPath(ownPath);
  if (!root) {
    ShowErrorBox(routine.directoryMessage);
    return;
  }
  const std::string& suiteRoot = *root;
  if (RunProcess(suiteRoot + std::string(routine.program)) != 0) {
    ShowErrorBox("Nu s-a putut executa " + suiteRoot + std::string(routine.failedProgram));
    status = -1;
  } else {
    status = 0;
  }
}

void LaunchAccounting(int16_t& status) { RunModule(kAccounting, status); }
void LaunchPayroll(int16_t& status) { RunModule(kPayroll, status); }
void LaunchFixedAssets(int16_t& status) { RunModule(kFixedAssets, status); }
void RunDataSynchronisation(int16_t& status) { RunModule(kDataSynchronisation, status); }

}  // namespace velmora::shell
