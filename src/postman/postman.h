#pragma once
// The background postman: the news thread, then the postman thread that
// sends the files of ERP\OUT\ for the rest of the run.

#include <windows.h>

#include <span>
#include <string>

namespace velmora::postman {

// What the background threads take from the shell. Settled on the main
// thread before StartPostman and read-only afterwards.
struct PostmanSetup {
  HINSTANCE instance = nullptr;
  std::string outgoingDirectory;  // suite root + "ERP\OUT\"
  std::string sentDirectory;      // suite root + "ERP\SENT\"
  HWND newsStrip = nullptr;       // dialog 143, filled when the news is in
  std::span<char> fileBuffer;     // the postman's zeroed heap block
  // Shows the message a pass's message check brought (the message history in
  // its announcing mode); called on the postman thread, returns when it closes.
  void (*announceMessage)() = nullptr;
};

// Called once by the main dialog when it opens: starts the news thread,
// which starts the postman thread when it ends.
void StartPostman(const PostmanSetup& setup);

// Keeps the setup without starting anything.
void AdoptPostmanSetup(const PostmanSetup& setup);

// The setup handed to StartPostman or AdoptPostmanSetup.
const PostmanSetup& AdoptedPostmanSetup();

}  // namespace velmora::postman
