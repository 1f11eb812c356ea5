#pragma once
// The launcher's whole life: start-up, the modal main dialog, shutdown.

#include <windows.h>

#include <string>
#include <vector>

namespace velmora::shell {

inline constexpr char kMutexName[] = "VelmoraMutex";
inline constexpr char kAlreadyRunningText[] = "Programul Velmora ruleaza deja !";

// Exit code of a second instance that stops at the single-instance check.
inline constexpr int kExitAlreadyRunning = 1;

// Runs start-up, the main dialog and shutdown; `arguments` holds argv[0..n-1].
int RunLauncher(HINSTANCE instance, HINSTANCE previous, const std::vector<std::string>& arguments);

}  // namespace velmora::shell
