#include "postman/pass_rules.h"

#include <utility>

#include "erpdirs/index_sort.h"

namespace velmora::postman {
namespace {

constexpr int32_t kPeriodAfterGoodPassMs = 7000;
constexpr int32_t kPeriodStepMs = 8000;
constexpr int32_t kLongestPeriodMs = 120000;
constexpr int32_t kPeriodAfterLongestMs = 100000;
constexpr uint32_t kDirectoryAttribute = 0x10;

// CompareFileTime's answer for two creation times.
int16_t CompareTimes(uint64_t a, uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

int32_t NextPassPeriod(int32_t period, int16_t passResult) {
  if (passResult == kPassDone) return kPeriodAfterGoodPassMs;
  period += kPeriodStepMs;
  return period > kLongestPeriodMs ? kPeriodAfterLongestMs : period;
}

bool CountMessagePass(int16_t& counter) {
  if (++counter < kPassesPerMessageCheck) return false;
  counter = 0;
  return true;
}

bool IsOutgoingEntry(uint32_t attributes) { return (attributes & kDirectoryAttribute) == 0; }

int32_t SizeVerdict(uint64_t size) {
  return size > static_cast<uint64_t>(kLargestRequestBytes) ? kLoadNotARequest : 0;
}

bool StartsWithRequestCode(std::span<const char> bytes) {
  if (bytes.size() < 4) return false;
  for (std::size_t i = 0; i < 3; ++i)
    if (bytes[i] < '0' || bytes[i] > '9') return false;
  return bytes[3] == ' ';
}

void SortOldestFirst(std::vector<OutgoingFile>& files) {
  const auto item = [&files](int i) -> OutgoingFile& {
    return files[static_cast<std::size_t>(i - 1)];
  };
  erpdirs::SortByIndex(
      static_cast<int>(files.size()),
      [&](int i, int j) -> int16_t {
        const int16_t byTime = CompareTimes(item(i).created, item(j).created);
        if (byTime != 0) return byTime;
        const int byName = item(i).path.compare(item(j).path);
        return static_cast<int16_t>(byName < 0 ? -1 : (byName > 0 ? 1 : 0));
      },
      [&](int i, int j) { std::swap(item(i), item(j)); });
}

std::string_view BaseName(std::string_view path) {
  const auto slash = path.rfind('\\');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace velmora::postman
