#pragma once
// The reference vendor server's network side: one thread, one Asio
// io_context, a listening socket and one session per connection. Everything
// about what to answer lives in RequestHandler and FaultPlan; this only moves
// bytes and keeps time.

#include <cstdint>
#include <memory>
#include <string>

#include "server/options.h"

namespace velmora::server {

class Server {
 public:
  explicit Server(Options options);
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;
  ~Server();

  // Checks the folders, opens the log, binds and listens. Returns an error
  // text; empty when the server is ready to Run.
  std::string Start();

  // "127.0.0.1:5150", with the port actually bound.
  std::string address() const;
  std::uint16_t port() const;

  // Also stop on SIGINT and SIGTERM (Ctrl+C in a Windows console).
  void StopOnSignals();

  // Serves on the calling thread until Stop, a signal, the stop file or the
  // time limit.
  void Run();

  // Safe from any thread.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora::server
