// The six picture buttons: F1 opens the current slide's detail text, F2 and
// F3 start the documents module in its two special modes, and the cursor is
// a hand over every button.

#include "common/shared_state.h"
#include "shell/app_state.h"
#include "shell/main_dialog_state.h"
#include "shell/module_launch.h"

namespace velmora::shell {
namespace {

WNDPROC PreviousProcOf(HWND button) {
  const MainDialogState& state = MainDialogData();
  for (std::size_t i = 0; i < state.moduleButtons.size(); ++i)
    if (state.moduleButtons[i] == button) return state.previousButtonProcs[i];
  return state.previousButtonProcs[0];
}

void LaunchDocumentsFromKey(HWND button, int16_t mode) {
  Shared().stop = true;
  LaunchDocuments(mode);
  RefreshCaption(GetParent(button));
}

}  // namespace

LRESULT CALLBACK ModuleButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR) {
    SetCursor(App().handCursor);
    return TRUE;
  }
  if (message == WM_KEYDOWN) {
    switch (wParam) {
      case VK_F1: OpenSlideDetail(button); break;
      case VK_F2: LaunchDocumentsFromKey(button, 2); break;
      case VK_F3: LaunchDocumentsFromKey(button, 3); break;
    }
  }
  return CallWindowProcW(PreviousProcOf(button), button, message, wParam, lParam);
}

}  // namespace velmora::shell
