#pragma once
// A plain blocking TCP client on loopback that speaks frames the way the
// launcher does, written apart from the server's own code. Every read and
// write is bounded by a time limit.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::testing {

class WireClient {
 public:
  explicit WireClient(std::uint16_t port, int timeout_ms = 10000,
                      const std::string& host = "127.0.0.1");
  WireClient(const WireClient&) = delete;
  WireClient& operator=(const WireClient&) = delete;
  ~WireClient();

  bool connected() const { return fd_ >= 0; }

  // Sends the 4-byte little-endian total length, then the payload.
  bool SendFrame(std::string_view payload);
  bool SendRaw(std::string_view bytes);
  // Closes the sending side only; answers can still be read.
  void ShutdownSending();

  struct Frame {
    std::int32_t announced = 0;  // the length field as sent
    std::string payload;         // announced - 4 bytes
  };
  // One answer frame; nothing on time-out or when the server hangs up first.
  std::optional<Frame> ReadFrame();

  // Sends a request and returns the answer's payload.
  std::optional<std::string> Exchange(std::string_view payload);

  // Exactly `count` bytes, or nothing.
  std::optional<std::string> ReadExactly(std::size_t count);

  enum class Wait { kData, kClosed, kSilent };
  // Waits up to `ms` for something to read: data, the server's close, or nothing.
  Wait WaitForInput(int ms);

  // Reads until the server closes (or `ms` passes); sets closed_by_server().
  std::string ReadToEnd(int ms);
  bool closed_by_server() const { return closed_by_server_; }

 private:
  int fd_ = -1;
  int timeout_ms_;
  bool closed_by_server_ = false;
};

// A connection attempt to 127.0.0.1:port that gives up after `ms`.
enum class ConnectOutcome { kConnected, kRefused, kTimedOut };
ConnectOutcome TryConnect(std::uint16_t port, int ms);

// The qualification line as the launcher builds it: "000 ", the client code
// left-adjusted in 10 characters, a blank, program name, ".exe (", info, ")".
std::string QualificationLine(std::string_view client_code, std::string_view info);

}  // namespace velmora::testing
