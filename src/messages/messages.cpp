#include "messages/messages.h"

namespace velmora::messages {

// Entry points for the main dialog; the message files and dialogs come with the messages.
void AppendInboxEntry(std::string_view, std::string_view) {}

int SendUserMessage(std::string_view) { return -1; }

INT_PTR CALLBACK MessageHistoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam) == IDOK ? 1 : -1);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK TextViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}

}  // namespace velmora::messages
