#pragma once
// The per-window block of a grid: its data and the handles it owns, kept in
// one movable local memory block whose handle sits in the window's user-data
// slot. Every use locks it for its own duration; nothing keeps a pointer into
// it between messages.

#include <windows.h>

#include "listctl/list_model.h"

namespace velmora::listctl {

struct ListBlock {
  ListData data;
  HLOCAL textTable = nullptr;
  HFONT listFont = nullptr, headerFont = nullptr, cellFont = nullptr;
  HWND editor = nullptr, verticalBar = nullptr, horizontalBar = nullptr;
  bool searching = false;  // the editor holds a quick-search key, not a cell's text
};

// Locks a window's block, and on request its text table, until scope exit.
class LockedList {
 public:
  explicit LockedList(HWND window);
  LockedList(const LockedList&) = delete;
  LockedList& operator=(const LockedList&) = delete;
  ~LockedList();

  explicit operator bool() const { return block_ != nullptr; }
  ListBlock& operator*() const { return *block_; }
  ListBlock* operator->() const { return block_; }
  ListData& data() const { return block_->data; }
  HWND window() const { return window_; }

  // The text table, locked until scope exit; false when it cannot be locked.
  bool LockTable();
  TextTable table() const { return TextTable(tableBytes_); }

  // Grows the text table by `steps` times 100 rows; false on failure.
  bool GrowTable(int steps = 1);

 private:
  HWND window_;
  HLOCAL handle_ = nullptr;
  ListBlock* block_ = nullptr;
  std::span<char> tableBytes_;
};

// Invalidates, without erasing, part of the grid: one row's band (column 0,
// or any column in row selection) or one cell; row 0 the whole area below
// the header, and with column -1 the header too; a negative row -r from row r
// down. Rows outside the visible window are left alone.
void RepaintCells(HWND window, const ListData& d, int row, int column);

// Vertical bar after a change of rows: range 0 .. rowCount.
void UpdateVerticalRange(const ListBlock& block, bool withPage);

// Notifies the parent with WM_COMMAND (control id, code); posted or sent.
void NotifyParent(HWND window, int code, bool post);

}  // namespace velmora::listctl
