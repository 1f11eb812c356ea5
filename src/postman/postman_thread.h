#pragma once
// The postman thread: a hidden dialog whose timer runs a sync pass every 7 to
// 120 seconds for the rest of the run.

namespace velmora::postman {

// Starts the postman thread; called by the news thread when it ends.
void StartPostmanThread();

}  // namespace velmora::postman
