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

using testing::BlockOf;
using testing::EmptyFile;
using testing::FakeBlocks;
using testing::Poke;
using testing::PokeText;

constexpr int32_t kBuckets = 3;

struct Lookup {
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  RetrieveOutcome outcome;
  int32_t probeLimit = kInitialProbeLimit;
  std::string data() const { return std::string(record.begin() + 6, record.end()); }
};

Lookup Find(FakeBlocks& file, int32_t buckets = kBuckets) {
  Lookup lookup;
  lookup.outcome = SearchIndex(file, lookup.record, 6, 10, buckets, lookup.probeLimit);
  return lookup;
}

// A block filled with entries of another 6-byte key, none of them ending the chain.
Block FullOfOtherKeys() {
  Block block{};
  for (std::size_t at = 0; at + 12 <= kBlockSize; at += 12) {
    PokeText(block, at, "OTHERK");
    Poke(block, at + 6, {0x0C, 0x00, 1, 2, 3, 4});
  }
  return block;
}

TEST(IndexSearch, RecordInTheFirstProbedBlock) {
  FakeBlocks file = EmptyFile(3);
  file.blocks[2] = BlockOf({
      'C', 'O', 'D', 'C', 'L', 'I',  // key (3 words)
      0x0C, 0x00,                    // length word: 12 bytes in all
      0x39, 0x30, 0x00, 0x00,        // data: 12345
  });
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.outcome.filled, 10);
  EXPECT_EQ(found.data(), std::string("\x39\x30\x00\x00", 4));
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2}));
}

TEST(IndexSearch, NegativeLengthWordCountsByItsAbsoluteValue) {
  FakeBlocks file = EmptyFile(3);
  file.blocks[2] = BlockOf({
      'O', 'T', 'H', 'E', 'R', 'K', 0xF2, 0xFF, 9, 9, 9, 9, 9, 9,  // -14: 14 bytes
      'C', 'O', 'D', 'C', 'L', 'I', 0xF4, 0xFF, 7, 0, 0, 0,        // -12
  });
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.data(), std::string("\7\0\0\0", 4));
}

TEST(IndexSearch, EmptyBlockEndsTheSearch) {
  FakeBlocks file = EmptyFile(3);
  const Lookup missing = Find(file);
  EXPECT_EQ(missing.outcome.status, kStatusNotFound);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2}));
}

TEST(IndexSearch, ChainEndAfterOtherKeysEndsTheSearch) {
  FakeBlocks file = EmptyFile(3);
  file.blocks[2] = BlockOf({'O', 'T', 'H', 'E', 'R', 'K', 0x0C, 0x00, 1, 2, 3, 4});
  EXPECT_EQ(Find(file).outcome.status, kStatusNotFound);
}

TEST(IndexSearch, BadLengthWordsSendTheSearchToTheNextBlock) {
  struct Case {
    const char* what;
    uint8_t low, high;
  };
  const Case cases[] = {
      {"600 is more than a block", 0x58, 0x02},
      {"-600", 0xA8, 0xFD},
      {"9 is less than key + length word + 2", 0x09, 0x00},
      {"-32768", 0x00, 0x80},
  };
  for (const Case& c : cases) {
    FakeBlocks file = EmptyFile(3);
    file.blocks[2] = BlockOf({'C', 'O', 'D', 'C', 'L', 'I', c.low, c.high, 0xEE, 0xEE, 0xEE, 0xEE});
    file.blocks[3] = BlockOf({'C', 'O', 'D', 'C', 'L', 'I', 0x0C, 0x00, 0x05, 0x00, 0x00, 0x00});
    const Lookup found = Find(file);
    EXPECT_EQ(found.outcome.status, kStatusFound) << c.what;
    EXPECT_EQ(found.data(), std::string("\5\0\0\0", 4)) << c.what;
    EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3})) << c.what;
  }
}

