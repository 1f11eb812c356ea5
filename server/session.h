#pragma once
// One client connection: reads frames, answers them one at a time in order,
// applies the planned faults, logs each request once it is done with.

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include <asio.hpp>

#include "server/fault_plan.h"
#include "server/frame_codec.h"
#include "server/request_handler.h"
#include "server/request_log.h"

namespace velmora::server {

// What all sessions of one server share. Only the server's thread touches it.
struct ServerContext {
  ServerContext(const std::filesystem::path& root, const std::filesystem::path& data,
                const FaultSwitches& switches)
      : handler(root, data), faults(switches) {}

  RequestHandler handler;
  FaultPlan faults;
  RequestLog log;
};

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(asio::ip::tcp::socket socket, ServerContext& context);
  void Start();

 private:
  void ReadMore();
  void OnRead(const std::error_code& error, std::size_t bytes);
  void ProcessNext();
  void Write();
  void OnWritten(const std::error_code& error, std::size_t bytes);
  void LogExchange(const std::string& extra);
  void Close();

  asio::ip::tcp::socket socket_;
  asio::steady_timer delay_timer_;
  ServerContext& context_;
  FrameDecoder decoder_;
  SessionState state_;
  std::string peer_;
  std::array<char, 64 * 1024> read_buffer_{};
  bool reading_ = false;
  bool closed_ = false;
  bool silent_ = false;     // a never-answered request: nothing more goes out
  bool writing_ = false;    // an answer is being written
  bool peer_gone_ = false;  // the client closed its side while an answer was owed

  // The exchange in progress.
  bool busy_ = false;
  std::chrono::system_clock::time_point received_at_;
  std::size_t request_bytes_ = 0;
  Answer answer_;
  WirePlan plan_;
  std::size_t sent_ = 0;
};

}  // namespace velmora::server
