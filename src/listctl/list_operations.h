#pragma once
// What a dialog calls to drive a "ListCorvane" grid. Each operation takes
// the control's window handle and returns 0 on success, 1 when the control's
// data cannot be locked, or the codes listed with it. Rows and columns are
// numbered from 1.

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace velmora::listctl {

// 2: already 21 columns; 3: a first column narrower than 1 pixel.
int AddListColumn(HWND list, int width, UINT titleFormat, UINT cellFormat, std::string_view title);

// 2: already 10000 rows; 3: the text table cannot grow.
int AppendListRow(HWND list, int* newRowCount = nullptr);

// Makes room for `rows` rows in one step (rounded up to the table's growth
// step), so that a caller who knows how many rows follow fills the grid
// without a growth every 100 rows. 2: more than 10000 rows; 3: no memory.
int ReserveListRows(HWND list, int rows);

// Codes of AppendListRow; 4: position outside 1..rowCount + 1 (the row count
// with the new row), nothing added; 5: text table not lockable.
// The current row stays where it was.
int InsertListRow(HWND list, int position);

// 2: position outside 1..rowCount; 3: text table not lockable.
int RemoveListRow(HWND list, int position);

// Stores the text, cut at 300 characters. Repaints the cell at once when
// `redraw` is omitted or has bit 0 set. 2: bad row; 3: bad column; 4: table not lockable.
int SetListCellText(HWND list, int row, int column, std::string_view text,
                    std::optional<int> redraw = std::nullopt);

// The cell text cut or blank-padded to `length`. 2: bad row; 3: bad column; 4: table not lockable.
int GetListCellText(HWND list, int row, int column, std::string& text, std::size_t length);

// 0 is the default colour. 2: bad row; 3: bad column. No repaint.
int SetListCellBackColour(HWND list, int row, int column, COLORREF colour);

int GetListRowCount(HWND list, int& count);

// The current row and column, 0 and 0 for an empty list.
int GetListCurrentCell(HWND list, int& row, int* column = nullptr);

// Makes the row (and the column, when not 0) current and scrolls it into
// view. 2: bad row; 3: bad column; 4: column not selectable.
int SelectListCell(HWND list, int row, int column = 0);

}  // namespace velmora::listctl
