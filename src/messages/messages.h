#pragma once
// Messages between the user and the vendor: outgoing message files, the
// archive inbox.dat, the message history (dialog 150) and the text viewer
// (dialog 152).

#include <windows.h>

#include <string_view>

namespace velmora::messages {

// Appends one archive entry; `author` is taken exactly as given.
void AppendInboxEntry(std::string_view body, std::string_view author);

// Writes an outgoing message file into ERP\OUT\ and archives the message; 0 on success.
int SendUserMessage(std::string_view text);

INT_PTR CALLBACK MessageHistoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TextViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velmora::messages
