#pragma once
// A number read the way a free-format read takes it from a text: leading
// blanks skipped, the number ends at a blank, a comma or a slash, so
// "4,9512" reads as 4.

#include <string_view>

namespace velmora::rates {

// False when the text holds no number or the number is malformed; `value`
// is then left alone.
bool ReadFreeNumber(std::string_view text, double& value);

}  // namespace velmora::rates
