#include "shell/main_dialog.h"

#include <atomic>

#include "common/win_handles.h"

namespace velmora::shell {
namespace {

std::atomic<HWND> g_dialog{nullptr};

struct DialogResources {
  AutoBitmap buttonBitmaps[6];
  AutoBrush lightGrey;
  AutoFont font;
} g_resources;

BOOL OnInitDialog(HWND dialog) {
  g_dialog = dialog;
  SetWindowTextA(dialog, "Corvane - CU : 0");
  return TRUE;
}

void OnCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDOK:
    case 1041:
      EndDialog(dialog, 1);
      break;
    case IDCANCEL:
      Sleep(100);
      EndDialog(dialog, 2);
      break;
  }
}

}  // namespace

HWND MainDialogHandle() { return g_dialog; }

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog(dialog);
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return 0;
  }
  return 0;
}

void ReleaseMainDialogBitmapsAndBrush() {
  for (auto& bitmap : g_resources.buttonBitmaps) bitmap.reset();
  g_resources.lightGrey.reset();
}

void ReleaseMainDialogFont() { g_resources.font.reset(); }

}  // namespace velmora::shell
