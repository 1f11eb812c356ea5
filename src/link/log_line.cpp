#include "link/log_line.h"

#include "common/fixed_text.h"

namespace velmora::link {

std::string ErrorCodeField(long long code) { return PadToWidth(RightAligned(code, 10), 12); }

std::string LeftErrorCodeField(long long code) { return PadToWidth(std::to_string(code), 12); }

}  // namespace velmora::link
