#pragma once
// The rules of start-up that need no Windows call: the "-m" switch, the
// greeting toggle, the directories derived from the launcher's place and the
// log line.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora::shell {

// 1 when any argument after the program's own name is exactly "-m", else 0.
int MinusMSwitch(std::span<const std::string> arguments);

// The greeting played for the stored toggle value, and the value stored back.
struct Greeting {
  int waveResource;
  int16_t nextValue;
};
Greeting GreetingFor(int16_t storedValue);

// Position of the last '\' in the program directory (its significant length),
// and of the one before it: the suite root is the directory cut there. 0 when
// the launcher sits in a drive's root directory.
std::size_t ProgramDirectoryLength(std::string_view programDirectory);
std::size_t SuiteRootLength(std::string_view programDirectory);

// Every file and folder name that start-up derives from the launcher's place.
// Names based on the suite root stay empty when it has none.
struct AppPaths {
  std::string programDirectory;  // "C:\Suite\ERP\"
  std::string suiteRoot;         // "C:\Suite\"
  std::string erpMonitorPath;    // program directory + "wardle.exe"
  std::string messagingPath;     // program directory + "quillon.exe"
  std::string assistantPath;     // suite root + "Vantor\ruvela.exe"
  std::string inboxFile;
  std::string newsCacheFile;
  std::string showcaseTextFile;
  std::string greetingToggleFile;
  std::string erpDirectory;    // suite root + "ERP"
  std::string outgoingFolder;  // suite root + "ERP\OUT\"
  std::string sentFolder;      // suite root + "ERP\SENT\"
  std::string morvinDirectory, kelbarDirectory, vantorDirectory, tessloDirectory;
};
AppPaths BuildAppPaths(std::string_view programDirectory);

// Directory part ("C:\Suite\ERP\") of a full executable path.
std::string DirectoryOfPath(std::string_view fullPath);

// The suite root as the module routines write it, from the launcher's full
// path: the same folder as AppPaths::suiteRoot without its final '\'
// ("C:\Suite"); nothing when the launcher has no suite root.
std::optional<std::string> SuiteRootFromOwnPath(std::string_view ownPath);

// The log is off in the field. Support switches it on without a rebuild by
// setting the environment variable VELMORA_LOG to a channel number above 0;
// anything else (unset, empty, 0, not a number) keeps it off (-1).
inline constexpr char kLogSwitchVariable[] = "VELMORA_LOG";
int LogChannelFromSwitch(std::string_view value);

}  // namespace velmora::shell
