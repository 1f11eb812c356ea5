#include "listctl/list_operations.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "listctl/list_block.h"

namespace velmora::listctl {
namespace {

void PlaceVerticalBar(const ListBlock& block) {
  const ListData& d = block.data;
  MoveWindow(block.verticalBar, d.clientWidth - kScrollBarSize, d.headerHeight, kScrollBarSize,
             d.clientHeight - d.headerHeight, TRUE);
}

void PlaceHorizontalBar(const ListBlock& block) {
  const ListData& d = block.data;
  MoveWindow(block.horizontalBar, 0, d.clientHeight - kScrollBarSize, d.clientWidth, kScrollBarSize,
             TRUE);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  info.nMax = d.horizontalOverflow + d.clientWidth - 1;
  info.nPage = static_cast<UINT>(d.clientWidth);
  SetScrollInfo(block.horizontalBar, SB_CTL, &info, TRUE);
}

void SetHorizontalScroll(HWND window, ListBlock& block, int x) {
  if (x == block.data.scrollX) return;
  block.data.scrollX = x;
  SetScrollPos(block.horizontalBar, SB_CTL, x, TRUE);
  RepaintCells(window, block.data, 0, -1);
}

}  // namespace

int AddListColumn(HWND list, int width, UINT titleFormat, UINT cellFormat, std::string_view title) {
  LockedList locked(list);
  if (!locked || !locked.LockTable()) return kNotLockable;
  ListData& d = locked.data();
  const bool overflowBefore = d.horizontalOverflow > 0;
  const int result = AddColumn(d, locked.table(), width, titleFormat, cellFormat, title);
  if (result != kOk) return result;
  PlaceVerticalBar(*locked);
  if (d.horizontalOverflow > 0 || overflowBefore) PlaceHorizontalBar(*locked);
  RepaintCells(list, d, 0, -1);
  return kOk;
}

int AppendListRow(HWND list, int* newRowCount) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  ListData& d = locked.data();
  if (d.rowCount >= kMaxRows) return 2;
  if (d.rowCount >= d.rowCapacity && !locked.GrowTable()) return 3;
  if (!locked.LockTable()) return 3;
  AppendRow(d, locked.table());
  UpdateVerticalRange(*locked, true);
  if (d.rowCount - d.topRow <= d.visibleRows + 1) RepaintCells(list, d, d.rowCount, 0);
  if (newRowCount != nullptr) *newRowCount = d.rowCount;
  return kOk;
}

int ReserveListRows(HWND list, int rows) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  if (rows > kMaxRows) return 2;
  const int steps = (rows - locked.data().rowCapacity + kTableGrowthRows - 1) / kTableGrowthRows;
  return steps <= 0 || locked.GrowTable(steps) ? kOk : 3;
}

int InsertListRow(HWND list, int position) {
  {
    LockedList locked(list);
    if (!locked) return kNotLockable;
    // The position is that of the list with the new row in it: 1 in an
    // empty list, one past the last row at the end. A position refused
    // adds no row.
    if (position < 1 || position > locked.data().rowCount + 1) return 4;
  }
  if (const int appended = AppendListRow(list); appended != kOk) return appended;
  LockedList locked(list);
  if (!locked) return kNotLockable;
  if (!locked.LockTable()) return 5;
  InsertRow(locked.data(), locked.table(), position);
  UpdateVerticalRange(*locked, false);
  RepaintCells(list, locked.data(), -position, 0);
  return kOk;
}

int RemoveListRow(HWND list, int position) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  ListData& d = locked.data();
  if (!d.ValidRow(position)) return 2;
  if (!locked.LockTable()) return 3;
  RemoveRow(d, locked.table(), position);
  UpdateVerticalRange(*locked, false);
  RepaintCells(list, d, -position, 0);
  return kOk;
}

int SetListCellText(HWND list, int row, int column, std::string_view text,
                    std::optional<int> redraw) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  ListData& d = locked.data();
  if (!d.ValidRow(row)) return 2;
  if (!d.ValidColumn(column)) return 3;
  if (!locked.LockTable()) return 4;
  CopyIntoField(locked.table().Cell(row, column), text);
  if (!redraw || (*redraw & 1) != 0) RepaintCells(list, d, row, column);
  return kOk;
}

int GetListCellText(HWND list, int row, int column, std::string& text, std::size_t length) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  const ListData& d = locked.data();
  if (!d.ValidRow(row)) return 2;
  if (!d.ValidColumn(column)) return 3;
  if (!locked.LockTable()) return 4;
  const std::span<char> cell = locked.table().Cell(row, column);
  text = PadToWidth(std::string_view(cell.data(), cell.size()), length);
  return kOk;
}

int SetListCellBackColour(HWND list, int row, int column, COLORREF colour) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  ListData& d = locked.data();
  if (!d.ValidRow(row)) return 2;
  if (!d.ValidColumn(column)) return 3;
  d.cellBackColour[static_cast<std::size_t>(column - 1)][static_cast<std::size_t>(row - 1)] =
      colour;
  return kOk;
}

int GetListRowCount(HWND list, int& count) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  count = locked.data().rowCount;
  return kOk;
}

int GetListCurrentCell(HWND list, int& row, int* column) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  const ListData& d = locked.data();
  const bool empty = d.rowCount == 0;
  row = empty ? 0 : d.currentRow;
  if (column != nullptr) *column = empty ? 0 : d.currentColumn;
  return kOk;
}

int SelectListCell(HWND list, int row, int column) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  ListData& d = locked.data();
  if (!d.ValidRow(row)) return 2;
  if (column != 0 && !d.ValidColumn(column)) return 3;
  if (column != 0) {
    if (!d.RowSelection()) {
      const auto begin = d.selectableColumns.begin();
      const auto end = begin + d.selectableCount;
      const auto found = std::find(begin, end, column);
      if (found == end) return 4;
      d.selectableIndex = static_cast<int>(found - begin) + 1;
    }
    if (column != d.currentColumn) {
      RepaintCells(list, d, d.currentRow, d.currentColumn);
      RepaintCells(list, d, d.currentRow, column);
    }
    SetHorizontalScroll(list, *locked, ScrollXShowing(d, column));
    d.currentColumn = column;
  }
  if (row != d.currentRow) {
    if (d.markMode == 1) {
      RepaintCells(list, d, 0, 0);
    } else {
      RepaintCells(list, d, d.currentRow, d.RowSelection() ? 0 : d.currentColumn);
      RepaintCells(list, d, row, d.RowSelection() ? 0 : d.currentColumn);
    }
  }
  if (KeepRowVisible(d, row)) RepaintCells(list, d, 0, 0);
  d.currentRow = row;
  if (d.rowCount > d.visibleRows) SetScrollPos(locked->verticalBar, SB_CTL, d.topRow, TRUE);
  return kOk;
}

}  // namespace velmora::listctl
