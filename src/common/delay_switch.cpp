#include "common/delay_switch.h"

#include <cstdlib>
#include <string_view>

namespace velmora {

uint32_t DelayMs(const char* variable, uint32_t ownMs) {
  const char* value = std::getenv(variable);
  if (value == nullptr || *value == '\0') return ownMs;
  uint64_t ms = 0;
  for (const char c : std::string_view(value)) {
    if (c < '0' || c > '9') return ownMs;
    ms = ms * 10 + static_cast<uint64_t>(c - '0');
    if (ms > ownMs) return ownMs;
  }
  return static_cast<uint32_t>(ms);
}

}  // namespace velmora
