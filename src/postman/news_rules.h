#pragma once
// The rules of the news cache (velmora.cfg) and of the "918" message
// request that need no Windows call.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::postman {

inline constexpr std::size_t kNewsCacheTextBytes = 5000;
inline constexpr std::size_t kNewsCacheBytes = 8 + kNewsCacheTextBytes;

// Whether the news must be fetched again: the cache is used while it is
// younger than two hours (or stamped in the future, the clock having been
// set back) and holds the "<EURO>", "<USD>" and "<TEXT>" tags. Times are
// FILETIME values of local time.
bool NewsCacheIsStale(int64_t now, int64_t stamp, std::string_view cacheText);

// The cache text made from an answer: its first 5000 bytes, blank-padded.
std::string NewsCacheText(std::string_view answer);

// The file image: the stamp as 8 bytes little-endian, then the text with
// every zero byte made a blank.
std::string NewsCacheImage(int64_t stamp, std::string_view cacheText);
int64_t NewsCacheStamp(std::string_view image);

// "918 " and the client code, left-adjusted in 20 characters.
std::string MessageRequest(int32_t clientCode);

// The message text from the server's answer: its first 1000 characters
// without trailing blanks, every "@@" made a line break (CR LF).
std::string MessageFromAnswer(std::string_view answer);

}  // namespace velmora::postman
