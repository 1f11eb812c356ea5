#pragma once
// The vendor's slide library, showreel.dll: loaded once at start-up, four
// exports resolved into pointers. Every caller checks its pointer, so a
// missing library or export quietly switches that feature off.

#include <windows.h>

#include <cstdint>
#include <string>

#include "update/update_check.h"

namespace velmora::shell {

// Argument lists as the library declares them (stdcall on the 32-bit build).
using DrawJpg2Fn = int16_t(WINAPI*)(HWND* window, HDC* dc, char* pictureName);
using GetFisierDifFn = update::DownloadFileFn;
using ApplyTranspFn = int32_t(WINAPI*)(void*, void*);
using DrawNextPrevPagFn = int16_t(WINAPI*)(HWND* window, HDC* dc, int32_t* slideCount,
                                           int32_t* currentSlide);

struct ShowcaseLibrary {
  HMODULE module = nullptr;
  DrawJpg2Fn drawPicture = nullptr;
  GetFisierDifFn downloadFile = nullptr;
  ApplyTranspFn applyTransparency = nullptr;
  DrawNextPrevPagFn drawPageArrows = nullptr;
  std::string status;  // kept for a debugger, never shown
};

ShowcaseLibrary& Showcase();

// Loads `libraryName` and resolves the exports in the fixed order. Returns
// 0, -1 without the library, or -5 / -6 when an export is missing; callers ignore it.
int16_t BindShowcaseLibrary(const char* libraryName = "showreel.dll");
void FreeShowcaseLibrary();

// What the update threads need of the launcher: the vendor's two libraries,
// the suite's folders, the main dialog and the application log.
update::UpdateSetup UpdateSetupFor(HWND mainDialog);

}  // namespace velmora::shell
