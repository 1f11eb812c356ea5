#pragma once
// Splits a date number YYYYMMDD into day, month and year. Two-digit years
// (99 or less) are placed in a century: above 50 in the 1900s, else in the
// 2000s.

#include <cstdint>

namespace velmora::docstore {

void SplitDateNumber(int32_t value, int16_t& day, int16_t& month, int16_t& year);

}  // namespace velmora::docstore
