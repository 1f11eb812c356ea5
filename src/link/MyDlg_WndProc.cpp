// The parent dialog while it owns the link: its Cancel button aborts the
// current wait, and its controls are disabled during a transfer (Cancel, the
// link window and static texts excepted; at most 199 are remembered).

#include <windows.h>

#include <cstring>

#include "link/link_api.h"
#include "link/link_state.h"

namespace velmora::link {

void SubclassParent(HWND dialog) {
  LinkState& s = Link();
  if (dialog == nullptr || !IsWindow(dialog)) return;
  const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(dialog, GWLP_WNDPROC));
  if (current == MyDlg_WndProc) return;  // already ours: keep the dialog's own procedure
  s.previousDialogProc = current;
  SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MyDlg_WndProc));
}

void RestoreParentProcedure() {
  LinkState& s = Link();
  if (s.parent == nullptr || !IsWindow(s.parent) || s.previousDialogProc == nullptr) return;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(s.parent, GWLP_WNDPROC)) != MyDlg_WndProc) return;
  SetWindowLongPtrA(s.parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s.previousDialogProc));
}

namespace {

LRESULT PassOn(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = Link().previousDialogProc;
  if (previous == nullptr || previous == MyDlg_WndProc)
    return DefWindowProcA(dialog, message, wParam, lParam);
  return CallWindowProcA(previous, dialog, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MyDlg_WndProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  LinkState& s = Link();
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    if (s.window == nullptr || !IsWindow(s.window)) DestroyWindow(dialog);
    switch (DecideCancel(s.transfer, s.qualified)) {
      case CancelAction::kAbortOnly:
        PostMessageA(dialog, kMsgAbort, CurrentOperationTag(), 0);
        return 0;
      case CancelAction::kAbortAndPassOn:
        PostMessageA(dialog, kMsgAbort, CurrentOperationTag(), 0);
        break;
      case CancelAction::kPassOn: break;
    }
    return PassOn(dialog, message, wParam, lParam);
  }
  if (message == WM_DESTROY) return -1;
  return PassOn(dialog, message, wParam, lParam);
}

BOOL CALLBACK EnumFuncDisableCtrlDlg(HWND child, LPARAM /*dialog*/) {
  LinkState& s = Link();
  if (child == s.window || GetDlgCtrlID(child) == IDCANCEL) {
    EnableWindow(child, TRUE);
    return TRUE;
  }
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  if (std::strcmp(className, "Static") == 0) return TRUE;
  if (IsWindowEnabled(child)) {
    s.disabledControls.push_back(child);
    EnableWindow(child, FALSE);
  }
  return static_cast<int>(s.disabledControls.size()) < kMaxDisabledControls ? TRUE : FALSE;
}

void DISABLECONTROLSINDIALOG() {
  LinkState& s = Link();
  if (s.modes.quiet) return;
  s.savedFocus = GetFocus();
  if (s.parent != nullptr)
    EnumChildWindows(s.parent, EnumFuncDisableCtrlDlg, reinterpret_cast<LPARAM>(s.parent));
  SetFocus(s.window);
}

void RESTORECONTROLSINDIALOG() {
  LinkState& s = Link();
  for (HWND control : s.disabledControls) EnableWindow(control, TRUE);
  s.disabledControls.clear();
  if (s.savedFocus != nullptr && IsWindow(s.savedFocus)) SetFocus(s.savedFocus);
}

}  // namespace velmora::link
