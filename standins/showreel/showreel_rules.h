#pragma once
// The portable rules of the slide library stand-in: where a picture goes in
// its control, where the page arrows go, which server a download asks, and
// the frames of that exchange.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/transfer_size.h"

namespace velmora::standins {

struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

// The largest box with the picture's aspect that fits the area, centred.
// Empty (all zero) when either size is not positive.
Box FitKeepingAspect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

// The page arrows live in the band of the slide area more than 320 pixels
// below its top: the left one strictly between 10 and 30 pixels from the
// left edge, the right one strictly between 30 and 10 from the right edge.
inline constexpr int kArrowBandTop = 320;
struct ArrowBoxes {
  bool visible = false;  // false when the area has no band or is too narrow
  Box left, right;
};
ArrowBoxes PageArrowBoxes(int areaWidth, int areaHeight);

// The vendor's server: the first line of hostlane.lst beside the library
// (blanks trimmed), else 127.0.0.1; the port from VELMORA_SERVER_PORT, else 5150.
inline constexpr char kDefaultServer[] = "127.0.0.1";
inline constexpr uint16_t kDefaultPort = 5150;
std::string ServerFromAddressList(std::string_view listText);
uint16_t ServerPort(const char* environmentValue);

// A text argument given as address and length: up to the length or the
// first NUL, without trailing blanks.
std::string ArgumentText(const char* text, int32_t length);

// Request frame for a file: 32-bit little-endian total length (counting its
// own 4 bytes), then "903 " and the remote path.
std::string FileRequestFrame(std::string_view remotePath);

// Largest answer accepted, as large as the launcher's own transfer buffer.
inline constexpr auto kMaxAnswerPayload = static_cast<uint32_t>(kTransferBufferSize);
// Payload length announced by an answer's first 4 bytes; nullopt when the
// length is below 4 or the payload would exceed kMaxAnswerPayload.
std::optional<uint32_t> AnswerPayloadLength(std::string_view firstFourBytes);

}  // namespace velmora::standins
