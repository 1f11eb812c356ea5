#pragma once
// Update detection through the vendor's hostlane.dll, the schedule refresh
// through the slide library, and the two short-lived threads that the main
// dialog's timers start for them.
//
// Threads: the update-check thread calls the library, then shows or hides
// the banner controls of the main dialog from its own thread; the
// schedule-update thread writes only its own files (the "~" downloads and
// the installed velmora.scn, read again at the next start). Each takes its
// own copy of the setup and is never joined.

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "update/asset_pass.h"

namespace velmora::update {

using LogFn = void (*)(std::string_view text);

// What the update work takes from the shell, settled before the threads start.
struct UpdateSetup {
  HMODULE hostlane = nullptr;         // may be NULL
  std::string suiteRoot;              // ends in "\"
  std::string programDirectory;       // the ERP folder, ends in "\"
  HWND mainDialog = nullptr;          // the banner's owner
  DownloadFileFn download = nullptr;  // the slide library's download, may be NULL
  LogFn log = nullptr;                // the application log, may be NULL
};

// -1 without the library, -2 without its count export, else the number of
// suite executables with a newer version; shows the banner when above 0,
// hides it otherwise.
int16_t CheckForUpdates(const UpdateSetup& setup);

// Asks the library to download the update information, then checks again.
void RunUpdateCheck(const UpdateSetup& setup);
// Downloads the schedule to "~velmora.scn" and installs it as velmora.scn
// once the asset pass has every picture it names.
void RunScheduleUpdate(const UpdateSetup& setup);

// The same work on threads of their own (logged first).
void StartUpdateCheckThread(const UpdateSetup& setup);
void StartScheduleUpdateThread(const UpdateSetup& setup);

// Deletes a file named by a blank-padded text: 0 when deleted, 2 when it
// did not exist, 13 for every other failure (names of 261 characters or
// more are refused with 13).
int16_t DeleteNamedFile(std::string_view name);

}  // namespace velmora::update
