// Dialog 150: the message history, newest first, with the selected message
// in full below the grid. Opened with parameter 0 by the postman thread when
// a message from the vendor has arrived, it first archives that message and
// then announces it with a sound and a message box. The dialog's state is
// per thread, so the history on the main thread and an announcement on the
// postman thread never share it.

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "common/fixed_text.h"
#include "common/shared_state.h"
#include "common/ui_seams.h"
#include "common/wide_text.h"
#include "listctl/list_operations.h"
#include "messages/history_rows.h"
#include "messages/messages.h"
#include "resource_ids.h"

namespace velmora::messages {
namespace {

constexpr UINT_PTR kAlertTimer = 1;
constexpr int kListSelectionChanged = 310;
constexpr COLORREF kVendorDateBack = 0xEEEEEE;
constexpr COLORREF kVendorBack = 0xE8E8E8;

struct HistoryState {
  bool announcing = false;  // opened for a newly received message
  HWND list = nullptr;
  std::string body;  // the received message, date line first
};

thread_local HistoryState t_state;

struct Column {
  int width;
  const char* title;
};
constexpr Column kColumns[] = {{142, "Data"}, {90, "Autor"}, {347, "Mesaj"}, {1, "Mesaj"}};
constexpr UINT kCellFormats[] = {
    DT_LEFT | DT_VCENTER | DT_SINGLELINE, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
    DT_LEFT | DT_VCENTER | DT_SINGLELINE, DT_LEFT | DT_VCENTER | DT_SINGLELINE};

// Fills the grid in one pass over the archive: rows are appended newest
// first, so no row is ever moved.
void FillHistory(HWND list) {
  const std::vector<HistoryRow> rows = BuildHistoryRows(ReadInbox());
  listctl::ReserveListRows(list, static_cast<int>(rows.size()));
  for (const HistoryRow& entry : rows) {
    int row = 0;
    if (listctl::AppendListRow(list, &row) != 0) break;
    listctl::SetListCellText(list, row, 1, entry.date, 0);
    listctl::SetListCellText(list, row, 2, entry.author, 0);
    listctl::SetListCellText(list, row, 3, entry.oneLine, 0);
    listctl::SetListCellText(list, row, 4, entry.fullMessage, 0);
    if (entry.fromVendor) {
      listctl::SetListCellBackColour(list, row, 1, kVendorDateBack);
      for (int column = 2; column <= 4; ++column)
        listctl::SetListCellBackColour(list, row, column, kVendorBack);
    }
  }
  InvalidateRect(list, nullptr, FALSE);
}

BOOL OnInitDialog(HWND dialog, LPARAM parameter) {
  HistoryState& state = t_state;
  state.announcing = parameter == 0;
  // Only the announcement takes the waiting message; the history leaves it
  // for the postman, which would otherwise never archive or announce it.
  state.body = state.announcing ? Shared().received.Take() : std::string{};
  state.list = GetDlgItem(dialog, IDC_HISTORY_LIST);
  for (std::size_t i = 0; i < std::size(kColumns); ++i)
    listctl::AddListColumn(state.list, kColumns[i].width, DT_CENTER, kCellFormats[i],
                           kColumns[i].title);
  const std::string_view body = TrimTrailingBlanks(state.body);
  if (state.announcing && !body.empty()) AppendInboxEntry(body, kVendorAuthor);
  FillHistory(state.list);
  listctl::SelectListCell(state.list, 1, 1);
  SetFocus(state.list);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_HISTORY_LIST, kListSelectionChanged),
               reinterpret_cast<LPARAM>(state.list));
  if (state.announcing) SetTimer(dialog, kAlertTimer, 10, nullptr);
  return FALSE;  // the focus is set
}

void ShowSelectedMessage(HWND dialog) {
  const HWND list = t_state.list;
  int row = 0;
  listctl::GetListCurrentCell(list, row);
  if (row < 1) return;
  std::string date, author, message;
  listctl::GetListCellText(list, row, 1, date, 100);
  listctl::GetListCellText(list, row, 2, author, 100);
  listctl::GetListCellText(list, row, 4, message, 5000);
  SetDlgItemText1250(dialog, IDC_HISTORY_DETAIL, DetailText(date, author, message));
}

void AnnounceMessage(HWND dialog) {
  KillTimer(dialog, kAlertTimer);
  PlaySoundSeam(MAKEINTRESOURCEA(IDW_NEW_MESSAGE), ConfiguredMessagesSetup().instance,
                SND_RESOURCE | SND_ASYNC);
  ShowMessageBox(dialog, AlertText(TrimTrailingBlanks(t_state.body)), "Corvane", MB_ICONWARNING);
  Shared().newMessage = false;
}

INT_PTR OnCommand(HWND dialog, int id, int notification) {
  switch (id) {
    case IDOK: EndDialog(dialog, 1); return TRUE;
    case IDCANCEL: EndDialog(dialog, -1); return TRUE;
    case IDC_HISTORY_LIST:
      if (notification == kListSelectionChanged) ShowSelectedMessage(dialog);
      return TRUE;
  }
  return FALSE;
}

INT_PTR OnControlColorStatic(HDC dc, HWND control) {
  if (GetDlgCtrlID(control) != IDC_HISTORY_TITLE) return FALSE;
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

}  // namespace

INT_PTR CALLBACK MessageHistoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER:
      if (wParam == kAlertTimer) AnnounceMessage(dialog);
      return TRUE;
    case WM_KEYDOWN:  // keys the grid does not use come here; Esc closes as Cancel does
      if (wParam == VK_ESCAPE) EndDialog(dialog, -1);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return OnControlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
  }
  return FALSE;
}

}  // namespace velmora::messages
