#include "link/frame_codec.h"

#include <algorithm>
#include <cstring>

#include "common/fixed_text.h"
#include "link/link_constants.h"

namespace velmora::link {

std::size_t EncodeFrame(std::span<const char> payload, std::span<char> out) {
  const std::size_t total = payload.size() + kFrameHeaderBytes;
  WriteInt32(out, 0, static_cast<std::int32_t>(total));
  if (!payload.empty()) std::memcpy(out.data() + kFrameHeaderBytes, payload.data(), payload.size());
  return total;
}

std::string EncodeFrame(std::string_view payload) {
  std::string frame(payload.size() + kFrameHeaderBytes, '\0');
  EncodeFrame(std::span<const char>(payload.data(), payload.size()),
              std::span<char>(frame.data(), frame.size()));
  return frame;
}

std::int32_t FrameLength(std::span<const char> frame) { return ReadInt32(frame, 0); }

bool IsQualificationAccepted(std::span<const char> frame) {
  return frame.size() >= 6 && frame[4] == 'O' && frame[5] == 'K';
}

bool IsAnswerMarked(std::span<const char> frame) {
  return frame.size() >= 7 && frame[4] == '*' && frame[5] == '*' && frame[6] == '1';
}

std::string ClientCodeText(std::int32_t code) { return PadToWidth(std::to_string(code), 10); }

std::string QualificationText(std::string_view clientCodeText, std::string_view programName,
                              std::string_view clientInformation) {
  std::string text = "000 ";
  text += PadToWidth(clientCodeText, 10);
  text += ' ';
  text += TrimTrailingBlanks(programName);
  text += ".exe (";
  text += TrimTrailingBlanks(clientInformation);
  text += ')';
  return PadToWidth(text, kRequestTextWidth);
}

std::string_view DownloadRequestCode(int type) {
  switch (type) {
    case 301: return "301 ";
    case 302:
    case 3021: return "302 ";
    case 303: return "303 ";
    default: return "903 ";
  }
}

std::string DownloadRequestText(std::string_view name, int type) {
  const std::string_view trimmed = TrimTrailingBlanks(name);
  std::string text(DownloadRequestCode(type));
  text += trimmed.substr(0, std::min<std::size_t>(trimmed.size(), kRequestTextWidth - 4));
  return PadToWidth(text, kRequestTextWidth);
}

std::string UploadHeader(std::string_view clientCodeText) {
  return "901 " + PadToWidth(clientCodeText, 10);
}

}  // namespace velmora::link
