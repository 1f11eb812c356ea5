#include "showreel/showreel_rules.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace velmora::standins {

Box FitKeepingAspect(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0) return {};
  // Compare the aspects in 64 bits: which side limits the scale.
  const int64_t byWidth = static_cast<int64_t>(areaWidth) * pictureHeight;
  const int64_t byHeight = static_cast<int64_t>(areaHeight) * pictureWidth;
  Box box;
  if (byWidth <= byHeight) {
    box.width = areaWidth;
    box.height = static_cast<int>((byWidth + pictureWidth / 2) / pictureWidth);
  } else {
    box.height = areaHeight;
    box.width = static_cast<int>((byHeight + pictureHeight / 2) / pictureHeight);
  }
  box.width = std::clamp(box.width, 1, areaWidth);
  box.height = std::clamp(box.height, 1, areaHeight);
  box.x = (areaWidth - box.width) / 2;
  box.y = (areaHeight - box.height) / 2;
  return box;
}

ArrowBoxes PageArrowBoxes(int areaWidth, int areaHeight) {
  ArrowBoxes arrows;
  // Rows strictly inside the band: kArrowBandTop + 1 .. areaHeight - 2.
  const int bandTop = kArrowBandTop + 1;
  const int bandHeight = areaHeight - 1 - bandTop;
  if (bandHeight < 3 || areaWidth < 2 * 30 + 1) return arrows;
  const int size = std::min(19, bandHeight);  // columns 11..29 are strictly inside 10..30
  const int top = bandTop + (bandHeight - size) / 2;
  arrows.visible = true;
  arrows.left = {11, top, 19, size};
  arrows.right = {areaWidth - 29, top, 19, size};
  return arrows;
}

std::string ServerFromAddressList(std::string_view listText) {
  std::string_view line = listText.substr(0, listText.find_first_of("\r\n"));
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return kDefaultServer;
  line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
  return std::string(line);
}

uint16_t ServerPort(const char* environmentValue) {
  if (environmentValue == nullptr || *environmentValue == '\0') return kDefaultPort;
  char* end = nullptr;
  const long port = std::strtol(environmentValue, &end, 10);
  if (*end != '\0' || port < 1 || port > 65535) return kDefaultPort;
  return static_cast<uint16_t>(port);
}

std::string ArgumentText(const char* text, int32_t length) {
  if (text == nullptr || length <= 0) return {};
  const std::string_view view(text, strnlen(text, static_cast<std::size_t>(length)));
  const auto last = view.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view()
                                                    : view.substr(0, last + 1));
}

std::string FileRequestFrame(std::string_view remotePath) {
  const uint32_t total = static_cast<uint32_t>(4 + 4 + remotePath.size());
  std::string frame;
  for (int shift = 0; shift < 32; shift += 8) frame += static_cast<char>((total >> shift) & 0xFF);
  frame += "903 ";
  frame += remotePath;
  return frame;
}

std::optional<uint32_t> AnswerPayloadLength(std::string_view firstFourBytes) {
  if (firstFourBytes.size() < 4) return std::nullopt;
  int64_t total = 0;
  for (int i = 3; i >= 0; --i) total = total * 256 + static_cast<uint8_t>(firstFourBytes[i]);
  if (total >= 0x80000000LL) total -= 0x100000000LL;  // signed 32-bit on the wire
  if (total < 4 || total - 4 > kMaxAnswerPayload) return std::nullopt;
  return static_cast<uint32_t>(total - 4);
}

}  // namespace velmora::standins
