#pragma once
// The postman thread: a hidden dialog whose timer runs a sync pass every 7 to
// 120 seconds for the rest of the run.

#include <windows.h>

namespace velmora::postman {

// Starts the postman thread; called by the news thread when it ends.
void StartPostmanThread();

// Starts one of the background threads (news, postman), never joined, and
// logs whether it started.
void StartBackgroundThread(LPTHREAD_START_ROUTINE routine);

// The hidden dialog (template 122) on the postman thread: timer 1 brings the
// first pass, timer 2 every later one. It never ends by itself.
INT_PTR CALLBACK PostmanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velmora::postman
