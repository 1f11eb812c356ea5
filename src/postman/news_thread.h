#pragma once
// The news thread: a hidden dialog (template 122) whose first timer fetches
// the news once; the thread then fills the news strip, starts the postman
// thread and ends.

#include <windows.h>

namespace velmora::postman {

DWORD WINAPI NewsThread(void* unused);

// The hidden dialog's procedure. Ends the dialog with 1 when the strip is to
// be filled, 2 when the fetch met a marked answer or the user stopped it.
INT_PTR CALLBACK NewsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Copies the news fields, without trailing blanks, into the strip's
// controls: date, EUR, USD, weather, news text.
void FillNewsStrip(HWND strip);

}  // namespace velmora::postman
