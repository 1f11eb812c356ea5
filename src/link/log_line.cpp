#include "link/log_line.h"

#include <cstdio>

#include "common/fixed_text.h"

namespace velmora::link {

std::string FormatLinkLogLine(int hour, int minute, int second, int hundredths, std::string_view text) {
  char time[50];
  std::snprintf(time, sizeof time, " %2d:%02d:%02d:%02d", hour, minute, second, hundredths);
  std::string line(TrimTrailingBlanks(time));
  line += " - ";
  line += text;
  return line;
}

std::string ErrorCodeField(long long code) { return PadToWidth(RightAligned(code, 10), 12); }

std::string LeftErrorCodeField(long long code) { return PadToWidth(std::to_string(code), 12); }

}  // namespace velmora::link
