#pragma once
// The wire format: every frame is a 32-bit little-endian total length
// (counting its own 4 bytes) followed by the payload. Requests begin with a
// three-digit code and a blank; answers carry the markers "OK" and "**1".

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora::link {

// Writes the frame of `payload` at the start of `out` (which must hold
// payload.size() + 4 bytes); returns the frame length.
std::size_t EncodeFrame(std::span<const char> payload, std::span<char> out);
std::string EncodeFrame(std::string_view payload);

// The total length announced by a frame's first 4 bytes.
std::int32_t FrameLength(std::span<const char> frame);

// Payload bytes 1-2 are "OK": the qualification is accepted.
bool IsQualificationAccepted(std::span<const char> frame);
// Payload bytes 1-3 are "**1": the answer is marked.
bool IsAnswerMarked(std::span<const char> frame);

// The 10-character client code text: the code in decimal, left-adjusted.
std::string ClientCodeText(std::int32_t code);
inline constexpr std::string_view kUnknownClientCodeText = "1234567890";

// The qualification line, 512 characters blank padded: "000 ", the client
// code text, a blank, the program name, ".exe (", the client information, ")".
inline constexpr std::size_t kRequestTextWidth = 512;
std::string QualificationText(std::string_view clientCodeText, std::string_view programName,
                              std::string_view clientInformation);

// Request code of a download type: 301, 302 (also 3021), 303, else 903.
std::string_view DownloadRequestCode(int type);
// The 512-character download request: the code and the trimmed name (cut at 508).
std::string DownloadRequestText(std::string_view name, int type);

// "901 " and the 10-character client code text, put before an uploaded file.
inline constexpr std::size_t kUploadHeaderBytes = 14;
std::string UploadHeader(std::string_view clientCodeText);

}  // namespace velmora::link
