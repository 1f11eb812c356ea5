#pragma once
// The "918" request: the messages the vendor left for this client.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace velmora::postman {

// Connects, asks for the waiting messages, stores them as the received
// message and disconnects. Used by the news fetch and every 120th pass.
void FetchMessages(HWND parent);

// On an open link: sends `request` and returns the whole answer frame, in a
// buffer as large as the link's receive buffer; nullopt when the buffer
// could not be had or the exchange failed.
std::optional<std::string> AskServer(std::string_view request);

// On an open link: empties the received message, sends "918 " and the client
// code, keeps the answer (lines joined by "@@" become lines) and sets the
// flag the main dialog watches for it.
void RequestMessages();

}  // namespace velmora::postman
