#pragma once
// Wall-clock time of day in the machine's time zone, for log lines and file names.

#include <chrono>
#include <string>

namespace velmora::server {

struct LocalTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

LocalTime ToLocalTime(std::chrono::system_clock::time_point when);

// "2026-12-07 10:15:30.123"
std::string FormatLogTime(const LocalTime& t);

// "20261207-101530"
std::string FormatFileStamp(const LocalTime& t);

}  // namespace velmora::server
