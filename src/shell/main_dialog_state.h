#pragma once
// State of the main dialog, shared by the files that handle its parts: the
// dialog procedure, the slide area, the module buttons and the message box.
// Main thread only.

#include <windows.h>

#include <array>
#include <string>

#include "common/win_handles.h"

namespace velmora::shell {

namespace control {
inline constexpr int kOk = 1, kCancel = 2;
inline constexpr int kVantor = 1006, kKelbar = 1007, kQuillon = 1008, kPayroll = 1009, kFixedAssets = 1010,
                     kErpSetup = 1011;
inline constexpr int kAssistant = 1014, kUpdateNow = 1025, kBannerBackground = 1027, kBannerText = 1028,
                     kBannerIcon = 1029, kNewsHost = 1030, kF2 = 1041, kSlideArea = 1045, kMessageEdit = 1047,
                     kSend = 1048, kSlideCaption = 1049, kLeftPanel = 1050, kHistory = 1051, kAssistantHint = 1052,
                     kSeparator = 1056, kNoSlidesPicture = 30003;
}  // namespace control

namespace resource {
inline constexpr int kMainDialog = 108, kNewsStrip = 143, kMessageHistory = 150, kTextViewer = 152;
inline constexpr int kFirstButtonBitmap = 103;  // 103..108 for buttons 1006..1011
inline constexpr int kNewMessageSound = 151;
}  // namespace resource

namespace timer {
inline constexpr UINT_PTR kUpdateCheck = 1, kSlide = 3, kSchedule = 5, kNewMessage = 7, kSlideSound = 8;
}  // namespace timer

inline constexpr char kPlaceholderText[] =
    "<Dati click aici pentru a scrie un mesaj catre firma Corvane. Dupa scrierea mesajului, apasa butonul "
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

  POINT lastClick{};      // cursor at the last left click on the dialog
  RECT lastClickArea{};   // slide area's window rectangle at that click
  bool hoverBand = false;    // the cursor is over the slide area's arrow band
  bool bandPainted = false;  // the arrows were painted for that hover
};

MainDialogState& Main();

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
