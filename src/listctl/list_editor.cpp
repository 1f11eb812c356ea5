// The grid's in-place editor, class "EditCorvane": a single-line edit box
// (a superclass of the system's EDIT) that tells its parent when the user
// accepts with Enter (201), cancels with Esc (202) or leaves it (203).

#include <string>

#include "common/wide_text.h"
#include "listctl/list_window.h"

namespace velmora::listctl {
namespace {

WNDPROC g_editProc = nullptr;

void Report(HWND editor, int code) {
  SendMessageA(GetParent(editor), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(editor), code),
               reinterpret_cast<LPARAM>(editor));
}

LRESULT CALLBACK EditorProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | CallWindowProcW(g_editProc, editor, message, wParam, lParam);
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        Report(editor, kEditorAccept);
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        Report(editor, kEditorCancel);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == 27) return 0;  // handled as keys, no beep
      break;
    case WM_KILLFOCUS:
      if (IsWindowVisible(editor)) Report(editor, kEditorClose);
      break;
  }
  return CallWindowProcW(g_editProc, editor, message, wParam, lParam);
}

}  // namespace

bool RegisterEditorClass(HINSTANCE instance) {
  // A Unicode class: what is typed stays Unicode until it is converted.
  WNDCLASSW wc{};
  if (!GetClassInfoW(nullptr, L"EDIT", &wc)) return false;
  g_editProc = wc.lpfnWndProc;
  wc.lpfnWndProc = &EditorProc;
  wc.hInstance = instance;
  wc.lpszClassName = kEditorClassNameW;
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void OpenEditor(HWND editor, const RECT& cell, std::string_view text) {
  if (editor == nullptr) return;
  SetWindowText1250(editor, text);
  MoveWindow(editor, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, TRUE);
  ShowWindow(editor, SW_SHOW);
  SetFocus(editor);
  SendMessageA(editor, EM_SETSEL, text.size(), text.size());
}

void CloseEditor(HWND list, HWND editor) {
  ShowWindow(editor, SW_HIDE);
  SetFocus(list);
}

}  // namespace velmora::listctl
