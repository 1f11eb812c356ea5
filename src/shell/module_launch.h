#pragma once
// Starting the suite's programs. Every path is derived from the launcher's
// own place: it lives in the suite's ERP directory, and the suite root is the
// parent of that directory.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::shell {

// Starts a command line (trailing blanks ignored) in the current directory.
// Returns 0, -1 when the line is longer than 511 characters, otherwise the
// GetLastError code of CreateProcessA. Waits for the end unless `wait` is false.
int RunProcess(std::string_view commandLine, bool wait = true);

// The suite root as the module routines see it: the launcher's path cut
// before its second-to-last '\' (no trailing separator); nothing when the
// path has fewer than two '\'.
std::optional<std::string> SuiteRootFromOwnPath(std::string_view ownPath);

// One module routine: `program` is the text after the suite root, such as
// "\Kelbar\kelbarw.exe". Shows its own messages in the error box.
struct ModuleRoutine {
  std::string_view program;
  std::string_view directoryMessage;  // when the suite root cannot be found
  std::string_view failedProgram;     // path shown after "Nu s-a putut executa " + suite root
};
void RunModuleFromPath(std::string_view ownPath, const ModuleRoutine& routine, int16_t& status);

// The launcher's own path, or empty after showing the GetModuleFileName error.
std::string OwnPathOrReport();

void LaunchAccounting(int16_t& status);
void LaunchPayroll(int16_t& status);
void LaunchFixedAssets(int16_t& status);
void RunDataSynchronisation(int16_t& status);

}  // namespace velmora::shell
