#pragma once
// Small servers on 127.0.0.0/8 for the link's tests: a scripted peer that
// speaks frames (written here by hand, not with the link's own codec), and a
// listener whose backlog is full, so that a connect to it never completes.

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace velmora::link::testing {

// A frame as the server writes it: 32-bit little-endian total length, payload.
std::string Frame(std::string_view payload);

class PeerConnection {
 public:
  PeerConnection(SOCKET s, int index, const std::atomic<bool>& stop)
      : socket_(s), index_(index), stop_(stop) {}
  // The payload of the next request frame; nullopt when the client closed.
  std::optional<std::string> ReadFrame();
  bool Send(std::string_view bytes);
  bool Answer(std::string_view payload) { return Send(Frame(payload)); }
  // Waits until the client closes the connection (or the peer stops).
  void WaitForClose();
  int index() const { return index_; }

 private:
  bool ReadExactly(char* out, std::size_t n);
  SOCKET socket_;
  int index_;
  const std::atomic<bool>& stop_;
};

class LoopbackPeer {
 public:
  using Handler = std::function<void(PeerConnection&)>;
  explicit LoopbackPeer(Handler handler, const char* address = "127.0.0.1", uint16_t port = 0);
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  uint16_t port() const { return port_; }
  int connections() const { return connections_; }
  // Every request payload read through PeerConnection::ReadFrame, in order.
  std::vector<std::string> requests() const;
  void Record(const std::string& payload);
  // The peer whose handler runs on this thread.
  static thread_local LoopbackPeer* current_;

 private:
  void Run();
  Handler handler_;
  SOCKET listener_ = INVALID_SOCKET;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex lock_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Answers the qualification with "OK" and records it.
bool AcceptQualification(PeerConnection& c);
// Qualification, then silence until the client closes.
LoopbackPeer::Handler QualifyThenStaySilent();
// Qualification, then the same answer to every request until the client closes.
LoopbackPeer::Handler AnswerEverything(std::string answer);

// A listener on address:port whose queue is full: connects to it hang.
class Blackhole {
 public:
  Blackhole(const char* address, uint16_t port);
  ~Blackhole();
  Blackhole(const Blackhole&) = delete;
  Blackhole& operator=(const Blackhole&) = delete;
  bool ok() const { return ok_; }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  std::vector<SOCKET> fillers_;
  bool ok_ = false;
};

// A free TCP port on 127.0.0.1.
uint16_t FreePort();

}  // namespace velmora::link::testing
