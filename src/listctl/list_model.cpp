#include "listctl/list_model.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/fixed_text.h"
#include "erpdirs/text_search.h"

namespace velmora::listctl {
namespace {

constexpr std::size_t kMaxSearchWord = 16;

std::size_t Index(int oneBased) { return static_cast<std::size_t>(oneBased - 1); }

void ClearCellExtras(ListData& d, int row, int column) {
  d.cellValue[Index(column)][Index(row)] = 0;
  d.cellBackColour[Index(column)][Index(row)] = 0;
  d.cellTextColour[Index(column)][Index(row)] = 0;
}

int VisibleRowsFor(const ListData& d) {
  if (d.rowHeight <= 0) return 0;
  const int height =
      d.clientHeight - d.headerHeight - (d.horizontalOverflow > 0 ? kScrollBarSize : 0);
  return std::max(0, height / d.rowHeight);
}

int RightEdge(const ListData& d, int column) {
  return d.columnLeft[Index(column)] + d.columnWidth[Index(column)];
}

bool ParsesAsNonZeroNumber(const std::string& key, double& value) {
  char* end = nullptr;
  value = std::strtod(key.c_str(), &end);
  return end != key.c_str() && *end == '\0' && value != 0;
}

bool EveryWordOccurs(std::string_view key, std::string_view text) {
  bool anyWord = false;
  std::size_t i = 0;
  while (i < key.size()) {
    if (key[i] == ' ' || key[i] == '\t') {
      ++i;
      continue;
    }
    const std::size_t end = std::min(key.find_first_of(" \t", i), key.size());
    const std::string_view word = key.substr(i, std::min(end - i, kMaxSearchWord));
    if (erpdirs::FindTextNoCase(text, static_cast<int>(text.size()), word,
                                static_cast<int>(word.size()), false) == 0)
      return false;
    anyWord = true;
    i = end;
  }
  return anyWord;
}

}  // namespace

void InitialiseList(ListData& d, int clientWidth, int clientHeight, int rowHeight) {
  d.currentRow = d.currentColumn = 1;
  d.hasFocus = 0;
  d.rowHeight = rowHeight;
  d.columnGap = 6;
  d.clientWidth = clientWidth;
  d.clientHeight = clientHeight;
  d.rowCapacity = kTableGrowthRows;
  d.selectableIndex = 1;
  d.allowDelete = d.allowInsert = d.editOnEnter = -1;
}

int TitleLineCount(std::string_view title) {
  title = TrimTrailingBlanks(title);
  int lines = 1;
  for (std::size_t at = title.find("\r\n"); at != std::string_view::npos;
       at = title.find("\r\n", at + 2))
    ++lines;
  return lines;
}

int ColumnMargin(const ListData& d) { return std::max(0, d.columnGap / 2 - 1); }

int AddColumn(ListData& d, TextTable table, int width, uint32_t titleFormat, uint32_t cellFormat,
              std::string_view title) {
  if (d.columnCount >= kMaxColumns) return 2;
  if (d.columnCount == 0 && width < 1) return 3;
  const int column = ++d.columnCount;
  const std::size_t i = Index(column);
  d.columnWidth[i] = width;
  d.titleFormat[i] = titleFormat;
  d.cellFormat[i] = cellFormat;
  CopyIntoField(d.columnTitle[i], title);
  d.headerLines = std::max(d.headerLines,
                           TitleLineCount(title.substr(0, std::min(title.size(), kTitleLength))));
  d.headerHeight = d.headerLines * d.rowHeight + 4;

  for (int row = 1; row <= d.rowCount; ++row) {
    std::ranges::fill(table.Cell(row, column), ' ');
    ClearCellExtras(d, row, column);
  }
  d.columnLeft[i] = column == 1 ? ColumnMargin(d) : RightEdge(d, column - 1) + d.columnGap;
  const int reach = RightEdge(d, column) + ColumnMargin(d);
  if (reach > d.clientWidth) d.horizontalOverflow = reach + kScrollBarSize - d.clientWidth;
  d.visibleRows = VisibleRowsFor(d);
  return kOk;
}

Rect TitleRect(const ListData& d, int column) {
  const int left = d.columnLeft[Index(column)];
  return {left + 1, 1, left + d.columnWidth[Index(column)], d.headerHeight - 2};
}

Rect CellRect(const ListData& d, int column, int position) {
  const int left = d.columnLeft[Index(column)];
  const int top = d.headerHeight + (position - 1) * d.rowHeight;
  return {left + 1, top, left + d.columnWidth[Index(column)], top + d.rowHeight};
}

void BlankRow(ListData& d, TextTable table, int row) {
  std::ranges::fill(table.Row(row), ' ');
  for (int column = 1; column <= kMaxColumns; ++column) ClearCellExtras(d, row, column);
}

void CopyRow(ListData& d, TextTable table, int from, int to) {
  std::memmove(table.Row(to).data(), table.Row(from).data(), kRowBytes);
  for (std::size_t c = 0; c < kMaxColumns; ++c) {
    d.cellValue[c][Index(to)] = d.cellValue[c][Index(from)];
    d.cellBackColour[c][Index(to)] = d.cellBackColour[c][Index(from)];
    d.cellTextColour[c][Index(to)] = d.cellTextColour[c][Index(from)];
  }
}

void AppendRow(ListData& d, TextTable table) {
  ++d.rowCount;
  BlankRow(d, table, d.rowCount);
}

void InsertRow(ListData& d, TextTable table, int position) {
  for (int row = d.rowCount - 1; row >= position; --row) CopyRow(d, table, row, row + 1);
  BlankRow(d, table, position);
}

void RemoveRow(ListData& d, TextTable table, int position) {
  if (d.currentRow == d.rowCount && d.currentRow > 1) --d.currentRow;
  for (int row = position; row < d.rowCount; ++row) CopyRow(d, table, row + 1, row);
  BlankRow(d, table, d.rowCount);
  --d.rowCount;
}

int ClampTopRow(const ListData& d, int topRow) {
  return std::max(0, std::min(topRow, d.rowCount - d.visibleRows));
}

bool KeepRowVisible(ListData& d, int row) {
  const int before = d.topRow;
  if (row - d.topRow <= 0) d.topRow = row - 1;
  if (row - d.topRow > d.visibleRows) d.topRow = row - d.visibleRows;
  return d.topRow != before;
}

int RowAfterKey(const ListData& d, ListKey key, bool control) {
  if (d.rowCount == 0) return 0;
  switch (key) {
    case ListKey::PageUp: return std::max(1, d.currentRow - d.visibleRows + 1);
    case ListKey::PageDown: return std::min(d.rowCount, d.currentRow + d.visibleRows - 1);
    case ListKey::Home: return control ? 1 : 0;
    case ListKey::End: return control ? d.rowCount : 0;
    case ListKey::Up: return std::max(1, d.currentRow - 1);
    case ListKey::Down: return std::min(d.rowCount, d.currentRow + 1);
  }
  return 0;
}

int TopRowAfterScroll(const ListData& d, ScrollRequest request, int thumb) {
  int top = d.topRow;
  switch (request) {
    case ScrollRequest::LineUp: top -= 1; break;
    case ScrollRequest::LineDown: top += 1; break;
    case ScrollRequest::PageUp: top -= d.visibleRows - 1; break;
    case ScrollRequest::PageDown: top += d.visibleRows - 1; break;
    case ScrollRequest::Thumb: top = thumb; break;
    case ScrollRequest::Other: break;
  }
  return ClampTopRow(d, top);
}

int ScrollXAfterScroll(const ListData& d, ScrollRequest request, int thumb) {
  int x = d.scrollX;
  const int visibleRight = d.scrollX + d.clientWidth - kScrollBarSize;
  switch (request) {
    case ScrollRequest::LineUp: x -= 10; break;
    case ScrollRequest::LineDown: x += 10; break;
    case ScrollRequest::PageUp:  // the last column starting left of the visible edge
      x = 0;
      for (int c = 1; c <= d.columnCount; ++c)
        if (d.columnLeft[Index(c)] < d.scrollX) x = d.columnLeft[Index(c)];
      break;
    case ScrollRequest::PageDown:  // the first column reaching past the visible edge
      x = d.horizontalOverflow;
      for (int c = d.columnCount; c >= 1; --c)
        if (RightEdge(d, c) > visibleRight && d.columnLeft[Index(c)] > d.scrollX)
          x = d.columnLeft[Index(c)];
      break;
    case ScrollRequest::Thumb: x = thumb; break;
    case ScrollRequest::Other: break;
  }
  return std::clamp(x, 0, std::max(0, d.horizontalOverflow));
}

int PositionAt(const ListData& d, int y) {
  if (y < d.headerHeight || d.rowHeight <= 0) return 0;
  const int position = (y - d.headerHeight) / d.rowHeight + 1;
  const int drawn = std::min(d.visibleRows + 1, d.rowCount - d.topRow);
  if (position <= drawn) return position;
  return std::max(0, std::min(d.visibleRows, d.rowCount - d.topRow));
}

int ColumnAt(const ListData& d, int x) {
  for (int c = 1; c <= d.columnCount; ++c) {
    const Rect r = CellRect(d, c, 1);
    if (x >= r.left && x <= r.right) return c;
  }
  return 0;
}

int ScrollXShowing(const ListData& d, int column) {
  const int margin = ColumnMargin(d);
  int x = d.scrollX;
  const int right = RightEdge(d, column) + margin;
  const int visibleRight = x + d.clientWidth - kScrollBarSize;
  if (right > visibleRight) x += right - visibleRight;
  if (d.columnLeft[Index(column)] - margin < x) x = d.columnLeft[Index(column)] - margin;
  return std::max(0, x);
}

int FindQuickSearchRow(const ListData& d, TextTable table, std::string_view key) {
  if (d.editColumn < 1 || d.editColumn > d.columnCount || d.rowCount < 2) return 0;
  const std::string trimmed(TrimTrailingBlanks(key));
  double number = 0;
  const bool numeric = ParsesAsNonZeroNumber(trimmed, number);
  int row = d.currentRow;
  for (int visited = 0; visited < d.rowCount - 1; ++visited) {
    row = row >= d.rowCount ? 1 : row + 1;
    const std::span<char> cell = table.Cell(row, d.editColumn);
    const bool match = (numeric && d.cellValue[Index(d.editColumn)][Index(row)] == number) ||
                       EveryWordOccurs(trimmed, std::string_view(cell.data(), cell.size()));
    if (match) return row;
  }
  return 0;
}

}  // namespace velmora::listctl
