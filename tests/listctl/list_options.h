#pragma once
// Options of the grid that the launcher never switches on (it always works
// in row selection without a search column), set here so that the tests can
// reach the quick search and the cell editor.

#include <windows.h>

#include <span>

namespace velmora::listctl::testing {

// The column searched by typing in row selection (0: typed characters only
// notify the parent). 2: bad column.
int SetListSearchColumn(HWND list, int column);

// Turns on cell selection restricted to `columns` (empty: row selection
// again); Enter and typed characters then edit the current cell. 2: bad column.
int SetListSelectableColumns(HWND list, std::span<const int> columns);

}  // namespace velmora::listctl::testing
