// libFuzzer target: the first bytes as the news's date and rate texts, the
// rest as an old CURSVAL.DAT. The sanitizers catch bad accesses; the checks
// below catch wrong results.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/fixed_text.h"
#include "rates/cursval_merge.h"
#include "rates/cursval_records.h"
#include "rates/date_text.h"
#include "rates/free_number.h"

namespace {

using namespace velmora::rates;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckDate(std::string_view text) {
  int32_t date = -1;
  if (!ParseDateText(text, date)) {
    Check(date == -1);
    return;
  }
  if (date == 0) return;
  const int day = date % 100, month = date / 100 % 100, year = date / 10000;
  Check(day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 1901 && year <= 2099);
}

int32_t CountOf(std::string_view image) {
  return velmora::ReadInt32(std::span<const char>(image.data(), image.size()), 0);
}

void CheckMerge(std::string_view old, const NewsRates& rates) {
  const auto merged = MergeCursValImage(old, rates);
  if (!merged) return;
  const std::string& image = *merged;
  Check(image.size() % kCursValRecordBytes == 0);
  Check(CountOf(image) ==
        static_cast<int32_t>(image.size() / kCursValRecordBytes) - kLastBlockRecord);
  Check(image.compare(4, 2, old.substr(4, 2)) == 0);  // the permission is kept
  // Exactly one record of each currency carries the new date and rate.
  int usd = 0, euro = 0;
  for (std::size_t at = kLastBlockRecord * kCursValRecordBytes; at < image.size();
       at += kCursValRecordBytes) {
    const CursValRate r = DecodeRate(RecordBytes(image.data() + at, kCursValRecordBytes));
    usd += r == CursValRate{kUsdCode, rates.date, rates.usdValue};
    euro += r == CursValRate{kEuroCode, rates.date, rates.euroValue};
    Check(r.code != kUsdCode || r.date != rates.date || r.value == rates.usdValue);
    Check(r.code != kEuroCode || r.date != rates.date || r.value == rates.euroValue);
  }
  Check(usd == 1 && euro == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.size() < 34) return 0;
  const std::string_view dateText = bytes.substr(0, 10), euroText = bytes.substr(10, 12),
                         usdText = bytes.substr(22, 12), old = bytes.substr(34);
  CheckDate(dateText);
  double value = 0;
  ReadFreeNumber(euroText, value);
  const auto rates = RatesFromNews(dateText, euroText, usdText);
  CheckMerge(old, rates.value_or(NewsRates{20240305, 49512, 39000}));
  return 0;
}
