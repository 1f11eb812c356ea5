#include "docstore/date_split.h"

namespace velmora::docstore {

void SplitDateNumber(int32_t value, int16_t& day, int16_t& month, int16_t& year) {
  int32_t y = value / 10000;
  const int32_t rest = value - y * 10000;
  const int32_t m = rest / 100;
  const int32_t d = rest - m * 100;
  if (y <= 99) y += y > 50 ? 1900 : 2000;
  day = static_cast<int16_t>(d);
  month = static_cast<int16_t>(m);
  year = static_cast<int16_t>(y);
}

}  // namespace velmora::docstore
