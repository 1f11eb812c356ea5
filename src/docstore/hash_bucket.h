#pragma once
// The bucket functions of the keyed files. All arithmetic is 32-bit two's
// complement with wrap-around, as the documents module computes it, so a key
// lands in the same bucket here as where the module stored it.

#include <cstdint>
#include <span>
#include <string>

namespace velmora::docstore {

inline constexpr uint32_t kHashMultiplier = 1103515245u;

// Bucket of `key` under hash `kind` (1 to 6 or 100): 1 to bucketCount.
// Bytes a kind reads beyond the end of the key count as zero. A bucket count
// of 0 or less has no bucket: the result is 0. Any other kind writes
//   " EROARE: Functie de dispersie necunoscuta: " + kind in 3 columns
// to standard output and ends the program.
int32_t HashBucket(int kind, std::span<const char> key, int32_t bucketCount);

// The line written for an unknown kind (without its line end).
std::string UnknownHashKindLine(int kind);

// The value the index layout hashes: the key's first word as the upper and
// its second word as the lower 16 bits, plus the third word (signed) when
// the key is 6 bytes long.
int32_t IndexHashValue(std::span<const char> key);

// |value| mod bucketCount, with the magnitude taken as an unsigned 32-bit
// number so that INT32_MIN does not stay negative.
uint32_t MagnitudeModulo(int32_t value, int32_t bucketCount);

}  // namespace velmora::docstore
