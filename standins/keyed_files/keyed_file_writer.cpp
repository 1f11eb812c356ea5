#include "keyed_files/keyed_file_writer.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

namespace velmora::standins {
namespace {

constexpr int32_t kBlock = kKeyedBlockSize;

// ---- bytes of the image --------------------------------------------------------

unsigned Byte(std::string_view s, std::size_t i) {
  return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
}

unsigned GetWord(const std::string& image, std::size_t at) {
  return Byte(image, at) | Byte(image, at + 1) << 8;
}

void PutWord(std::string& image, std::size_t at, unsigned value) {
  image[at] = static_cast<char>(value & 0xFF);
  image[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutBytes(std::string& image, std::size_t at, std::string_view bytes) {
  image.replace(at, bytes.size(), bytes);
}

std::size_t BlockStart(int32_t block) { return static_cast<std::size_t>(block - 1) * kBlock; }

int32_t Following(int32_t block, int32_t bucketCount) { return block % bucketCount + 1; }

// 32-bit wrap-around done in 64 bits and masked.
int64_t Wrap32(int64_t v) {
  v &= 0xFFFFFFFFll;
  return v >= 0x80000000ll ? v - 0x100000000ll : v;
}
int64_t LittleInt32(std::string_view s, std::size_t i) {
  return Wrap32(static_cast<int64_t>(Byte(s, i)) | static_cast<int64_t>(Byte(s, i + 1)) << 8 |
                static_cast<int64_t>(Byte(s, i + 2)) << 16 |
                static_cast<int64_t>(Byte(s, i + 3)) << 24);
}
int64_t LittleInt16(std::string_view s, std::size_t i) {
  const int64_t v = Byte(s, i) | Byte(s, i + 1) << 8;
  return v >= 0x8000 ? v - 0x10000 : v;
}
int32_t BucketOf(int64_t value, int32_t bucketCount) {
  const int64_t magnitude = value < 0 ? -value : value;
  return static_cast<int32_t>(magnitude % bucketCount);
}

// ---- self-describing layout --------------------------------------------------

constexpr unsigned kDeleted = 0x80, kFirst = 0x40, kLast = 0x20;

// Byte offset in the block where its chain ends (512 when the block is full).
int32_t ChainEnd(const std::string& image, int32_t block) {
  const std::size_t base = BlockStart(block);
  int32_t at = 0;
  while (at + 2 <= kBlock) {
    const unsigned control = GetWord(image, base + static_cast<std::size_t>(at));
    if ((control >> 8) == 0) return at;
    at += 2 + 2 * static_cast<int32_t>(control & 0xFF);
  }
  return kBlock;
}

void PutEntry(std::string& image, int32_t block, int32_t at, unsigned high, int32_t words,
              std::string_view key, std::string_view data) {
  const std::size_t base = BlockStart(block) + static_cast<std::size_t>(at);
  PutWord(image, base, high << 8 | static_cast<unsigned>(words));
  PutBytes(image, base + 2, key);
  PutBytes(image, base + 2 + key.size(), data);
}

// Closes the rest of a block with one deleted entry, so that no search
// stops there.
void CloseWithDeleted(std::string& image, int32_t block, int32_t at) {
  const int32_t freeWords = (kBlock - at) / 2;
  if (freeWords > 0)
    PutWord(image, BlockStart(block) + static_cast<std::size_t>(at),
            kDeleted << 8 | (freeWords - 1));
}

int32_t WordsFor(std::size_t bytes) { return static_cast<int32_t>((bytes + 1) / 2); }

// ---- index layout ------------------------------------------------------------------

constexpr unsigned kFillerLength = 0x7FFF;  // no entry is that long: a search leaves the block

// Byte offset where a new entry can go in the block, or -1 when the block
// takes no more entries.
int32_t IndexChainEnd(const std::string& image, int32_t block, int keyLength) {
  const std::size_t base = BlockStart(block);
  const int keyWords = keyLength / 2;
  int32_t at = 0;
  for (;;) {
    if (at / 2 + 1 > 255 - keyWords) return -1;
    if (GetWord(image, base + static_cast<std::size_t>(at)) == 0) return at;
    const auto length = std::abs(
        static_cast<int>(LittleInt16(image, base + static_cast<std::size_t>(at + keyLength))));
    if (length > kBlock || length < keyLength + 4 || at + length > kBlock) return -1;
    at += 2 * (length / 2);
  }
}

void PutIndexFiller(std::string& image, int32_t block, int32_t at, int keyLength) {
  const std::size_t base = BlockStart(block) + static_cast<std::size_t>(at);
  PutBytes(image, base, std::string(static_cast<std::size_t>(keyLength), '\xFF'));
  PutWord(image, base + static_cast<std::size_t>(keyLength), kFillerLength);
}

// Keeps the blocks an insertion touches, so that a failed one can be undone
// without copying the whole image for every record.
class BlockJournal {
 public:
  explicit BlockJournal(std::string& image) : image_(image) {}
  BlockJournal(const BlockJournal&) = delete;
  BlockJournal& operator=(const BlockJournal&) = delete;
  ~BlockJournal() {
    if (committed_) return;
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      image_.replace(BlockStart(it->first), kBlock, it->second);
  }
  void Touch(int32_t block) {
    for (const auto& entry : saved_)
      if (entry.first == block) return;
    saved_.emplace_back(block, image_.substr(BlockStart(block), kBlock));
  }
  void Commit() { committed_ = true; }

 private:
  std::string& image_;
  std::vector<std::pair<int32_t, std::string>> saved_;
  bool committed_ = false;
};

}  // namespace

// ---- hash start blocks, written out from the file formats --------------------------

int32_t SelfDescribingStartBlock(std::string_view key, int32_t bucketCount) {
  constexpr int64_t kMul = 1103515245;
  int64_t acc = 0;
  std::size_t i = 0;
  while (key.size() - i >= 24) {
    int64_t sum = 0;
    for (int k = 0; k < 6; ++k)
      sum = Wrap32(sum + LittleInt32(key, i + 4 * static_cast<std::size_t>(k)));
    acc = Wrap32(Wrap32(sum * kMul) + acc + 74070);
    i += 24;
  }
  while (key.size() - i >= 4) {
    acc = Wrap32(Wrap32(LittleInt32(key, i) * kMul) + acc + 12345);
    i += 4;
  }
  if (key.size() > i) acc = Wrap32(Wrap32(LittleInt16(key, i) * kMul) + acc + 12345);
  return BucketOf(acc, bucketCount) + 1;
}

int32_t IndexStartBlock(std::string_view key, int32_t bucketCount) {
  int64_t value = static_cast<int64_t>(Byte(key, 0) | Byte(key, 1) << 8) * 65536 +
                  (Byte(key, 2) | Byte(key, 3) << 8);
  if (key.size() == 6) value += LittleInt16(key, 4);
  return BucketOf(Wrap32(value), bucketCount) + 1;
}

std::string ObiFileImage(int32_t bucketCount, int32_t blockCount) {
  std::string image(static_cast<std::size_t>(blockCount) * kBlock, '\0');
  const auto v = static_cast<uint32_t>(bucketCount);
  for (int i = 0; i < 4; ++i)
    image[10 + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return image;
}

// ---- SelfDescribingFileWriter ------------------------------------------------------

SelfDescribingFileWriter::SelfDescribingFileWriter(int32_t blockCount, int32_t bucketCount)
    : image_(static_cast<std::size_t>(blockCount) * kBlock, '\0'), bucketCount_(bucketCount) {
  if (bucketCount < 1 || bucketCount > blockCount)
    throw std::invalid_argument("bucket count outside the file");
  PutWord(image_, 0, 0x70FF);
  PutBytes(image_, 2, "****************");
  const auto v = static_cast<uint32_t>(bucketCount);
  for (int i = 0; i < 4; ++i)
    image_[18 + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool SelfDescribingFileWriter::Add(const KeyedRecord& record) {
  const std::string& key = record.key;
  if (key.empty() || key.size() > 31) throw std::invalid_argument("key of 1 to 31 bytes");
  const auto keyLength = static_cast<unsigned>(key.size());
  std::string& work = image_;
  BlockJournal journal(image_);
  const int32_t wholeWords = WordsFor(key.size() + record.data.size());
  const int32_t smallestPart = WordsFor(key.size()) + 1;  // key and at least 2 data bytes

  int32_t block = SelfDescribingStartBlock(key, bucketCount_);
  for (int32_t tried = 0; tried < bucketCount_; ++tried, block = Following(block, bucketCount_)) {
    const int32_t at = ChainEnd(work, block);
    const int32_t freeWords = (kBlock - at) / 2;
    if (freeWords == 0) continue;
    if (wholeWords <= 255 && 1 + wholeWords <= freeWords) {
      journal.Touch(block);
      PutEntry(work, block, at, kFirst | kLast | keyLength, wholeWords, key, record.data);
      journal.Commit();
      return true;
    }
    if (freeWords < 1 + smallestPart) {
      journal.Touch(block);
      CloseWithDeleted(work, block, at);
      continue;
    }
    // First part takes the rest of this block; the others follow block by block.
    const int32_t firstWords = freeWords - 1;
    std::size_t done = static_cast<std::size_t>(2 * firstWords) - key.size();
    journal.Touch(block);
    PutEntry(work, block, at, kFirst | keyLength, firstWords, key,
             std::string_view(record.data).substr(0, done));
    int32_t next = block;
    for (int32_t hop = 0; hop < bucketCount_; ++hop) {
      next = Following(next, bucketCount_);
      const int32_t nextAt = ChainEnd(work, next);
      const int32_t nextFree = (kBlock - nextAt) / 2;
      if (nextFree < 1 + smallestPart) {
        journal.Touch(next);
        CloseWithDeleted(work, next, nextAt);
        continue;
      }
      const std::size_t left = record.data.size() - done;
      const int32_t words = std::min(WordsFor(key.size() + left), nextFree - 1);
      const std::size_t bytes = std::min(left, static_cast<std::size_t>(2 * words) - key.size());
      const bool last = bytes == left;
      journal.Touch(next);
      PutEntry(work, next, nextAt, (last ? kLast : 0u) | keyLength, words, key,
               std::string_view(record.data).substr(done, bytes));
      done += bytes;
      if (last) {
        journal.Commit();
        return true;
      }
    }
    return false;
  }
  return false;
}

bool SelfDescribingFileWriter::Delete(std::string_view key) {
  const int32_t block = BlockOf(key);
  if (block == 0) return false;
  const std::size_t base = BlockStart(block);
  for (int32_t at = 0; at + 2 <= kBlock;) {
    const unsigned control = GetWord(image_, base + static_cast<std::size_t>(at));
    if ((control >> 8) == 0) break;
    if ((control & 0xC000) == (kFirst << 8) && ((control >> 8) & 0x1F) == key.size() &&
        std::string_view(image_).substr(base + static_cast<std::size_t>(at) + 2, key.size()) ==
            key) {
      PutWord(image_, base + static_cast<std::size_t>(at), control | kDeleted << 8);
      return true;
    }
    at += 2 + 2 * static_cast<int32_t>(control & 0xFF);
  }
  return false;
}

int32_t SelfDescribingFileWriter::BlockOf(std::string_view key) const {
  const int32_t blocks = static_cast<int32_t>(image_.size() / kBlock);
  for (int32_t block = 1; block <= blocks; ++block) {
    const std::size_t base = BlockStart(block);
    for (int32_t at = 0; at + 2 <= kBlock;) {
      const unsigned control = GetWord(image_, base + static_cast<std::size_t>(at));
      if ((control >> 8) == 0) break;
      const bool first = (control & 0xC000) == (kFirst << 8);
      if (first && ((control >> 8) & 0x1F) == key.size() &&
          at + 2 + static_cast<int32_t>(key.size()) <= kBlock &&
          std::string_view(image_).substr(base + static_cast<std::size_t>(at) + 2, key.size()) ==
              key)
        return block;
      at += 2 + 2 * static_cast<int32_t>(control & 0xFF);
    }
  }
  return 0;
}

// ---- IndexFileWriter ---------------------------------------------------------------

IndexFileWriter::IndexFileWriter(int32_t blockCount, int32_t bucketCount, int32_t probeLimit)
    : image_(static_cast<std::size_t>(blockCount) * kBlock, '\0'),
      bucketCount_(bucketCount),
      probeLimit_(probeLimit) {
  if (bucketCount < 1 || bucketCount > blockCount)
    throw std::invalid_argument("bucket count outside the file");
}

bool IndexFileWriter::Add(const KeyedRecord& record) {
  const std::string& key = record.key;
  if (key.size() < 2 || key.size() % 2 != 0 || key.size() > 508)
    throw std::invalid_argument("even key of 2 to 508 bytes");
  if (keyLength_ >= 0 && static_cast<std::size_t>(keyLength_) != key.size())
    throw std::invalid_argument("one key length per file");
  if (Byte(key, 0) == 0 && Byte(key, 1) == 0)
    throw std::invalid_argument("a key whose first word is 0 ends a chain");
  if (record.data.size() < 2) throw std::invalid_argument("an entry holds 2 data bytes at least");
  const int keyLength = static_cast<int>(key.size());
  // The data goes in whole words; an odd last byte is padded.
  std::string data = record.data;
  if (data.size() % 2 != 0) data += '\0';

  std::string& work = image_;
  BlockJournal journal(image_);
  const bool fitsOneEntry = static_cast<int>(data.size()) + keyLength + 2 <= kBlock;
  std::size_t done = 0;
  bool started = false;
  int32_t block = IndexStartBlock(key, bucketCount_);
  const int32_t usableProbes = std::min(bucketCount_, probeLimit_ - 1);
  for (int32_t probe = 1; probe <= usableProbes; ++probe, block = Following(block, bucketCount_)) {
    for (;;) {
      const int32_t at = IndexChainEnd(work, block, keyLength);
      if (at < 0) break;
      const int32_t room = kBlock - at - keyLength - 2;  // data bytes an entry here can hold
      const std::size_t left = data.size() - done;
      const bool takesAll = room >= static_cast<int32_t>(left) && (left > 0 || !started);
      const bool takesPart = !fitsOneEntry && room >= 2;
      journal.Touch(block);
      if (!takesAll && !takesPart) {
        PutIndexFiller(work, block, at, keyLength);
        break;
      }
      const std::size_t bytes = takesAll ? left : static_cast<std::size_t>(room - room % 2);
      const std::size_t base = BlockStart(block) + static_cast<std::size_t>(at);
      PutBytes(work, base, key);
      PutWord(work, base + key.size(),
              static_cast<unsigned>(keyLength + 2 + static_cast<int>(bytes)));
      PutBytes(work, base + key.size() + 2, std::string_view(data).substr(done, bytes));
      done += bytes;
      started = true;
      if (done == data.size()) {
        journal.Commit();
        keyLength_ = keyLength;
        return true;
      }
    }
  }
  return false;
}

int32_t IndexFileWriter::BlockOf(std::string_view key) const {
  const int keyLength = static_cast<int>(key.size());
  const int32_t blocks = static_cast<int32_t>(image_.size() / kBlock);
  for (int32_t block = 1; block <= blocks; ++block) {
    const std::size_t base = BlockStart(block);
    for (int32_t at = 0; at / 2 + 1 <= 255 - keyLength / 2;) {
      if (GetWord(image_, base + static_cast<std::size_t>(at)) == 0) break;
      if (std::string_view(image_).substr(base + static_cast<std::size_t>(at), key.size()) == key)
        return block;
      const auto length = std::abs(
          static_cast<int>(LittleInt16(image_, base + static_cast<std::size_t>(at + keyLength))));
      if (length > kBlock || length < keyLength + 4) break;
      at += 2 * (length / 2);
    }
  }
  return 0;
}

}  // namespace velmora::standins
