#pragma once
// Update detection through the vendor's hostlane.dll, and the two short-lived
// threads started by the main dialog's timers.

#include <windows.h>

#include <cstdint>
#include <string>

namespace velmora::update {

// -1 without the library, -2 without its export, else the number of suite
// executables with a newer version; shows or hides the main dialog's banner.
int16_t CheckForUpdates(HMODULE library, const std::string& suiteRoot, HWND mainDialog);

void StartUpdateCheckThread();
void StartScheduleUpdateThread();

}  // namespace velmora::update
