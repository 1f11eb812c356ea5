#include "listctl/list_window.h"

#include <windowsx.h>

#include <algorithm>
#include <new>
#include <string>

#include "common/ui_seams.h"

// The "ListCorvane" window procedure. A grid belongs to the thread that
// created it; each message locks the grid's block for its own duration.

namespace velmora::listctl {
namespace {

constexpr char kAllocateFailed[] = "ERR: Failed to Allocate <ListCorvane> data.";
constexpr char kStoreFailed[] = "ERR: Failed to save handle to <ListCorvane> in window structure.";
constexpr char kLockFailed[] = "ERR: Failed to Look <ListCorvane> data.";
constexpr char kTableFailed[] = "ERR: Failed to Allocate <TextTabel> data.";
constexpr int kEditorId = 1;

HFONT Tahoma(int height, int weight) {
  return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, EASTEUROPE_CHARSET, 0, 0, 0, 0, "Tahoma");
}

int MeasureRowHeight(HWND window, HFONT font) {
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  return metrics.tmHeight + metrics.tmExternalLeading;
}

void CreateChildren(HWND window, ListBlock& block) {
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  block.editor =
      CreateWindowExW(0, kEditorClassNameW, L"casuta de editare", WS_CHILD | ES_AUTOHSCROLL, 0, 0,
                      0, 0, window, reinterpret_cast<HMENU>(kEditorId), instance, nullptr);
  block.verticalBar =
      CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | WS_DISABLED | SBS_VERT, 0, 0, 0,
                      0, window, nullptr, instance, nullptr);
  block.horizontalBar = CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0,
                                        0, 0, window, nullptr, instance, nullptr);
  if (block.editor != nullptr)
    SendMessageA(block.editor, WM_SETFONT, reinterpret_cast<WPARAM>(block.listFont), FALSE);
}

// Fails with the reason; the caller reports it and the window is destroyed.
const char* CreateBlock(HWND window) {
  const HLOCAL handle = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(ListBlock));
  if (handle == nullptr) return kAllocateFailed;
  SetLastError(0);
  if (SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handle)) == 0 &&
      GetLastError() != 0) {
    LocalFree(handle);
    return kStoreFailed;
  }
  void* memory = LocalLock(handle);
  if (memory == nullptr) return kLockFailed;
  ListBlock& block = *new (memory) ListBlock;
  block.textTable = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, TableBytes(kTableGrowthRows));
  if (block.textTable == nullptr) {
    LocalUnlock(handle);
    return kTableFailed;
  }
  block.listFont = Tahoma(16, FW_NORMAL);
  block.headerFont = Tahoma(15, FW_BOLD);
  block.cellFont = Tahoma(15, FW_NORMAL);
  RECT client;
  GetClientRect(window, &client);
  InitialiseList(block.data, client.right, client.bottom,
                 MeasureRowHeight(window, block.headerFont));
  CreateChildren(window, block);
  LocalUnlock(handle);
  return nullptr;
}

LRESULT OnCreate(HWND window) {
  if (const char* failure = CreateBlock(window)) {
    ReportControlError(GetParent(window), failure);
    return -1;
  }
  return 0;
}

void OnDestroy(HWND window) {
  const HLOCAL handle = reinterpret_cast<HLOCAL>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (handle == nullptr) return;
  if (auto* block = static_cast<ListBlock*>(LocalLock(handle))) {
    for (const HFONT font : {block->listFont, block->headerFont, block->cellFont})
      if (font != nullptr) DeleteObject(font);
    if (block->textTable != nullptr) LocalFree(block->textTable);
    LocalUnlock(handle);
  }
  LocalFree(handle);
  SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

void OnSize(HWND window, int width, int height) {
  LockedList locked(window);
  if (!locked) return;
  ListData& d = locked.data();
  d.clientWidth = width;
  d.clientHeight = height;
  if (d.columnCount == 0) return;
  if (d.rowHeight > 0)
    d.visibleRows =
        std::max(0, (height - d.headerHeight - (d.horizontalOverflow > 0 ? kScrollBarSize : 0)) /
                        d.rowHeight);
  MoveWindow(locked->verticalBar, width - kScrollBarSize, d.headerHeight, kScrollBarSize,
             height - d.headerHeight, TRUE);
  UpdateVerticalRange(*locked, true);
}

void RepaintCurrentRow(HWND window, const ListData& d) {
  if (d.rowCount > 0) RepaintCells(window, d, d.currentRow, d.RowSelection() ? 0 : d.currentColumn);
}

void OnSetFocus(HWND window) {
  {
    LockedList locked(window);
    if (!locked) return;
    if (locked.data().rowCount == 0) PassFocusOn(window);
    ShowWindow(locked->editor, SW_HIDE);
    locked.data().hasFocus = -1;
    RepaintCurrentRow(window, locked.data());
  }
  NotifyParent(window, 101, false);
}

void OnKillFocus(HWND window) {
  {
    LockedList locked(window);
    if (!locked) return;
    locked.data().hasFocus = 0;
    RepaintCurrentRow(window, locked.data());
  }
  NotifyParent(window, 102, false);
}

void OnPaint(HWND window) {
  NotifyFullRows(window);
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  PaintList(window, dc);
  EndPaint(window, &paint);
}

bool EditorVisible(HWND window) {
  LockedList locked(window);
  return locked && IsWindowVisible(locked->editor);
}

}  // namespace

void ReportControlError(HWND owner, std::string_view text) {
  constexpr std::string_view kErrorPrefix = "ERR: ";
  if (text.starts_with(kErrorPrefix))
    ShowMessageBox(owner, text.substr(kErrorPrefix.size()), "Controls error", MB_ICONERROR);
  else
    ShowMessageBox(owner, text, "Controls warning", MB_ICONWARNING);
}

LRESULT CALLBACK ListWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_DESTROY: OnDestroy(window); return 0;
    case WM_SIZE: OnSize(window, LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_SETFOCUS: OnSetFocus(window); return 0;
    case WM_KILLFOCUS: OnKillFocus(window); return 0;
    case WM_PAINT: OnPaint(window); return 0;
    case WM_PRINTCLIENT: PaintList(window, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYDOWN: OnListKeyDown(window, static_cast<UINT>(wParam), lParam); return 0;
    case WM_CHAR: OnListChar(window, static_cast<UINT>(wParam)); return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditorId) OnEditorCommand(window, HIWORD(wParam));
      return 0;
    case WM_VSCROLL:
      if (!EditorVisible(window)) OnListVerticalScroll(window, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      if (!EditorVisible(window)) OnListHorizontalScroll(window, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetFocus(window);
      OnListButtonDown(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDBLCLK:
      SetFocus(window);
      SendMessageA(window, WM_KEYDOWN, VK_RETURN, 0);
      return 0;
    case WM_MOUSEWHEEL:
      PostMessageA(window, WM_VSCROLL, GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP,
                   0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace velmora::listctl
