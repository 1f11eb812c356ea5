#pragma once
// One sync pass of the postman: every file of ERP\OUT\, oldest first, sent
// to the vendor's server and moved into ERP\SENT\.
//
// Nothing is ever lost: a file leaves ERP\OUT\ only after the server's answer
// to it has arrived (into ERP\SENT\ under its own name), or when it is not a
// request file (into ERP\SENT\ as "!" + its name, and only if that move
// works). A file killed mid-pass is either still in ERP\OUT\ or in
// ERP\SENT\; one answered just before the end may go out a second time.

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

namespace velmora::postman {

// Where a pass works; the postman's setup, or a test's.
struct PassPlace {
  HWND dialog = nullptr;  // owns timer 2 and, while connected, the link window
  HINSTANCE instance = nullptr;
  std::string outgoing;                 // ...\ERP\OUT\, ending in "\"
  std::string sent;                     // ...\ERP\SENT\, ending in "\"
  std::span<char> buffer;               // holds the file being sent
  unsigned pauseMs = 0;                 // the pause at the start of every pass
  void (*announceMessage)() = nullptr;  // shows a message the check brought; none in a test
};

// Runs the pass on the calling thread, re-arms the dialog's timer 2 with
// `period` before it returns, and returns kPassDone or one of the other
// kPass... results.
int16_t RunSyncPass(const PassPlace& place, int32_t period);

}  // namespace velmora::postman
