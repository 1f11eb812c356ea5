#include "common/log_line.h"

#include <cstdio>

namespace velmora {

std::string FormatLogLine(int hour, int minute, int second, int hundredths,
                          std::string_view message) {
  char time[16];
  std::snprintf(time, sizeof time, " %2d:%02d:%02d:%02d - ", hour, minute, second, hundredths);
  std::string line = time;
  line += message;
  return line;
}

}  // namespace velmora
