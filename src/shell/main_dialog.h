#pragma once
// The main dialog (template 108): the launcher's only top-level window.

#include <windows.h>

namespace velmora::shell {

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The published dialog handle, read by the background threads.
HWND MainDialogHandle();

// Shutdown releases the dialog's GDI objects in two steps of its fixed order.
void ReleaseMainDialogBitmapsAndBrush();
void ReleaseMainDialogFont();

}  // namespace velmora::shell
