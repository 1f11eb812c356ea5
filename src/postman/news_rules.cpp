#include "postman/news_rules.h"

#include <algorithm>

#include "common/fixed_text.h"

namespace velmora::postman {
namespace {

constexpr int64_t kFileTimeUnitsPerMs = 10'000;
constexpr int64_t kCacheLifeMs = 2 * 60 * 60 * 1000;
constexpr std::size_t kMessageLength = 1000;

}  // namespace

bool NewsCacheIsStale(int64_t now, int64_t stamp, std::string_view cacheText) {
  // A stamp in the future counts as young; garbage stamps must not overflow.
  const bool young = stamp > now || (static_cast<uint64_t>(now) - static_cast<uint64_t>(stamp)) /
                                            kFileTimeUnitsPerMs <
                                        static_cast<uint64_t>(kCacheLifeMs);
  const bool complete = cacheText.find("<EURO>") != std::string_view::npos &&
                        cacheText.find("<USD>") != std::string_view::npos &&
                        cacheText.find("<TEXT>") != std::string_view::npos;
  return !(young && complete);
}

std::string NewsCacheText(std::string_view answer) {
  return PadToWidth(answer, kNewsCacheTextBytes);
}

std::string NewsCacheImage(int64_t stamp, std::string_view cacheText) {
  std::string image(8, '\0');
  WriteInt32(image, 0, static_cast<int32_t>(stamp & 0xFFFFFFFF));
  WriteInt32(image, 4, static_cast<int32_t>(stamp >> 32));
  std::string text = PadToWidth(cacheText, kNewsCacheTextBytes);
  std::replace(text.begin(), text.end(), '\0', ' ');
  return image + text;
}

int64_t NewsCacheStamp(std::string_view image) {
  if (image.size() < 8) return 0;
  const std::span<const char> bytes(image.data(), 8);
  const auto low = static_cast<uint32_t>(ReadInt32(bytes, 0));
  const auto high = static_cast<uint32_t>(ReadInt32(bytes, 4));
  return static_cast<int64_t>((static_cast<uint64_t>(high) << 32) | low);
}

std::string MessageRequest(int32_t clientCode) {
  return PadToWidth("918 " + std::to_string(clientCode), 20);
}

std::string MessageFromAnswer(std::string_view answer) {
  std::string text(TrimTrailingBlanks(answer.substr(0, std::min(answer.size(), kMessageLength))));
  for (std::size_t at = text.find("@@"); at != std::string::npos; at = text.find("@@", at))
    text.replace(at, 2, "\r\n");
  return text;
}

}  // namespace velmora::postman
