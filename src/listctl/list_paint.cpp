// Painting of the grid: everything is drawn into an off-screen bitmap and
// copied to the window in one BitBlt, so the grid never flickers. Pens and
// brushes are made per paint and deleted before it ends.

#include <algorithm>
#include <string_view>

#include "common/fixed_text.h"
#include "common/wide_text.h"
#include "common/win_handles.h"
#include "listctl/list_window.h"

namespace velmora::listctl {
namespace {

using AutoPen = UniqueHandle<GdiObjectTraits<HPEN>>;

constexpr COLORREF kFocusedSelection = 0x00C800;
using AutoPen = UniqueHandle<GdiObjectTraits<HPEN>>;

constexpr COLORREF kFocusedSelectionText = 0xFFFFFF;
constexpr COLORREF kUnfocusedSelection = 0xCCCCCC;
constexpr COLORREF kShadedRow = 0xE0E0E0;

struct CellColours {
  COLORREF text, back;
};

std::size_t Index(int oneBased) { return static_cast<std::size_t>(oneBased - 1); }

void Line(HDC dc, COLORREF colour, int x1, int y1, int x2, int y2) {
  const AutoPen pen(CreatePen(PS_SOLID, 0, colour));
  const ScopedSelectObject select(dc, pen.get());
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

std::string_view CellText(TextTable table, int row, int column) {
  const std::span<char> cell = table.Cell(row, column);
  return TrimTrailingBlanks(std::string_view(cell.data(), cell.size()));
}

void PaintHeader(HDC dc, const ListBlock& block, int width) {
  const ListData& d = block.data;
  if (d.headerLines == 0) return;
  RECT band{0, 0, width, d.headerHeight};
  FillRect(dc, &band, GetSysColorBrush(COLOR_BTNFACE));
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  Line(dc, highlight, 0, 0, width, 0);
  Line(dc, shadow, 0, d.headerHeight - 1, width, d.headerHeight - 1);
  Line(dc, highlight, 0, 1, 0, d.headerHeight - 1);

  // Titles are in the list font; the bold one is for the current row.
  const ScopedSelectObject font(dc, block.listFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int c = 1; c <= d.columnCount; ++c) {
    if (d.columnWidth[Index(c)] <= 0) continue;
    const Rect t = TitleRect(d, c);
    RECT r{t.left, t.top, t.right, t.bottom};
    const auto& title = d.columnTitle[Index(c)];
    const std::string_view text = TrimTrailingBlanks(std::string_view(title.data(), title.size()));
    DrawText1250(dc, text, &r, d.titleFormat[Index(c)]);
    const int x = t.right + d.columnGap / 2;
    Line(dc, shadow, x - 1, 1, x - 1, d.headerHeight - 1);
    Line(dc, highlight, x, 1, x, d.headerHeight - 1);
  }
  SetBkMode(dc, OPAQUE);
}

bool Marked(const ListData& d, int row) {
  if (d.markMode == 0) return false;
  return row >= std::min(d.markFirst, d.markLast) && row <= std::max(d.markFirst, d.markLast);
}

CellColours ColoursOf(const ListData& d, int row, int column, int position) {
  const uint32_t ownText = d.cellTextColour[Index(column)][Index(row)];
  const uint32_t ownBack = d.cellBackColour[Index(column)][Index(row)];
  const COLORREF defaultText = GetSysColor(COLOR_WINDOWTEXT);
  const bool current = row == d.currentRow && (d.RowSelection() || column == d.currentColumn);
  if (current) {
    const bool focused = d.hasFocus != 0;
    const COLORREF selectionText = focused ? kFocusedSelectionText : defaultText;
    return {ownText != 0 ? ownText : selectionText,
            focused ? kFocusedSelection : kUnfocusedSelection};
  }
  const bool shaded = ((d.alternateShading & 1) != 0 && position % 2 == 0) || Marked(d, row);
  if (shaded) return {ownText != 0 ? ownText : defaultText, kShadedRow};
  return {ownText != 0 ? ownText : defaultText, ownBack != 0 ? ownBack : GetSysColor(COLOR_WINDOW)};
}

void PaintCell(HDC dc, const ListData& d, TextTable table, int row, int column, int position) {
  const CellColours colours = ColoursOf(d, row, column, position);
  SetTextColor(dc, colours.text);
  SetBkColor(dc, colours.back);
  const Rect cell = CellRect(d, column, position);
  {
    const AutoPen pen(CreatePen(PS_SOLID, 0, colours.back));
    const AutoBrush brush(CreateSolidBrush(colours.back));
    const ScopedSelectObject selectPen(dc, pen.get());
    const ScopedSelectObject selectBrush(dc, brush.get());
    Rectangle(dc, cell.left - 4, cell.top, cell.right + 3, cell.bottom);
  }
  RECT r{cell.left, cell.top, cell.right, cell.bottom};
  const std::string_view text = CellText(table, row, column);
  DrawText1250(dc, text, &r, d.cellFormat[Index(column)]);
}

void PaintRows(HDC dc, const ListBlock& block, TextTable table, int width) {
  const ListData& d = block.data;
  const int lastPosition = std::min(d.visibleRows + 1, kMaxTrackedPositions);
  for (int position = 1; position <= lastPosition && d.topRow + position <= d.rowCount;
       ++position) {
    const int row = d.topRow + position;
    if (!d.RowSelection() && ((d.alternateShading & 1 && position % 2 == 0) || Marked(d, row))) {
      const AutoBrush band(CreateSolidBrush(kShadedRow));
      const Rect first = CellRect(d, 1, position);
      RECT r{0, first.top, width, first.bottom};
      FillRect(dc, &r, band.get());
    }
    const ScopedSelectObject font(dc, row == d.currentRow ? block.headerFont : block.cellFont);
    for (int column = 1; column <= d.columnCount; ++column)
      if (d.columnWidth[Index(column)] > 0) PaintCell(dc, d, table, row, column, position);
  }
}

}  // namespace

void PaintList(HWND window, HDC target) {
  LockedList locked(window);
  if (!locked || !locked.LockTable()) return;
  ListData& d = locked.data();
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right + d.scrollX, height = client.bottom;
  if (client.right <= 0 || height <= 0) return;

  const AutoMemoryDc memory(CreateCompatibleDC(target));
  const AutoBitmap bitmap(CreateCompatibleBitmap(target, width, height));
  const ScopedSelectObject selectBitmap(memory.get(), bitmap.get());
  const ScopedSelectObject selectFont(memory.get(), locked->listFont);
  RECT all{0, 0, width, height};
  FillRect(memory.get(), &all, GetSysColorBrush(COLOR_WINDOW));
  PaintHeader(memory.get(), *locked, width);
  PaintRows(memory.get(), *locked, locked.table(), width);

  const int shownHeight = height - (d.horizontalOverflow != 0 ? kScrollBarSize : 0);
  BitBlt(target, 0, 0, client.right - kScrollBarSize, shownHeight, memory.get(), d.scrollX, 0,
         SRCCOPY);
  if (d.markMode == 1) d.markLast = d.currentRow;  // a range being marked follows the current row
}

void NotifyFullRows(HWND window) {
  int count = 0;
  {
    LockedList locked(window);
    if (!locked || !locked.LockTable()) return;
    const ListData& d = locked.data();
    const int lastPosition = std::min(d.visibleRows + 1, kMaxTrackedPositions);
    for (int position = 1; position <= lastPosition && d.topRow + position <= d.rowCount;
         ++position) {
      const int row = d.topRow + position;
      bool full = d.columnCount > 0;  // every cell of the row holds a text
      for (int column = 1; full && column <= d.columnCount; ++column)
        full = !CellText(locked.table(), row, column).empty();
      if (full) ++count;
    }
  }
  // Sent with the grid unlocked: the parent may call back into it.
  for (int i = 0; i < count; ++i) NotifyParent(window, 312, false);
}

}  // namespace velmora::listctl
