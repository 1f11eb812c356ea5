#pragma once
// The two ways the link appends error codes to its log lines.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::link {

// An error code right-aligned in 10 characters, in a 12-character field.
std::string ErrorCodeField(long long code);
// An error code left-adjusted in a 12-character field ("Eroare socket(1) - ").
std::string LeftErrorCodeField(long long code);

}  // namespace velmora::link
