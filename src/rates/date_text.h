#pragma once
// The date of the news, as a person writes it: day, month and year with any
// non-digit between them ("5.3.24", "05/03/2024").

#include <cstdint>
#include <string_view>

namespace velmora::rates {

// `text` is the whole field (its declared length). True for a blank text
// (date 0) or a valid date (YYYYMMDD); on failure `date` is left alone.
// Two-digit years are 20xx; four-digit years 1901 to 2099.
bool ParseDateText(std::string_view text, int32_t& date);

}  // namespace velmora::rates
