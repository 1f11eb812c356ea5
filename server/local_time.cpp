#include "server/local_time.h"

#include <cstdio>
#include <ctime>
#include <mutex>

namespace velmora::server {

LocalTime ToLocalTime(std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(when.time_since_epoch()).count();
  std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  int millisecond = static_cast<int>(ms % 1000);
  if (millisecond < 0) {
    millisecond += 1000;
    --seconds;
  }
  // std::localtime shares one buffer; the lock keeps concurrent callers apart.
  static std::mutex lock;
  std::tm tm{};
  {
    std::lock_guard<std::mutex> guard(lock);
    if (const std::tm* p = std::localtime(&seconds)) tm = *p;
  }
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
          tm.tm_min,         tm.tm_sec,     millisecond};
}

std::string FormatLogTime(const LocalTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  return text;
}

std::string FormatFileStamp(const LocalTime& t) {
  char text[24];
  std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace velmora::server
