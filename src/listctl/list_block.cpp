#include "listctl/list_block.h"

#include <algorithm>

namespace velmora::listctl {

LockedList::LockedList(HWND window) : window_(window) {
  handle_ = reinterpret_cast<HLOCAL>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (handle_ != nullptr) block_ = static_cast<ListBlock*>(LocalLock(handle_));
}

LockedList::~LockedList() {
  if (!tableBytes_.empty()) LocalUnlock(block_->textTable);
  if (block_ != nullptr) LocalUnlock(handle_);
}

bool LockedList::LockTable() {
  if (block_ == nullptr) return false;
  if (!tableBytes_.empty()) return true;
  void* bytes = LocalLock(block_->textTable);
  if (bytes == nullptr) return false;
  tableBytes_ = {static_cast<char*>(bytes), TableBytes(block_->data.rowCapacity)};
  return true;
}

bool LockedList::GrowTable(int steps) {
  if (!tableBytes_.empty()) {
    LocalUnlock(block_->textTable);
    tableBytes_ = {};
  }
  const int capacity = block_->data.rowCapacity + steps * kTableGrowthRows;
  const HLOCAL grown = LocalReAlloc(block_->textTable, TableBytes(capacity), LMEM_MOVEABLE);
  if (grown == nullptr) return false;
  block_->textTable = grown;
  block_->data.rowCapacity = capacity;
  return true;
}

void RepaintCells(HWND window, const ListData& d, int row, int column) {
  RECT area;
  GetClientRect(window, &area);
  area.right -= kScrollBarSize;
  if (d.horizontalOverflow != 0) area.bottom -= kScrollBarSize;

  RECT r = area;
  if (row == 0) {
    if (column != -1) r.top = d.headerHeight;
  } else {
    const int first = std::abs(row);
    const int position = first - d.topRow;
    if (position > d.visibleRows + 1) return;
    const int shown = std::max(position, 1);
    if (row > 0 && position < 1) return;
    r.top = d.headerHeight + (shown - 1) * d.rowHeight;
    if (row > 0) {
      r.bottom = std::min<LONG>(r.bottom, r.top + d.rowHeight);
      if (column > 0 && column <= d.columnCount && !d.RowSelection()) {
        const Rect cell = CellRect(d, column, position);
        r.left = cell.left - d.scrollX - 4;
        r.right = std::min<LONG>(area.right, cell.right - d.scrollX + 3);
      }
    }
  }
  if (r.right > r.left && r.bottom > r.top) InvalidateRect(window, &r, FALSE);
}

void UpdateVerticalRange(const ListBlock& block, bool withPage) {
  const ListData& d = block.data;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | (withPage ? SIF_PAGE : SIF_DISABLENOSCROLL);
  info.nMin = 0;
  info.nMax = d.rowCount;
  info.nPage = static_cast<UINT>(d.visibleRows + 1);
  SetScrollInfo(block.verticalBar, SB_CTL, &info, TRUE);
  if (withPage)
    EnableWindow(block.verticalBar, d.visibleRows > 0 && d.visibleRows + 1 <= d.rowCount);
}

void NotifyParent(HWND window, int code, bool post) {
  const HWND parent = GetParent(window);
  const WPARAM wParam = MAKEWPARAM(GetDlgCtrlID(window), code);
  if (post)
    PostMessageA(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(window));
  else
    SendMessageA(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(window));
}

}  // namespace velmora::listctl
