#pragma once
// The merge of the day's USD and EURO rates into the image of CURSVAL.DAT,
// and the checks the news texts must pass first. Portable: the Windows side
// reads the old file, hands its bytes here and writes the result.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::rates {

// The rates to merge: the date as YYYYMMDD, each rate x 10000 truncated.
struct NewsRates {
  int32_t date = 0;
  int32_t euroValue = 0;
  int32_t usdValue = 0;
};

// The rates from the news texts (date, EURO, USD), or nothing when a rate
// does not read as a number above 0.001 or the date is not a valid date
// after 1990 and before 2100. A rate too large for the file is refused too.
std::optional<NewsRates> RatesFromNews(std::string_view dateText, std::string_view euroText,
                                       std::string_view usdText);

// The new file: the header and the per-currency block copied, then the rate
// records of other currencies in their order, then the USD and the EURO
// records with the new one inserted by date (replacing one of the same
// date); a rate later than all of its currency also updates the block. The
// header gets the new count and zeros at offsets 6 and 8.
// Nothing when the old image is too short for its header's count.
std::optional<std::string> MergeCursValImage(std::string_view oldImage, const NewsRates& rates);

}  // namespace velmora::rates
