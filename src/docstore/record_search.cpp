#include "docstore/record_search.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "docstore/hash_bucket.h"

namespace velmora::docstore {
namespace {

constexpr int kBlockBytes = static_cast<int>(kBlockSize);

// ---- self-describing layout -------------------------------------------------

constexpr uint8_t kDeletedBit = 0x80;
constexpr uint8_t kFirstPartBit = 0x40;
constexpr uint8_t kLastPartBit = 0x20;
constexpr uint8_t kKeyLengthBits = 0x1F;

struct ControlWord {
  uint8_t high;
  int words;  // L: words after the control word
  int KeyLength() const { return high & kKeyLengthBits; }
  bool Deleted() const { return (high & kDeletedBit) != 0; }
};

ControlWord ControlAt(const Block& block, int offset) {
  const uint16_t word = WordAt(block, static_cast<std::size_t>(offset));
  return {static_cast<uint8_t>(word >> 8), word & 0xFF};
}

// The entry at `offset` carries `key`: same key length, and the key bytes
// lie inside both the entry and the block.
bool CarriesKey(const Block& block, int offset, ControlWord control, std::span<const char> key) {
  const int keyLength = static_cast<int>(key.size());
  if (control.KeyLength() != keyLength || 2 * control.words < keyLength) return false;
  if (offset + 2 + keyLength > kBlockBytes) return false;
  return std::memcmp(block.data() + offset + 2, key.data(), key.size()) == 0;
}

int32_t NextBucket(int32_t bucket, int32_t bucketCount) {
  return bucket >= bucketCount ? 1 : bucket + 1;
}

// Gathers the continuation parts of a record whose first part ended at
// `offset` of block `bucket`. `filled` bytes of the record are in place.
RetrieveOutcome GatherContinuation(BlockReader& blocks, Block& block, int32_t bucket, int offset,
                                   std::span<char> record, std::span<const char> key, int32_t total,
                                   int32_t filled, int32_t bucketCount) {
  const int keyLength = static_cast<int>(key.size());
  int32_t blocksRead = 0;
  for (;;) {
    while (offset + 2 <= kBlockBytes) {
      const ControlWord control = ControlAt(block, offset);
      if (control.high == 0) return {kStatusProbeLimit, filled};
      const bool continuation = (control.high & (kDeletedBit | kFirstPartBit)) == 0;
      if (continuation && CarriesKey(block, offset, control, key)) {
        const int32_t take = std::min<int32_t>(2 * control.words - keyLength, total - filled);
        const int from = offset + 2 + keyLength;
        if (from + take > kBlockBytes) return {kStatusEntryPastBlock, filled};
        std::memcpy(record.data() + filled, block.data() + from, static_cast<std::size_t>(take));
        filled += take;
        if ((control.high & kLastPartBit) != 0 || filled >= total) return {kStatusFound, filled};
      }
      offset += 2 + 2 * control.words;
    }
    if (++blocksRead > bucketCount) {
      return {filled > keyLength ? kStatusProbeLimit : kStatusEveryBucketTried, filled};
    }
    bucket = NextBucket(bucket, bucketCount);
    if (!blocks.ReadBlock(bucket, block)) return {kStatusReadError, filled};
    offset = 0;
  }
}

// ---- index layout -------------------------------------------------------------

enum class BlockVerdict { kDecided, kNextProbe };

struct IndexWalk {
  std::span<char> record;
  std::span<const char> key;
  int32_t total;
  int32_t filled;  // what has been gathered, key included; keyLength before a match
  bool matched = false;
  RetrieveOutcome outcome{};
};

BlockVerdict WalkIndexBlock(const Block& block, IndexWalk& walk) {
  const int keyLength = static_cast<int>(walk.key.size());
  const int keyWords = keyLength / 2;
  int offset = 0;
  for (;;) {
    if (WordAt(block, static_cast<std::size_t>(offset)) == 0) {
      walk.outcome = {walk.matched ? kStatusProbeLimit : kStatusNotFound,
                      walk.matched ? walk.filled : 0};
      return BlockVerdict::kDecided;
    }
    const int size =
        std::abs(static_cast<int>(static_cast<int16_t>(WordAt(block, offset + 2u * keyWords))));
    if (size > kBlockBytes || size < keyLength + 4 || offset + size > kBlockBytes)
      return BlockVerdict::kNextProbe;
    if (std::memcmp(block.data() + offset, walk.key.data(), walk.key.size()) == 0) {
      walk.matched = true;
      const int32_t take = std::min<int32_t>(size - keyLength - 2, walk.total - walk.filled);
      std::memcpy(walk.record.data() + walk.filled, block.data() + offset + keyLength + 2,
                  static_cast<std::size_t>(take));
      walk.filled += take;
      if (walk.filled >= walk.total) {
        walk.outcome = {kStatusFound, walk.filled};
        return BlockVerdict::kDecided;
      }
    }
    offset += 2 * (size / 2);
    const int nextWord = offset / 2 + 1;  // words are numbered from 1
    if (nextWord > 255 - keyWords) return BlockVerdict::kNextProbe;
  }
}

}  // namespace

RetrieveOutcome SearchSelfDescribing(BlockReader& blocks, std::span<char> record, int keyLength,
                                     int32_t totalLength, int32_t bucketCount) {
  if (keyLength < 0 || static_cast<std::size_t>(keyLength) > record.size())
    return {kStatusReadError, 0};
  const int32_t total =
      static_cast<int32_t>(std::min<int64_t>(totalLength, static_cast<int64_t>(record.size())));
  if (total < keyLength + 2) return {kStatusBufferTooShort, 0};
  if (bucketCount <= 0) return {kStatusReadError, 0};
  const std::span<const char> key = record.first(static_cast<std::size_t>(keyLength));

  bool freePlaceSeen = false;
  Block block{};
  int32_t bucket = HashBucket(5, key, bucketCount);
  for (int32_t tried = 0; tried < bucketCount; ++tried, bucket = NextBucket(bucket, bucketCount)) {
    if (!blocks.ReadBlock(bucket, block)) return {kStatusReadError, 0};
    for (int offset = 0; offset + 2 <= kBlockBytes;) {
      const ControlWord control = ControlAt(block, offset);
      if (control.high == 0) return {kStatusNotFound, 0};
      if (control.Deleted()) {
        freePlaceSeen = true;
      } else if ((control.high & kFirstPartBit) != 0 && CarriesKey(block, offset, control, key)) {
        const int32_t n = std::min<int32_t>(total, 2 * control.words);
        if (offset + 2 + n > kBlockBytes) return {kStatusEntryPastBlock, 0};
        std::memcpy(record.data(), block.data() + offset + 2, static_cast<std::size_t>(n));
        const bool wholeRecord =
            (control.high & (kFirstPartBit | kLastPartBit)) == (kFirstPartBit | kLastPartBit);
        if (wholeRecord || n >= total) return {kStatusFound, n};
        return GatherContinuation(blocks, block, bucket, offset + 2 + 2 * control.words, record,
                                  key, total, n, bucketCount);
      }
      offset += 2 + 2 * control.words;
    }
  }
  return {freePlaceSeen ? kStatusNotFound : kStatusEveryBucketTried, 0};
}

RetrieveOutcome SearchIndex(BlockReader& blocks, std::span<char> record, int keyLength,
                            int32_t totalLength, int32_t bucketCount, int32_t& probeLimit) {
  // Entries are compared word by word: the key must be whole words.
  if (keyLength < 2 || keyLength % 2 != 0 || static_cast<std::size_t>(keyLength) > record.size())
    return {kStatusReadError, 0};
  if (bucketCount <= 0) return {kStatusReadError, 0};
  const std::span<const char> key = record.first(static_cast<std::size_t>(keyLength));
  if (keyLength == 6) probeLimit = kSixByteKeyProbeLimit;
  const int32_t total = static_cast<int32_t>(
      std::clamp<int64_t>(totalLength, keyLength, static_cast<int64_t>(record.size())));

  IndexWalk walk{record, key, total, keyLength};
  int32_t bucket = static_cast<int32_t>(MagnitudeModulo(IndexHashValue(key), bucketCount));
  Block block{};
  // Unreadable blocks count as probes too, so a file shorter than its bucket
  // count still reaches an end.
  for (int32_t probes = 0;;) {
    bucket = NextBucket(bucket, bucketCount);
    const bool read = blocks.ReadBlock(bucket, block);
    if (++probes >= probeLimit) return {kStatusProbeLimit, walk.matched ? walk.filled : 0};
    if (read && keyLength / 2 < 255 && WalkIndexBlock(block, walk) == BlockVerdict::kDecided)
      return walk.outcome;
    if (probes >= bucketCount) return {kStatusProbeLimit, walk.matched ? walk.filled : 0};
  }
}

RetrieveOutcome RetrieveRecord(BlockReader& blocks, int layout, const RecordQuery& query,
                               int32_t& probeLimit, const ErrorSink& showError) {
  if (query.declaredKeyLength != query.keyLength) {
    if (showError) showError(kKeyLengthMismatchText);
    return {kStatusReadError, 0};
  }
  const int64_t total = static_cast<int64_t>(query.keyLength) + query.dataLength;
  const auto totalLength = static_cast<int32_t>(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
  switch (layout) {
    case kLayoutSelfDescribing:
      return SearchSelfDescribing(blocks, query.record, query.keyLength, totalLength,
                                  query.bucketCount);
    case kLayoutIndex:
      return SearchIndex(blocks, query.record, query.keyLength, totalLength, query.bucketCount,
                         probeLimit);
    default: return {kStatusReadError, 0};
  }
}

}  // namespace velmora::docstore
