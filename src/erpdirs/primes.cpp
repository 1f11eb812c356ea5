#include "erpdirs/primes.h"

#include <array>
#include <limits>

namespace velmora::erpdirs {
namespace {

// The first 160 primes, 2 to 941.
constexpr std::array<int32_t, 160> MakePrimeTable() {
  std::array<int32_t, 160> table{};
  std::size_t count = 0;
  for (int32_t candidate = 2; count < table.size(); ++candidate) {
    bool prime = true;
    for (std::size_t k = 0; k < count && table[k] * table[k] <= candidate; ++k)
      if (candidate % table[k] == 0) prime = false;
    if (prime) table[count++] = candidate;
  }
  return table;
}
constexpr auto kPrimes = MakePrimeTable();
static_assert(kPrimes.back() == 941);

// Trial division as the keyed files have always been built: i passes as soon
// as the quotient of a division falls below the next prime, or when the table
// runs out; it fails as soon as one prime divides it.
bool PassesTrialDivision(int32_t i) {
  for (std::size_t k = 0; k < kPrimes.size(); ++k) {
    if (i % kPrimes[k] == 0) return false;
    if (k + 1 < kPrimes.size() && i / kPrimes[k] < kPrimes[k + 1]) return true;
  }
  return true;
}

}  // namespace

int32_t LargestPrimeNotAbove(int32_t n) {
  int32_t i = n;
  // Primes pass and negative numbers pass at the first division, so the walk
  // down is short; the guard only keeps the decrement from wrapping.
  while (!PassesTrialDivision(i) && i > std::numeric_limits<int32_t>::min()) --i;
  return i;
}

}  // namespace velmora::erpdirs
