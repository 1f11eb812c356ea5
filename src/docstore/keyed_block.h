#pragma once
// Blocks of the documents module's keyed files (obi.dat, dev.dat and their
// family). A file is a run of 512-byte blocks numbered from 1, block n at
// byte (n - 1) * 512. Everything here is portable: the searches reach the
// blocks only through BlockReader, so they run over files on Windows and over
// byte images in tests, the fuzzer and the benchmark alike.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora::docstore {

inline constexpr std::size_t kBlockSize = 512;
using Block = std::array<char, kBlockSize>;

// Layout of a keyed file, as LayoutOf reports it.
inline constexpr int kLayoutUnreadable = 0;      // block 1 could not be read
inline constexpr int kLayoutIndex = 1;           // bucket count kept in obi.dat
inline constexpr int kLayoutSelfDescribing = 2;  // block 1 is a header with its own bucket count

// The self-describing header: magic word, sixteen '*', bucket count.
inline constexpr uint16_t kHeaderMagic = 0x70FF;  // 28927
inline constexpr std::size_t kHeaderStarsOffset = 2;
inline constexpr std::size_t kHeaderStarsLength = 16;
inline constexpr std::size_t kHeaderBucketCountOffset = 18;
// obi.dat's block 1 holds the bucket count of index-layout files here.
inline constexpr std::size_t kObiBucketCountOffset = 10;

// Reads one block of one file. Numbers start at 1; any number without a
// whole block behind it is a failed read.
class BlockReader {
 public:
  virtual ~BlockReader() = default;
  virtual bool ReadBlock(int32_t number, Block& block) = 0;
};

// A file image held in memory. Counts the reads it was asked for, so the
// benchmark and the tests can see what a search cost.
class MemoryBlockReader final : public BlockReader {
 public:
  explicit MemoryBlockReader(std::string_view image) : image_(image) {}
  bool ReadBlock(int32_t number, Block& block) override;
  int64_t reads() const { return reads_; }
  void ResetReads() { reads_ = 0; }

 private:
  std::string_view image_;
  int64_t reads_ = 0;
};

// Little-endian words inside a block.
uint16_t WordAt(const Block& block, std::size_t offset);

// True when block 1 is a self-describing header: magic, sixteen '*' and a
// bucket count above 0.
bool IsSelfDescribingHeader(const Block& block);
int32_t HeaderBucketCount(const Block& block);
int32_t ObiBucketCount(const Block& obiBlock1);

// directory + "\" + name, as keyed files are opened: the directory without
// trailing blanks (and without anything from a zero byte on), the
// separator only when the directory is not empty and does not already end in
// one, the whole path cut to 256 characters.
std::string KeyedFilePath(std::string_view directory, std::string_view name);

}  // namespace velmora::docstore
