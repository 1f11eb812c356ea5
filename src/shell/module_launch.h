#pragma once
// Starting the suite's programs. Every path is derived from the launcher's
// own place: it lives in the suite's ERP directory, and the suite root is the
// parent of that directory.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::shell {

// Starts a command line (trailing blanks ignored) in the current directory.
// Returns 0, -1 when the line is longer than 511 characters, otherwise the
// GetLastError code of CreateProcessA. Waits for the end unless `wait` is false.
int RunProcess(std::string_view commandLine, bool wait = true);

// A program's path as it stands first on a command line: in double quotes
// when it holds a blank, so that Windows cannot take a shorter prefix of it
// ("C:\Corvane.exe" for "C:\Corvane 1\...") for the program.
std::string ProgramOnCommandLine(std::string_view path);

// One module routine: `program` is the text after the suite root, such as
// "\Kelbar\kelbarw.exe". Shows its own messages in the error box.
struct ModuleRoutine {
  std::string_view program;
  std::string_view directoryMessage;  // when the suite root cannot be found
  std::string_view failedProgram;     // path shown after "Nu s-a putut executa " + suite root
};
// True when the program ran (and ended).
bool RunModuleFromPath(std::string_view ownPath, const ModuleRoutine& routine);

// The launcher's own path, or empty after showing the GetModuleFileName error.
std::string OwnPathOrReport();

// Documents module in mode 0 ("-erp -m"), 1 ("-erp"), 2 ("-m -erp -cu") or 3 (tkv.exe /prot).
// True when the program ran (and ended).
bool LaunchDocuments(int16_t mode);
bool LaunchDocumentsFromPath(std::string_view ownPath, int16_t mode);

// Starts the virtual assistant with the window handle on its command line;
// `assistantPath` receives the program's path for the caller's message.
int RunWithWindowHandle(std::string& assistantPath, HWND window, bool wait = true);

// Starts the virtual assistant without waiting, like RunWithWindowHandle, and
// then puts back the current directory that its start changed.
int RunAssistantKeepingDirectory(HWND window);

// Copies renova37.exe to TMP and starts it; 0 started, -1 own path unreadable,
// -2 directory not determinable, -3 start failed, -4 copy failed.
// `message` holds the text to show for every other result.
int16_t RunSelfUpdate(std::string& message);
int16_t RunSelfUpdateFromPath(std::string_view ownPath, std::string& message);

// Each true when its program ran (and ended).
bool LaunchAccounting();
bool LaunchPayroll();
bool LaunchFixedAssets();
bool RunDataSynchronisation();

}  // namespace velmora::shell
