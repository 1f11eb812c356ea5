#include "list_options.h"

#include <algorithm>

#include "listctl/list_block.h"

namespace velmora::listctl::testing {

int SetListSearchColumn(HWND list, int column) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  if (column != 0 && !locked.data().ValidColumn(column)) return 2;
  locked.data().editColumn = column;
  return kOk;
}

int SetListSelectableColumns(HWND list, std::span<const int> columns) {
  LockedList locked(list);
  if (!locked) return kNotLockable;
  ListData& d = locked.data();
  if (columns.size() > static_cast<std::size_t>(kMaxColumns)) return 2;
  for (const int column : columns)
    if (!d.ValidColumn(column)) return 2;
  std::ranges::copy(columns, d.selectableColumns.begin());
  d.selectableCount = static_cast<int32_t>(columns.size());
  d.selectableIndex = 1;
  if (!columns.empty()) d.currentColumn = columns.front();
  RepaintCells(list, d, 0, 0);
  return kOk;
}

}  // namespace velmora::listctl::testing
