#pragma once
// Messages between the user and the vendor: outgoing message files, the
// archive inbox.dat, the message history (dialog 150) and the text viewer
// (dialog 152).

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "messages/inbox_format.h"

namespace velmora::messages {

// What the message files and dialogs take from the shell. Settled on the main
// thread before any background thread starts, read-only afterwards.
struct MessagesSetup {
  HINSTANCE instance = nullptr;  // holds dialogs 150 and 152 and the new-message sound
  std::string inboxFile;         // the archive, beside the launcher
  std::string outgoingFolder;    // suite root + "ERP\OUT\"
  HFONT viewerFont = nullptr;    // the text viewer's font, the main dialog's
};
void ConfigureMessages(const MessagesSetup& setup);
// The setup ConfigureMessages was last given.
const MessagesSetup& ConfiguredMessagesSetup();

// Appends one archive entry; `author` is taken exactly as given. When the
// archive is held open by another, waits up to about two seconds for it.
void AppendInboxEntry(std::string_view body, std::string_view author);

// Writes an outgoing message file into ERP\OUT\ and archives the message; 0
// on success, -1 when the file could not be written (nothing is archived then).
int SendUserMessage(std::string_view text);

// The archive's entries in file order; none when it is missing or empty.
std::vector<InboxEntry> ReadInbox();

// Dialog 150: parameter 0 announces the received message (new-message mode),
// any other value shows the history.
INT_PTR CALLBACK MessageHistoryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog 152: shows the detail text of slide `lParam` (1..200).
INT_PTR CALLBACK TextViewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace velmora::messages
