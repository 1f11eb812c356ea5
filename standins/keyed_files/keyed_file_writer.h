#pragma once
// Writes the documents module's keyed files (obi.dat, dev.dat) from records,
// the way the documents module lays them out, for tests, benchmarks and the
// sample suite. It shares no code with the program's reader on purpose: a
// round trip through both checks one against the other.
//
//   self-describing layout: block 1 = 70FF, sixteen '*', bucket count; data
//     blocks hold control-word entries, records placed from their hash-5
//     bucket on, long records continued in later entries and blocks;
//   index layout: entries of key, length word and data, placed from the
//     bucket of the key's first words on; its bucket count lives in obi.dat.

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora::standins {

struct KeyedRecord {
  std::string key;
  std::string data;
};

inline constexpr int32_t kKeyedBlockSize = 512;

// A self-describing (layout 2) dev.dat: `blockCount` blocks, header in block 1.
class SelfDescribingFileWriter {
 public:
  SelfDescribingFileWriter(int32_t blockCount, int32_t bucketCount);
  // Places the record; false when the file has no room for it (nothing is
  // changed then). Keys are 1 to 31 bytes; a search reads records with 2
  // data bytes or more.
  bool Add(const KeyedRecord& record);
  // Marks the first part of `key`'s record deleted.
  bool Delete(std::string_view key);
  const std::string& image() const { return image_; }
  int32_t bucketCount() const { return bucketCount_; }
  // The block where the record of `key` starts (0 when it is not there).
  int32_t BlockOf(std::string_view key) const;

 private:
  std::string image_;
  int32_t bucketCount_;
};

// An index-layout (layout 1) dev.dat: `blockCount` blocks, no header. All
// keys of one file have the same even length (2 to 508 bytes), data is 2
// bytes or more (shorter entries are not read back by a search); a record
// longer than one entry is split into entries with the same key, placed one
// after the other in the probe order. A block that cannot take an entry is
// closed with a filler entry that no search can match.
class IndexFileWriter {
 public:
  IndexFileWriter(int32_t blockCount, int32_t bucketCount, int32_t probeLimit = 5987);
  bool Add(const KeyedRecord& record);
  const std::string& image() const { return image_; }
  int32_t bucketCount() const { return bucketCount_; }
  int32_t BlockOf(std::string_view key) const;

 private:
  std::string image_;
  int32_t bucketCount_;
  int32_t probeLimit_;
  int keyLength_ = -1;
};

// obi.dat of `blockCount` blocks whose block 1 carries the index layout's
// bucket count (32-bit little-endian at offset 10).
std::string ObiFileImage(int32_t bucketCount, int32_t blockCount = 1);

// The bucket (1 to bucketCount) where the self-describing layout starts the
// search for `key`, and the first block probed by the index layout.
int32_t SelfDescribingStartBlock(std::string_view key, int32_t bucketCount);
int32_t IndexStartBlock(std::string_view key, int32_t bucketCount);

}  // namespace velmora::standins

// The tests and benchmarks know the writer under their own namespace.
namespace velmora::testing {
using standins::IndexFileWriter;
using standins::IndexStartBlock;
using standins::KeyedRecord;
using standins::kKeyedBlockSize;
using standins::ObiFileImage;
using standins::SelfDescribingFileWriter;
using standins::SelfDescribingStartBlock;
}  // namespace velmora::testing
