// The index layout's search over blocks written out by hand. With 3 buckets
// the key "CODCLI" (words 4F43, 4344, 494C: 4F434344 + 494C = 4F438C90)
// starts at block 4F438C90 mod 3 + 1 = 2, so the probes go 2, 3, 1, 2, ...

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "block_fixtures.h"
#include "docstore/record_search.h"

namespace velmora::docstore {
namespace {

using testing::EmptyFile;
using testing::FakeBlocks;
using testing::Poke;
using testing::PokeText;
using testing::SearchCase;

constexpr int32_t kBuckets = 3;

// A block filled with entries of another 6-byte key, none of them ending the chain.
Block FullOfOtherKeys() {
  Block block{};
  for (std::size_t at = 0; at + 12 <= kBlockSize; at += 12) {
    PokeText(block, at, "OTHERK");
    Poke(block, at + 6, {0x0C, 0x00, 1, 2, 3, 4});
  }
  return block;
}

// The record of later cases: key, length word 12, data 5.
const std::vector<uint8_t> kFive{'C', 'O', 'D', 'C', 'L', 'I', 0x0C, 0x00, 0x05, 0x00, 0x00, 0x00};

// A matching entry whose length word (low byte, high byte) cannot be: the
// search leaves the block and finds the record in block 3.
SearchCase BadLengthWord(const char* what, uint8_t low, uint8_t high) {
  return {.what = what,
          .block2 = {'C', 'O', 'D', 'C', 'L', 'I', low, high, 0xEE, 0xEE, 0xEE, 0xEE},
          .block3 = kFive,
          .status = 0,
          .data = std::string("\5\0\0\0", 4),
          .asked = {{2, 3}}};
}

const SearchCase kIndexSearches[] = {
    {.what = "record in the first probed block",
     .block2 = {'C', 'O', 'D', 'C', 'L', 'I', 0x0C, 0x00, 0x39, 0x30, 0x00,
                0x00},  // key, length 12, data 12345
     .status = 0,
     .filled = 10,
     .data = std::string("\x39\x30\x00\x00", 4),
     .asked = {{2}}},
    {.what = "a negative length word counts by its absolute value",
     .block2 = {'O', 'T', 'H', 'E', 'R', 'K', 0xF2, 0xFF, 9, 9, 9, 9, 9, 9,  // -14
                'C', 'O', 'D', 'C', 'L', 'I', 0xF4, 0xFF, 7, 0, 0, 0},       // -12
     .status = 0,
     .data = std::string("\7\0\0\0", 4)},
    {.what = "an empty block ends the search", .status = 1, .asked = {{2}}},
    {.what = "the chain ends after other keys",
     .block2 = {'O', 'T', 'H', 'E', 'R', 'K', 0x0C, 0x00, 1, 2, 3, 4},
     .status = 1},
    BadLengthWord("length word 600 is more than a block", 0x58, 0x02),
    BadLengthWord("length word -600", 0xA8, 0xFD),
    BadLengthWord("length word 9 is less than key + length word + 2", 0x09, 0x00),
    BadLengthWord("length word -32768", 0x00, 0x80),
    {.what =
         "an entry of 504 bytes: the next would start past word 255 - 3, so the search moves on",
     .block2 = {'O', 'T', 'H', 'E', 'R', 'K', 0xF8, 0x01},
     .block3 = kFive,
     .status = 0},
    {.what = "an entry of 500 bytes: the next, at word 251, is still looked at and ends the chain",
     .block2 = {'O', 'T', 'H', 'E', 'R', 'K', 0xF4, 0x01},
     .block3 = kFive,
     .status = 1,
     .asked = {{2}}},
    {.what = "a matching entry running past its block is not read",
     .block3 = kFive,
     .prepare =
         [](FakeBlocks& f) {
           PokeText(f.blocks[2], 0, "OTHERK");
           Poke(f.blocks[2], 6, {0xD8, 0x01});  // 472 bytes: next entry at byte 472
           PokeText(f.blocks[2], 472, "CODCLI");
           Poke(f.blocks[2], 478, {0x40, 0x00});  // 64 bytes from 472 would end at 536
         },
     .status = 0,
     .data = std::string("\5\0\0\0", 4)},
    {.what = "a record in several entries is joined in order",
     .block2 = {'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'A', 'B',   // first 2 data bytes
                'O', 'T', 'H', 'E', 'R', 'K', 0x0A, 0x00, 'x', 'x',   // another record between
                'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'C', 'D'},  // the next 2
     .status = 0,
     .data = "ABCD"},
    {.what = "a record continued in the next probed block",
     .block2 = {'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'A', 'B', 'O', 'T', 'H', 'E', 'R', 'K',
                0xFF, 0x7F},  // filler: no search reads on in this block
     .block3 = {'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'C', 'D'},
     .status = 0,
     .data = "ABCD",
     .asked = {{2, 3}}},
    {.what = "a record whose parts end early",
     .block2 = {'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'A', 'B'},
     .status = 4,
     .filled = 8},
    {.what = "every block tried once at most",
     .prepare =
         [](FakeBlocks& f) {
           for (int32_t n = 1; n <= 3; ++n) f.blocks[n] = FullOfOtherKeys();
         },
     .status = 4,
     .asked = {{2, 3, 1}}},
    {.what = "a file of 3 blocks claiming 50 buckets: unreadable blocks count as probes",
     .prepare =
         [](FakeBlocks& f) {
           for (int32_t n = 1; n <= 3; ++n) f.blocks[n] = FullOfOtherKeys();
         },
     .buckets = 50,
     .status = 4},
    {.what = "no bucket count: nothing read",
     .buckets = 0,
     .status = 5,
     .asked = std::vector<int32_t>{}},
    {.what = "negative bucket count", .buckets = -1, .status = 5, .asked = std::vector<int32_t>{}},
};

TEST(IndexSearch, HandWrittenBlocks) { testing::CheckSearches(kLayoutIndex, kIndexSearches); }

TEST(IndexSearch, ProbeLimitStartsAt200AndBecomes5987WithASixByteKey) {
  constexpr int32_t kManyBuckets = 7000;
  FakeBlocks file;
  const Block full = FullOfOtherKeys();
  for (int32_t n = 1; n <= kManyBuckets; ++n) file.blocks[n] = full;

  int32_t probeLimit = kInitialProbeLimit;
  std::array<char, 8> fourByteKey{'K', 'E', 'Y', '1'};
  RetrieveOutcome outcome = SearchIndex(file, fourByteKey, 4, 8, kManyBuckets, probeLimit);
  EXPECT_EQ(outcome.status, kStatusProbeLimit);
  EXPECT_EQ(file.asked.size(), 200u) << "the 200th block is read but not looked at";
  EXPECT_EQ(probeLimit, kInitialProbeLimit);

  file.asked.clear();
  std::array<char, 10> sixByteKey{'C', 'O', 'D', 'C', 'L', 'I'};
  outcome = SearchIndex(file, sixByteKey, 6, 10, kManyBuckets, probeLimit);
  EXPECT_EQ(outcome.status, kStatusProbeLimit);
  EXPECT_EQ(file.asked.size(), 5987u);
  EXPECT_EQ(probeLimit, kSixByteKeyProbeLimit);

  file.asked.clear();
  outcome = SearchIndex(file, fourByteKey, 4, 8, kManyBuckets, probeLimit);
  EXPECT_EQ(file.asked.size(), 5987u) << "the raised limit stays";
}

TEST(IndexSearch, KeysThatAreNotWholeWordsOrTooLongAreRefusedOrSkipped) {
  FakeBlocks file = EmptyFile(3);
  std::array<char, 9> odd{'C', 'O', 'D', 'C', 'L'};
  int32_t probeLimit = kInitialProbeLimit;
  EXPECT_EQ(SearchIndex(file, odd, 5, 9, kBuckets, probeLimit).status, kStatusReadError);
  EXPECT_TRUE(file.asked.empty());

  std::string longKey(510, 'K');  // 255 words: no block can hold it
  longKey += "data";
  EXPECT_EQ(SearchIndex(file, longKey, 510, 514, kBuckets, probeLimit).status, kStatusProbeLimit);
  EXPECT_EQ(file.asked.size(), 3u);
}

TEST(IndexSearch, HashOfTheSixByteExampleStartsAtItsBucket) {
  // words 1234, 5678, 0010: 12345678 + 0010 = 12345688 = 305419912; mod 1999 = 698.
  FakeBlocks file = EmptyFile(1999);
  std::array<char, 10> record{0x34, 0x12, 0x78, 0x56, 0x10, 0x00};
  int32_t probeLimit = kInitialProbeLimit;
  EXPECT_EQ(SearchIndex(file, record, 6, 10, 1999, probeLimit).status, kStatusNotFound);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{699}));
}

TEST(IndexSearch, NegativeHashIsNegatedAndTheLastBucketWrapsToOne) {
  FakeBlocks file;
  for (int32_t n = 1; n <= kBuckets; ++n) file.blocks[n] = FullOfOtherKeys();
  std::array<char, 8> negative{0x01, 0x00, 0x00, static_cast<char>(0x80)};
  int32_t probeLimit = kInitialProbeLimit;
  SearchIndex(file, negative, 4, 8, kBuckets, probeLimit);
  ASSERT_FALSE(file.asked.empty());
  // words 0001, 8000: value 00018000 = 98304 = 3 x 32768, mod 3 = 0 -> block 1.
  EXPECT_EQ(file.asked.front(), 1);

  file.asked.clear();
  // words 8000, 0001: value 80000001 = -2147483647, negated 2147483647 = 3 x 715827882 + 1
  // -> block 2, then 3, then the wrap to 1.
  std::array<char, 8> top{0x00, static_cast<char>(0x80), 0x01, 0x00};
  SearchIndex(file, top, 4, 8, kBuckets, probeLimit);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3, 1}));
}

}  // namespace
}  // namespace velmora::docstore
