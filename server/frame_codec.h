#pragma once
// Frames on the wire, both directions: a 32-bit little-endian total length
// (counting its own 4 bytes), then the payload.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/transfer_size.h"

namespace velmora::server {

inline constexpr std::size_t kFrameHeaderSize = 4;

// Largest request frame taken in. The client's own send buffer holds
// kTransferBufferSize bytes; anything far beyond that is garbage, not a request.
inline constexpr std::size_t kMaxRequestFrame = 16u * 1024u * 1024u;

// Largest answer frame the client can take in: its receive buffer. A bigger
// answer would stall the client until its watchdog gives up, so the server
// never sends one.
inline constexpr std::size_t kMaxAnswerFrame = kTransferBufferSize;
inline constexpr std::size_t kMaxAnswerPayload = kMaxAnswerFrame - kFrameHeaderSize;

// The frame carrying `payload`, announcing its true length.
std::string EncodeFrame(std::string_view payload);

// The frame carrying `payload` but announcing `announced` as its total length
// (used to misbehave on purpose).
std::string EncodeFrameAnnouncing(std::string_view payload, std::int32_t announced);

// Cuts a byte stream into frames. Bytes are fed as they arrive; complete
// frames are taken out one at a time, in order.
class FrameDecoder {
 public:
  enum class Status {
    kNeedMore,   // no complete frame buffered yet
    kFrame,      // one frame taken out
    kBadLength,  // the length field is below 4 or above the limit; the stream is unusable
  };

  explicit FrameDecoder(std::size_t max_frame = kMaxRequestFrame) : max_frame_(max_frame) {}

  void Feed(std::string_view bytes);

  // Takes the next complete frame's payload out into `payload`.
  Status Next(std::string& payload);

  // Bytes buffered and not yet returned as a frame.
  std::size_t Buffered() const { return buffer_.size() - start_; }

  // The offending length field after kBadLength.
  std::int64_t bad_length() const { return bad_length_; }

 private:
  std::size_t max_frame_;
  std::string buffer_;
  std::size_t start_ = 0;  // first byte not yet handed out
  bool broken_ = false;
  std::int64_t bad_length_ = 0;
};

}  // namespace velmora::server
