#pragma once
// State of the main dialog, shared by the files that handle its parts: the
// dialog procedure, the slide area, the module buttons and the message box.
// Main thread only.

#include <windows.h>

#include <array>
#include <string>

#include "common/win_handles.h"
#include "resource_ids.h"

namespace velmora::shell {

namespace timer {
inline constexpr UINT_PTR kUpdateCheck = 1, kSlide = 3, kSchedule = 5, kNewMessage = 7,
                          kSlideSound = 8;
}  // namespace timer

inline constexpr char kPlaceholderText[] =
    "<Dati click aici pentru a scrie un mesaj catre firma Corvane. Dupa scrierea mesajului, apasa "
    "butonul "
    "Trimite!>";

struct MainDialogState {
  HWND dialog = nullptr;
  HWND slideArea = nullptr;
  std::array<HWND, 6> moduleButtons{};
  std::array<WNDPROC, 6> previousButtonProcs{};
  WNDPROC previousSlideAreaProc = nullptr;

  std::array<AutoBitmap, 6> buttonBitmaps;
  AutoBrush lightGrey;  // 0xEEEEEE, shared with the text viewer
  AutoFont font;        // Arial 16, East European

  std::string currentImage = "velmora.img";  // what the slide area paints
  bool placeholderShown = false;
  int sendCount = 0;

  POINT lastClick{};         // cursor at the last left click on the dialog
  RECT lastClickArea{};      // slide area's window rectangle at that click
  bool hoverBand = false;    // the cursor is over the slide area's arrow band
  bool bandPainted = false;  // the arrows were painted for that hover
};

// The one main dialog's state, for the run.
MainDialogState& MainDialogData();

// Shared helpers of the dialog's parts.
void RefreshCaption(HWND dialog);
bool CurrentSlideHasDetail();
void OpenSlideDetail(HWND owner);
void StepSlide(int direction);
void ShowNextSlide();
void PlayCurrentSlideSound();

LRESULT CALLBACK ModuleButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SlideAreaProc(HWND area, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK NewsStripProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam);

void OnModuleCommand(HWND dialog, int id);
void OnSendMessage(HWND dialog);

}  // namespace velmora::shell