TEST(IndexSearch, EntryPastTheLastUsableWordSendsTheSearchOn) {
  FakeBlocks file = EmptyFile(3);
  // One entry of 504 bytes: the next would start at word 253, beyond 255 - 3.
  PokeText(file.blocks[2], 0, "OTHERK");
  Poke(file.blocks[2], 6, {0xF8, 0x01});
  file.blocks[3] = BlockOf({'C', 'O', 'D', 'C', 'L', 'I', 0x0C, 0x00, 0x06, 0x00, 0x00, 0x00});
  EXPECT_EQ(Find(file).outcome.status, kStatusFound);

  // 500 bytes: the next entry starts at word 251 and is still looked at.
  Poke(file.blocks[2], 6, {0xF4, 0x01});
  file.asked.clear();
  EXPECT_EQ(Find(file).outcome.status, kStatusNotFound) << "word 251 holds 0: the chain ends";
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2}));
}

TEST(IndexSearch, MatchingEntryRunningPastItsBlockIsNotRead) {
  FakeBlocks file = EmptyFile(3);
  PokeText(file.blocks[2], 0, "OTHERK");
  Poke(file.blocks[2], 6, {0xD8, 0x01});  // 472 bytes: next entry at byte 472
  PokeText(file.blocks[2], 472, "CODCLI");
  Poke(file.blocks[2], 478, {0x40, 0x00});  // 64 bytes from 472 would end at 536
  file.blocks[3] = BlockOf({'C', 'O', 'D', 'C', 'L', 'I', 0x0C, 0x00, 0x08, 0x00, 0x00, 0x00});
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.data(), std::string("\x08\0\0\0", 4));
}

TEST(IndexSearch, RecordInSeveralEntriesIsJoinedInOrder) {
  FakeBlocks file = EmptyFile(3);
  file.blocks[2] = BlockOf({
      'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'A', 'B',  // first 2 data bytes
      'O', 'T', 'H', 'E', 'R', 'K', 0x0A, 0x00, 'x', 'x',  // another record between
      'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'C', 'D',  // the next 2
  });
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.data(), "ABCD");
}

TEST(IndexSearch, RecordContinuedInTheNextProbedBlock) {
  FakeBlocks file = EmptyFile(3);
  file.blocks[2] = BlockOf({
      'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'A', 'B',
      'O', 'T', 'H', 'E', 'R', 'K', 0xFF, 0x7F,  // filler: no search reads on in this block
  });
  file.blocks[3] = BlockOf({'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'C', 'D'});
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.data(), "ABCD");
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3}));
}

TEST(IndexSearch, RecordWhosePartsEndEarlyGivesFour) {
  FakeBlocks file = EmptyFile(3);
  file.blocks[2] = BlockOf({'C', 'O', 'D', 'C', 'L', 'I', 0x0A, 0x00, 'A', 'B'});
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusProbeLimit);
  EXPECT_EQ(found.outcome.filled, 8);
}

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

TEST(IndexSearch, EveryBlockTriedOnceAtMost) {
  FakeBlocks file;
  for (int32_t n = 1; n <= kBuckets; ++n) file.blocks[n] = FullOfOtherKeys();
  const Lookup missing = Find(file);
  EXPECT_EQ(missing.outcome.status, kStatusProbeLimit);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3, 1}));
}

TEST(IndexSearch, UnreadableBlocksCountAsProbes) {
  // A file of 3 blocks that claims 50 buckets: blocks 4 to 50 cannot be read.
  FakeBlocks file;
  for (int32_t n = 1; n <= 3; ++n) file.blocks[n] = FullOfOtherKeys();
  const Lookup missing = Find(file, 50);
  EXPECT_EQ(missing.outcome.status, kStatusProbeLimit);
  EXPECT_EQ(file.asked.size(), 50u);
}

TEST(IndexSearch, NoBucketCountGivesFiveWithoutReading) {
  FakeBlocks file = EmptyFile(3);
  EXPECT_EQ(Find(file, 0).outcome.status, kStatusReadError);
  EXPECT_EQ(Find(file, -1).outcome.status, kStatusReadError);
  EXPECT_TRUE(file.asked.empty());
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
