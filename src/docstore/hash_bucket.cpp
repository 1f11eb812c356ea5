#include "docstore/hash_bucket.h"

#include <cstdio>
#include <cstdlib>

#include "common/fixed_text.h"

namespace velmora::docstore {
namespace {

// Little-endian integers of the key; bytes past its end read as zero.
uint8_t ByteAt(std::span<const char> key, std::size_t i) {
  return i < key.size() ? static_cast<uint8_t>(key[i]) : 0;
}
uint32_t Int16At(std::span<const char> key, std::size_t i) {
  const auto raw = static_cast<uint16_t>(ByteAt(key, i) | (ByteAt(key, i + 1) << 8));
  return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(raw)));  // sign-extended
}
uint32_t Int32At(std::span<const char> key, std::size_t i) {
  return static_cast<uint32_t>(ByteAt(key, i)) | static_cast<uint32_t>(ByteAt(key, i + 1)) << 8 |
         static_cast<uint32_t>(ByteAt(key, i + 2)) << 16 |
         static_cast<uint32_t>(ByteAt(key, i + 3)) << 24;
}

uint32_t Magnitude(uint32_t value) { return static_cast<int32_t>(value) < 0 ? 0u - value : value; }

uint32_t ByteStringHash(std::span<const char> key) {
  uint32_t acc = 0;
  std::size_t at = 0;
  std::size_t left = key.size();
  for (; left >= 24; left -= 24, at += 24) {
    uint32_t sum = 0;
    for (std::size_t i = 0; i < 24; i += 4) sum += Int32At(key, at + i);
    acc = sum * kHashMultiplier + acc + 74070u;
  }
  for (; left >= 4; left -= 4, at += 4) acc = Int32At(key, at) * kHashMultiplier + acc + 12345u;
  if (left > 0) acc = Int16At(key, at) * kHashMultiplier + acc + 12345u;
  return acc;
}

}  // namespace

std::string UnknownHashKindLine(int kind) {
  return " EROARE: Functie de dispersie necunoscuta: " + RightAligned(kind, 3);
}

uint32_t MagnitudeModulo(int32_t value, int32_t bucketCount) {
  return Magnitude(static_cast<uint32_t>(value)) % static_cast<uint32_t>(bucketCount);
}

int32_t HashBucket(int kind, std::span<const char> key, int32_t bucketCount) {
  uint32_t value = 0;
  switch (kind) {
    case 1: value = Int32At(key, 0); break;
    case 2: value = Int32At(key, 0) + Int16At(key, 4); break;
    case 3:
      for (std::size_t i = 0; i < 12; i += 2) value += Int16At(key, i);
      break;
    case 4:
      value = (Int32At(key, 0) + Int32At(key, 4) + Int32At(key, 8)) * kHashMultiplier + 37035u;
      break;
    case 5: value = ByteStringHash(key); break;
    case 6: {
      const uint32_t h = (Int32At(key, 0) + Int32At(key, 4) + Int32At(key, 8) + Int16At(key, 12)) *
                             kHashMultiplier +
                         49380u;
      value = (Magnitude(h) & 0x3FFFFFFFu) + Magnitude(Int16At(key, 14));
      break;
    }
    case 100: value = Magnitude(Int32At(key, 0)) / 10u; break;
    default:
      std::printf("%s\n", UnknownHashKindLine(kind).c_str());
      std::fflush(stdout);
      std::exit(1);
  }
  if (bucketCount <= 0) return 0;
  return static_cast<int32_t>(Magnitude(value) % static_cast<uint32_t>(bucketCount)) + 1;
}

int32_t IndexHashValue(std::span<const char> key) {
  uint32_t value = static_cast<uint32_t>(ByteAt(key, 0) | ByteAt(key, 1) << 8) << 16 |
                   static_cast<uint32_t>(ByteAt(key, 2) | ByteAt(key, 3) << 8);
  if (key.size() == 6) value += Int16At(key, 4);
  return static_cast<int32_t>(value);
}

}  // namespace velmora::docstore
