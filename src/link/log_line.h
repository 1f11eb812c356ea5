#pragma once
// The link's log lines: " hh:mm:ss:cc - text", hours blank-padded to two
// columns, the rest two digits each; and the two ways error codes are
// appended to a line.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::link {

std::string FormatLinkLogLine(int hour, int minute, int second, int hundredths, std::string_view text);

// An error code right-aligned in 10 characters, in a 12-character field.
std::string ErrorCodeField(long long code);
// An error code left-adjusted in a 12-character field ("Eroare socket(1) - ").
std::string LeftErrorCodeField(long long code);

}  // namespace velmora::link
