// The documents module's exchange-rate file CURSVAL.DAT of the sample suite:
// updates allowed, a per-currency block and a few days of USD, EURO, GBP and
// CHF rates, all older than the sample news, so that a start merges the
// news's rates after them and refreshes the block.

#include <array>
#include <vector>

#include "rates/cursval_records.h"
#include "sample_suite/sample_suite.h"

namespace velmora::standins {

std::string SampleCursValFile() {
  using rates::CursValRate;
  constexpr int16_t kGbp = 3, kChf = 4;
  const std::vector<CursValRate> block = {{rates::kUsdCode, 20261204, 42510},
                                          {rates::kEuroCode, 20261204, 49712},
                                          {kGbp, 20261204, 57020},
                                          {kChf, 20261204, 53110}};
  const std::vector<CursValRate> history = {{kGbp, 20261203, 56980},
                                            {kGbp, 20261204, 57020},
                                            {rates::kUsdCode, 20261203, 42470},
                                            {rates::kEuroCode, 20261203, 49705},
                                            {rates::kUsdCode, 20261204, 42510},
                                            {rates::kEuroCode, 20261204, 49712},
                                            {kChf, 20261204, 53110}};
  std::string file((rates::kLastBlockRecord + history.size()) * rates::kCursValRecordBytes, '\0');
  auto record = [&](std::size_t number) {
    return rates::MutableRecordBytes(file.data() + (number - 1) * rates::kCursValRecordBytes,
                                     rates::kCursValRecordBytes);
  };
  rates::EncodeHeader({static_cast<int32_t>(history.size()), 1, 0, 0}, record(1));
  for (std::size_t i = 0; i < block.size(); ++i)
    rates::EncodeRate(block[i], record(rates::kFirstBlockRecord + i));
  for (std::size_t i = 0; i < history.size(); ++i)
    rates::EncodeRate(history[i], record(rates::kFirstRateRecord + i));
  return file;
}

}  // namespace velmora::standins
