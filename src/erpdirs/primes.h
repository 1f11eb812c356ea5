#pragma once
// The bucket count of a new keyed file: the largest number not above the
// block count that passes a trial division by the first 160 primes.

#include <cstdint>

namespace velmora::erpdirs {

// Exact for n below 941 squared; above that, a number without a factor among
// the first 160 primes passes. 2 itself divides by the first entry, so
// LargestPrimeNotAbove(2) is 1.
int32_t LargestPrimeNotAbove(int32_t n);

}  // namespace velmora::erpdirs
