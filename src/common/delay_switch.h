#pragma once
// Fixed waits of the program that whole-program tests may shorten. A wait is
// taken from its environment variable only when that holds a whole number of
// milliseconds no larger than the program's own wait; unset, empty or
// anything else, the program's own wait stands. A variable never lengthens a
// wait.

#include <cstdint>

namespace velmora {

// The main dialog's wait before its first update check (7000 ms).
inline constexpr char kUpdateCheckDelayVariable[] = "VELMORA_UPDATE_CHECK_DELAY_MS";
// The postman's wait from its dialog's start to its first pass (7000 ms).
inline constexpr char kFirstPassDelayVariable[] = "VELMORA_FIRST_PASS_DELAY_MS";

// `ownMs`, or the shorter wait that `variable` gives.
uint32_t DelayMs(const char* variable, uint32_t ownMs);

}  // namespace velmora
