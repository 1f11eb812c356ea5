#pragma once
// One line of the application log, without its line end: a blank, the hour
// blank-padded to two columns, ":mm:ss:hh" (hundredths), " - ", the message.
// The launcher's own lines and the server link's share it.

#include <string>
#include <string_view>

namespace velmora {

std::string FormatLogLine(int hour, int minute, int second, int hundredths,
                          std::string_view message);

}  // namespace velmora
