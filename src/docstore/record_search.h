#pragma once
// Retrieval of one record by key from a keyed file, in either layout.
//
// Self-describing layout (2): block 1 is the header; every block holds a
// chain of entries from word 1, each a control word (low byte: words that
// follow; high byte: bit 7 deleted, bit 6 first part, bit 5 last part, bits
// 0-4 key length) followed by the key and this part's data. A record starts
// in its hash-5 bucket or a later block and may go on in later entries and
// blocks. Index layout (1): entries of key, signed length word (|length| =
// bytes of the whole entry) and data; the bucket count comes from obi.dat.
//
// Every walk is bounded: no entry is read past its block and every search
// ends, whatever the blocks hold.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "docstore/keyed_block.h"

namespace velmora::docstore {

// Status words of a retrieval.
inline constexpr int16_t kStatusFound = 0;
inline constexpr int16_t kStatusNotFound = 1;          // chain end reached
inline constexpr int16_t kStatusEveryBucketTried = 3;  // layout 2, no free place seen
inline constexpr int16_t kStatusProbeLimit =
    4;  // layout 1 limit, or a record whose parts end early
inline constexpr int16_t kStatusReadError =
    5;  // also unknown layout, wrong key length, no bucket count
inline constexpr int16_t kStatusBufferTooShort = 7;   // layout 2: total length below key length + 2
inline constexpr int16_t kStatusEntryPastBlock = 10;  // layout 2: an entry runs past its block

// Probe limits of the index layout: 200 at start, 5987 from the first search
// with a 6-byte key on.
inline constexpr int32_t kInitialProbeLimit = 200;
inline constexpr int32_t kSixByteKeyProbeLimit = 5987;

inline constexpr std::string_view kKeyLengthMismatchText =
    "Eroare interna (dev_ret: WL != klen). Anuntati Corvane!";

using ErrorSink = std::function<void(std::string_view)>;

struct RecordQuery {
  std::span<char> record;  // the key, then room for the data
  int keyLength = 0;
  int32_t bucketCount = 0;
  int declaredKeyLength = 0;  // must equal keyLength
  int32_t dataLength = 0;
};

struct RetrieveOutcome {
  int16_t status = kStatusReadError;
  int32_t filled = 0;  // bytes of the record buffer filled, key included
};

// Looks the key (the first keyLength bytes of the record) up in a file of
// `layout` and fills the data part after it. The total length is
// keyLength + dataLength, cut to the record buffer. `probeLimit` is the index
// layout's module-level limit; a search with a 6-byte key raises it.
// A declared key length that differs shows kKeyLengthMismatchText.
RetrieveOutcome RetrieveRecord(BlockReader& blocks, int layout, const RecordQuery& query,
                               int32_t& probeLimit, const ErrorSink& showError = {});

// The two searches on their own.
RetrieveOutcome SearchSelfDescribing(BlockReader& blocks, std::span<char> record, int keyLength,
                                     int32_t totalLength, int32_t bucketCount);
RetrieveOutcome SearchIndex(BlockReader& blocks, std::span<char> record, int keyLength,
                            int32_t totalLength, int32_t bucketCount, int32_t& probeLimit);

}  // namespace velmora::docstore
