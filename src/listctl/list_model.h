#pragma once
// The grid's data and geometry, without any Windows call. The window keeps
// one `ListData` per control in a movable local block and the cell texts in
// a second block, the text table; the functions here work on both once they
// are locked. Rows and columns are numbered from 1.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace velmora::listctl {

inline constexpr int kMaxColumns = 21;
inline constexpr int kMaxRows = 10000;
inline constexpr int kMaxTrackedPositions = 100;  // visible row positions laid out
inline constexpr std::size_t kCellLength = 300;
inline constexpr std::size_t kTitleLength = 200;
inline constexpr std::size_t kRowBytes = kMaxColumns * kCellLength;
inline constexpr int kTableGrowthRows = 100;
inline constexpr int kScrollBarSize = 16;

// Result codes shared by the operations.
inline constexpr int kOk = 0, kNotLockable = 1;

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct ListData {
  int32_t currentRow = 1, currentColumn = 1;
  int32_t hasFocus = 0;  // -1 while the control has the keyboard focus
  int32_t rowHeight = 0, headerHeight = 0, columnGap = 6;
  int32_t rowCount = 0, visibleRows = 0, headerLines = 0, topRow = 0;
  int32_t columnCount = 0;
  int32_t clientWidth = 0, clientHeight = 0;
  std::array<int32_t, kMaxColumns> columnWidth{}, columnLeft{};
  std::array<std::array<char, kTitleLength>, kMaxColumns> columnTitle{};
  std::array<uint32_t, kMaxColumns> titleFormat{}, cellFormat{};
  int32_t rowCapacity = 0;
  std::array<std::array<double, kMaxRows>, kMaxColumns> cellValue{};
  std::array<std::array<uint32_t, kMaxRows>, kMaxColumns> cellBackColour{},
      cellTextColour{};  // 0: default
  int32_t selectableCount = 0, selectableIndex = 1;
  std::array<int32_t, kMaxColumns> selectableColumns{};
  int32_t markMode = 0, markFirst = 0, markLast = 0;
  int32_t alternateShading = 0;
  int32_t horizontalOverflow = 0, scrollX = 0;
  int32_t allowDelete = 0, allowInsert = 0, editOnEnter = 0, editColumn = 0;

  bool RowSelection() const { return selectableCount == 0; }
  bool ValidRow(int row) const { return row >= 1 && row <= rowCount; }
  bool ValidColumn(int column) const { return column >= 1 && column <= columnCount; }
};

// The cell texts: rows of 21 cells of 300 blank-padded characters.
class TextTable {
 public:
  explicit TextTable(std::span<char> bytes) : bytes_(bytes) {}
  std::span<char> Cell(int row, int column) const {
    const std::size_t offset =
        (static_cast<std::size_t>(row - 1) * kMaxColumns + (column - 1)) * kCellLength;
    return bytes_.subspan(offset, kCellLength);
  }
  std::span<char> Row(int row) const {
    return bytes_.subspan(static_cast<std::size_t>(row - 1) * kRowBytes, kRowBytes);
  }

 private:
  std::span<char> bytes_;
};

inline std::size_t TableBytes(int rows) { return static_cast<std::size_t>(rows) * kRowBytes; }

// Fresh control state, for a client area of the given size and the row height of the bold font.
void InitialiseList(ListData& d, int clientWidth, int clientHeight, int rowHeight);

// 1 plus the number of CR LF pairs in the title without its trailing blanks.
int TitleLineCount(std::string_view title);

// Appends a column and lays the grid out again; 2 when 21 columns exist,
// 3 for a first column narrower than 1 pixel.
int AddColumn(ListData& d, TextTable table, int width, uint32_t titleFormat, uint32_t cellFormat,
              std::string_view title);

// Margin left of the first column: columnGap / 2 - 1, never below 0.
int ColumnMargin(const ListData& d);

// Geometry in unscrolled client coordinates; `position` 1 is the first visible row.
Rect TitleRect(const ListData& d, int column);
Rect CellRect(const ListData& d, int column, int position);

// Row operations on the data; the window side grows the table and repaints.
void BlankRow(ListData& d, TextTable table, int row);
void CopyRow(ListData& d, TextTable table, int from, int to);
void AppendRow(ListData& d, TextTable table);                // rowCount must be below the capacity
void InsertRow(ListData& d, TextTable table, int position);  // after AppendRow
void RemoveRow(ListData& d, TextTable table, int position);

// topRow clamped to 0 .. rowCount - visibleRows.
int ClampTopRow(const ListData& d, int topRow);
// Scrolls so that `row` is visible; true when topRow changed.
bool KeepRowVisible(ListData& d, int row);

// Keys the grid handles itself.
enum class ListKey { PageUp, PageDown, Home, End, Up, Down };
// The row a key moves the current row to (Home and End only with Ctrl); 0 when it
// does not move rows.
int RowAfterKey(const ListData& d, ListKey key, bool control);

// Vertical scroll requests.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Thumb, Other };
int TopRowAfterScroll(const ListData& d, ScrollRequest request, int thumb);

// Horizontal scroll requests.
int ScrollXAfterScroll(const ListData& d, ScrollRequest request, int thumb);

// Visible position a click at client y falls on: 0 in the header band; a
// click below the last drawn row takes the last visible position.
int PositionAt(const ListData& d, int y);

// Column whose cell spans the (scrolled) x, 0 when none.
int ColumnAt(const ListData& d, int x);

// Horizontal scroll that brings `column` into view.
int ScrollXShowing(const ListData& d, int column);

// Quick search: the first row after the current one (wrapping, at most
// rowCount - 1 rows) whose editColumn cell matches the key; 0 when none.
// A key that reads as a non-zero number matches the cell's value; otherwise
// every word of the key (at most 16 characters each) must occur in the text.
int FindQuickSearchRow(const ListData& d, TextTable table, std::string_view key);

}  // namespace velmora::listctl
