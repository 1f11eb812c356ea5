// Keyboard, mouse and scroll bars of the grid, and what the in-place editor
// reports. Handlers lock the grid only around their own reads and writes, so
// that the operations they call and the parent they notify find it unlocked.

#include <algorithm>
#include <string>

#include "common/wide_text.h"
#include "listctl/list_operations.h"
#include "listctl/list_window.h"

namespace velmora::listctl {
namespace {

constexpr int kCellFormatEnterNotifies = 0x40;
constexpr std::size_t kMaxSearchKey = 1000;

std::size_t Index(int oneBased) { return static_cast<std::size_t>(oneBased - 1); }

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// Makes `row` current, keeps it visible and tells the parent.
void MoveToRow(HWND window, int row) {
  if (row < 1) return;
  SelectListCell(window, row);
  NotifyParent(window, 310, true);
}

RECT EditorRect(const ListData& d, int column, bool widened) {
  const Rect cell = CellRect(d, column, d.currentRow - d.topRow);
  RECT r{cell.left - d.scrollX, cell.top, cell.right - d.scrollX, cell.top + d.rowHeight};
  if (widened) {
    r.left -= 4;
    r.right += 3;
  }
  return r;
}

// Opens the editor over a cell: for a quick search over the search column with
// the typed character, for an edit over the current cell with its text.
void StartEditing(HWND window, std::string_view initial, bool search) {
  LockedList locked(window);
  if (!locked || !locked.LockTable()) return;
  ListData& d = locked.data();
  if (d.rowCount == 0) return;
  const int column = search ? d.editColumn : d.currentColumn;
  if (!d.ValidColumn(column)) return;
  std::string text(initial);
  if (!search && text.empty()) {
    const std::span<char> cell = locked.table().Cell(d.currentRow, column);
    text.assign(cell.data(), cell.size());
    text.erase(text.find_last_not_of(' ') + 1);
  }
  locked->searching = search;
  OpenEditor(locked->editor, EditorRect(d, column, !search), text);
}

void SelectNeighbourColumn(HWND window, int step) {
  int row = 0, column = 0;
  {
    LockedList locked(window);
    if (!locked) return;
    ListData& d = locked.data();
    if (d.RowSelection() || d.selectableCount == 0) return;
    int index = d.selectableIndex + step;
    if (index < 1 || index > d.selectableCount) {
      const bool wrapsDown = index > d.selectableCount;
      if (wrapsDown ? d.currentRow >= d.rowCount : d.currentRow <= 1) return;
      row = d.currentRow + (wrapsDown ? 1 : -1);
      index = wrapsDown ? 1 : d.selectableCount;
    } else {
      row = d.currentRow;
    }
    column = d.selectableColumns[Index(index)];
  }
  SelectListCell(window, row, column);
  NotifyParent(window, 310, true);
}

void ScrollHorizontallyTo(HWND window, bool toEnd) {
  int column = 0;
  {
    LockedList locked(window);
    if (!locked) return;
    ListData& d = locked.data();
    d.scrollX = toEnd ? d.horizontalOverflow : 0;
    SetScrollPos(locked->horizontalBar, SB_CTL, d.scrollX, TRUE);
    RepaintCells(window, d, 0, -1);
    if (!d.RowSelection() && d.selectableCount > 0)
      column = d.selectableColumns[Index(toEnd ? d.selectableCount : 1)];
  }
  if (column == 0) return;
  int row = 0;
  GetListCurrentCell(window, row);
  if (row > 0) SelectListCell(window, row, column);
  NotifyParent(window, 310, true);
}

void OnEnter(HWND window) {
  bool notifyEnter = false, edit = false;
  {
    LockedList locked(window);
    if (!locked) return;
    const ListData& d = locked.data();
    notifyEnter =
        d.RowSelection() || (d.ValidColumn(d.currentColumn) &&
                             (d.cellFormat[Index(d.currentColumn)] & kCellFormatEnterNotifies));
    edit = (d.editOnEnter & 1) != 0;
  }
  if (notifyEnter) {
    NotifyParent(window, 301, true);
    return;
  }
  NotifyParent(window, 311, false);
  if (edit) StartEditing(window, {}, false);
}

void OnInsertKey(HWND window) {
  int row = 0;
  {
    LockedList locked(window);
    if (!locked || locked.data().RowSelection() || (locked.data().allowInsert & 1) == 0) return;
    row = locked.data().rowCount == 0 ? 0 : locked.data().currentRow;
  }
  if (row == 0 ? AppendListRow(window) != kOk : InsertListRow(window, row) != kOk) return;
  NotifyParent(window, 305, true);
}

void OnDeleteKey(HWND window) {
  int row = 0;
  {
    LockedList locked(window);
    if (!locked || locked.data().RowSelection() || (locked.data().allowDelete & 1) == 0) return;
    row = locked.data().currentRow;
  }
  if (RemoveListRow(window, row) != kOk) return;
  NotifyParent(window, 310, true);
}

void OnMarkKey(HWND window) {
  LockedList locked(window);
  if (!locked) return;
  ListData& d = locked.data();
  switch (d.markMode) {
    case 0:
      d.markMode = 1;
      d.markFirst = d.markLast = d.currentRow;
      break;
    case 1:
      d.markMode = 2;
      d.markLast = d.currentRow;
      break;
    default:
      d.markMode = 0;
      d.markFirst = d.markLast = 0;
      break;
  }
  RepaintCells(window, d, 0, 0);
}

void MoveByKey(HWND window, ListKey key) {
  int row = 0;
  {
    LockedList locked(window);
    if (!locked) return;
    row = RowAfterKey(locked.data(), key, KeyDown(VK_CONTROL));
  }
  MoveToRow(window, row);
}

// Scroll bar codes; the horizontal ones (SB_LINELEFT ...) share their values.
ScrollRequest ScrollRequestOf(int request) {
  switch (request) {
    case SB_LINEUP: return ScrollRequest::LineUp;
    case SB_LINEDOWN: return ScrollRequest::LineDown;
    case SB_PAGEUP: return ScrollRequest::PageUp;
    case SB_PAGEDOWN: return ScrollRequest::PageDown;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: return ScrollRequest::Thumb;
  }
  return ScrollRequest::Other;
}

}  // namespace

void PassFocusOn(HWND window) {
  const HWND parent = GetParent(window);
  const HWND next = GetNextDlgTabItem(parent, window, KeyDown(VK_SHIFT));
  if (next != nullptr && next != window)
    PostMessageA(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

void OnListKeyDown(HWND window, UINT key, LPARAM lParam) {
  if (key == VK_INSERT) NotifyParent(window, 304, false);
  if (key == VK_DELETE) NotifyParent(window, 303, false);
  switch (key) {
    case VK_TAB: PassFocusOn(window); break;
    case VK_RETURN: OnEnter(window); break;
    case VK_PRIOR: MoveByKey(window, ListKey::PageUp); break;
    case VK_NEXT: MoveByKey(window, ListKey::PageDown); break;
    case VK_UP: MoveByKey(window, ListKey::Up); break;
    case VK_DOWN: MoveByKey(window, ListKey::Down); break;
    case VK_HOME:
      if (KeyDown(VK_CONTROL))
        MoveByKey(window, ListKey::Home);
      else
        ScrollHorizontallyTo(window, false);
      break;
    case VK_END:
      if (KeyDown(VK_CONTROL))
        MoveByKey(window, ListKey::End);
      else
        ScrollHorizontallyTo(window, true);
      break;
    case VK_LEFT: SelectNeighbourColumn(window, -1); break;
    case VK_RIGHT: SelectNeighbourColumn(window, +1); break;
    case VK_INSERT: OnInsertKey(window); break;
    case VK_DELETE: OnDeleteKey(window); break;
    case VK_F3: {
      bool search = false;
      {
        LockedList locked(window);
        search = locked && locked.data().RowSelection() && locked.data().editColumn > 0;
      }
      if (search) StartEditing(window, {}, true);
      break;
    }
    case VK_F9: OnMarkKey(window); break;
    default: PostMessageA(GetParent(window), WM_KEYDOWN, key, lParam); break;
  }
}

void OnListChar(HWND window, UINT character) {
  if (character < 32) return;
  bool search = false, notifyOnly = false;
  {
    LockedList locked(window);
    if (!locked) return;
    const ListData& d = locked.data();
    search = d.RowSelection() && d.editColumn > 0;
    notifyOnly = d.RowSelection() && d.editColumn == 0;
  }
  if (notifyOnly) {
    PostMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(character, 313),
                 reinterpret_cast<LPARAM>(window));
    return;
  }
  const char typed = static_cast<char>(character);
  StartEditing(window, std::string_view(&typed, 1), search);
}

void OnListVerticalScroll(HWND window, int request, int thumb) {
  const ScrollRequest r = ScrollRequestOf(request);
  {
    LockedList locked(window);
    if (!locked) return;
    ListData& d = locked.data();
    const int top = TopRowAfterScroll(d, r, thumb);
    if (top == d.topRow) return;
    d.topRow = top;
    SetScrollPos(locked->verticalBar, SB_CTL, top, TRUE);
    RepaintCells(window, d, 0, 0);
  }
  UpdateWindow(window);
}

void OnListHorizontalScroll(HWND window, int request, int thumb) {
  const ScrollRequest r = ScrollRequestOf(request);
  LockedList locked(window);
  if (!locked) return;
  ListData& d = locked.data();
  d.scrollX = ScrollXAfterScroll(d, r, thumb);
  SetScrollPos(locked->horizontalBar, SB_CTL, d.scrollX, TRUE);
  RepaintCells(window, d, 0, -1);
}

void OnListButtonDown(HWND window, int x, int y) {
  int row = 0, column = 0;
  {
    LockedList locked(window);
    if (!locked) return;
    const ListData& d = locked.data();
    const int position = PositionAt(d, y);
    if (position == 0) return;
    row = d.topRow + position;
    if (!d.RowSelection()) {
      const int hit = ColumnAt(d, x + d.scrollX);
      const auto begin = d.selectableColumns.begin();
      if (std::find(begin, begin + d.selectableCount, hit) != begin + d.selectableCount)
        column = hit;
    }
  }
  SelectListCell(window, row, column);
  NotifyParent(window, 310, true);
  UpdateWindow(window);
}

void OnEditorCommand(HWND window, int code) {
  HWND editor = nullptr;
  bool search = false;
  {
    LockedList locked(window);
    if (!locked) return;
    editor = locked->editor;
    search = locked->searching;
  }
  switch (code) {
    case kEditorAccept: {
      std::string text = WindowText1250(editor);
      if (text.size() > kMaxSearchKey) text.resize(kMaxSearchKey);
      CloseEditor(window, editor);
      if (search) {
        int found = 0;
        {
          LockedList locked(window);
          if (!locked || !locked.LockTable()) return;
          locked->searching = false;
          found = FindQuickSearchRow(locked.data(), locked.table(), text);
        }
        if (found > 0) MoveToRow(window, found);
      } else {
        int row = 0, column = 0;
        GetListCurrentCell(window, row, &column);
        if (SetListCellText(window, row, column, text) == kOk) NotifyParent(window, 301, true);
      }
      break;
    }
    case kEditorCancel:
      CloseEditor(window, editor);
      NotifyParent(window, 302, false);
      break;
    case kEditorClose:
      ShowWindow(editor, SW_HIDE);
      NotifyParent(window, 314, true);
      break;
  }
}

}  // namespace velmora::listctl
