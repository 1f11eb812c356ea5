// The news strip: dialog 143, a child of the main dialog's control 1030. When
// its content is ready it slides up into view from below.

#include "shell/main_dialog_layout.h"
#include "shell/main_dialog_state.h"

namespace velmora::shell {
namespace {

struct NewsStripState {
  HWND host = nullptr;
  RECT hostRect{};
  int step = 12;
} g_strip;

constexpr UINT_PTR kSlideUpTimer = 1;

void OnSlideUpTick(HWND strip) {
  --g_strip.step;
  if (g_strip.step < 0) KillTimer(strip, kSlideUpTimer);
  const int width = g_strip.hostRect.right - g_strip.hostRect.left;
  const int height = g_strip.hostRect.bottom - g_strip.hostRect.top;
  MoveWindow(g_strip.host, 230, 530 + 6 * g_strip.step, width, height, TRUE);
  if (g_strip.step == 11) ShowWindow(g_strip.host, SW_SHOW);
}

}  // namespace

INT_PTR CALLBACK NewsStripProc(HWND strip, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      g_strip.host = GetParent(strip);
      GetWindowRect(g_strip.host, &g_strip.hostRect);
      PlaceControls(strip, kNewsStripPlaces);
      g_strip.step = 12;
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) SetTimer(strip, kSlideUpTimer, 25, nullptr);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(strip, 2);
      return TRUE;
    case WM_TIMER:
      if (wParam == kSlideUpTimer) OnSlideUpTick(strip);
      return TRUE;
  }
  return FALSE;
}

}  // namespace velmora::shell
