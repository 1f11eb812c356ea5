#pragma once
// The window side of the grid: its window procedure and the pieces of it
// that live in their own files (painting, keyboard and mouse, the editor).

#include <windows.h>

#include <string_view>

#include "listctl/list_block.h"

namespace velmora::listctl {

LRESULT CALLBACK ListWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a control error: a text starting with "ERR: " without that prefix as
// an error ("Controls error"), any other text as a warning ("Controls warning").
void ReportControlError(HWND owner, std::string_view text);

// Painting: the whole grid drawn off-screen and copied into `target` at once.
void PaintList(HWND window, HDC target);
void NotifyFullRows(HWND window);

// Input handlers.
void OnListKeyDown(HWND window, UINT key, LPARAM lParam);
void OnListChar(HWND window, UINT character);
void OnListVerticalScroll(HWND window, int request, int thumb);
void OnListHorizontalScroll(HWND window, int request, int thumb);
void OnListButtonDown(HWND window, int x, int y);
void OnEditorCommand(HWND window, int code);
void PassFocusOn(HWND window);

// The in-place editor, class "EditCorvane": an edit box that reports Enter
// (accept, 201), Esc (cancel, 202) and the loss of the focus (close, 203) to
// its parent.
inline constexpr char kEditorClassName[] = "EditCorvane";
inline constexpr wchar_t kEditorClassNameW[] = L"EditCorvane";  // the same, for the W calls
inline constexpr int kEditorAccept = 201, kEditorCancel = 202, kEditorClose = 203;
bool RegisterEditorClass(HINSTANCE instance);
// Shows the editor over `cell` (client coordinates) holding `text`, focused.
void OpenEditor(HWND editor, const RECT& cell, std::string_view text);
void CloseEditor(HWND list, HWND editor);

}  // namespace velmora::listctl
