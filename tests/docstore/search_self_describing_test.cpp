// The self-describing layout's search over blocks written out by hand.
// Every case uses 3 buckets: block 1 is the header, and the key "CODCLI"
// hashes (kind 5) to bucket 2, so the search visits 2, 3, 1, 2, ...

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "block_fixtures.h"
#include "docstore/record_search.h"

namespace velmora::docstore {
namespace {

using testing::BlockOf;
using testing::FakeBlocks;
using testing::HeaderBlock;
using testing::Poke;
using testing::PokeText;

constexpr int32_t kBuckets = 3;

// Header plus two empty data blocks.
FakeBlocks ThreeBlocks() {
  FakeBlocks file = testing::EmptyFile(3);
  file.blocks[1] = HeaderBlock(kBuckets);
  return file;
}

// Fills `block` from `offset` to its end with one entry of another key
// ("OTHERK", first and last part) so that the chain has no end there.
void FillWithOtherRecord(Block& block, std::size_t offset) {
  const auto words = static_cast<uint8_t>((kBlockSize - offset) / 2 - 1);
  Poke(block, offset, {words, 0x66});
  PokeText(block, offset + 2, "OTHERK");
}

struct Lookup {
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};  // key, then 4 data bytes
  RetrieveOutcome outcome;
  std::string data() const { return std::string(record.begin() + 6, record.end()); }
};

Lookup Find(FakeBlocks& file, int32_t dataLength = 4, int32_t buckets = kBuckets) {
  Lookup lookup;
  lookup.outcome = SearchSelfDescribing(file, lookup.record, 6, 6 + dataLength, buckets);
  return lookup;
}

TEST(SelfDescribingSearch, OneEntryRecordInItsBucket) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({
      0x05, 0x66,                           // L = 5 words, first + last part, key length 6
      'C', 'O', 'D', 'C', 'L', 'I',         // key
      0x39, 0x30, 0x00, 0x00,               // data: 12345
  });
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.outcome.filled, 10);
  EXPECT_EQ(found.data(), std::string("\x39\x30\x00\x00", 4));
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2}));
}

TEST(SelfDescribingSearch, PassesOverOtherKeysDeletedEntriesAndOtherKeyLengths) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({
      0x05, 0x66, 'C', 'O', 'D', 'C', 'L', 'J', 0x01, 0x00, 0x00, 0x00,            // other key
      0x05, 0xE6, 'C', 'O', 'D', 'C', 'L', 'I', 0x99, 0x99, 0x99, 0x99,            // deleted (bit 7)
      0x06, 0x68, 'C', 'O', 'D', 'C', 'L', 'I', 'X', 'X', 0x98, 0x98, 0x98, 0x98,  // key length 8
      0x05, 0x26, 'C', 'O', 'D', 'C', 'L', 'I', 0x97, 0x97, 0x97, 0x97,            // not a first part
      0x05, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 0x2A, 0x00, 0x00, 0x00,            // the record: 42
  });
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.data(), std::string("\x2A\x00\x00\x00", 4));
}

TEST(SelfDescribingSearch, ChainEndInTheBucketMeansNotFound) {
  FakeBlocks file = ThreeBlocks();
  const Lookup missing = Find(file);
  EXPECT_EQ(missing.outcome.status, kStatusNotFound);
  EXPECT_EQ(missing.outcome.filled, 0);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2}));
}

TEST(SelfDescribingSearch, FullFileWithoutFreePlaceGivesThreeWithAFreePlaceOne) {
  FakeBlocks file = ThreeBlocks();
  FillWithOtherRecord(file.blocks[2], 0);
  FillWithOtherRecord(file.blocks[3], 0);
  EXPECT_EQ(Find(file).outcome.status, kStatusEveryBucketTried);
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3, 1})) << "wraps from the bucket count to the header block";

  Poke(file.blocks[3], 1, {0xE6});  // the other record of block 3 is now deleted
  EXPECT_EQ(Find(file).outcome.status, kStatusNotFound);
}

TEST(SelfDescribingSearch, ShortBufferIsRefusedBeforeAnyRead) {
  FakeBlocks file = ThreeBlocks();
  EXPECT_EQ(Find(file, 1).outcome.status, kStatusBufferTooShort);  // 7 < 6 + 2
  EXPECT_TRUE(file.asked.empty());
  EXPECT_EQ(Find(file, 2).outcome.status, kStatusNotFound);
}

TEST(SelfDescribingSearch, EntryRunningPastTheBlockGivesTen) {
  FakeBlocks file = ThreeBlocks();
  Block& block = file.blocks[2];
  Poke(block, 0, {250, 0x66});  // other record, words 1-251: bytes 0-501
  PokeText(block, 2, "OTHERK");
  Poke(block, 502, {0x05, 0x66});  // L = 5 at byte 502: its 10 bytes would end at 514
  PokeText(block, 504, "CODCLI");
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusEntryPastBlock);
  EXPECT_EQ(found.data(), std::string(4, '\0')) << "nothing copied";
}

TEST(SelfDescribingSearch, KeyRunningPastTheBlockIsNoMatch) {
  FakeBlocks file = ThreeBlocks();
  Block& block = file.blocks[2];
  Poke(block, 0, {252, 0x66});  // bytes 0-505
  PokeText(block, 2, "OTHERK");
  Poke(block, 506, {0x05, 0x66, 'C', 'O', 'D', 'C'});  // key would need bytes 508-513
  FillWithOtherRecord(file.blocks[3], 0);
  EXPECT_EQ(Find(file).outcome.status, kStatusEveryBucketTried);
}

TEST(SelfDescribingSearch, RecordLongerThanTheBufferFillsTheBuffer) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({0x07, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 1, 2, 3, 4, 5, 6, 7, 8});
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.outcome.filled, 10);
  EXPECT_EQ(found.data(), std::string("\1\2\3\4", 4));
}

TEST(SelfDescribingSearch, RecordShorterThanTheBufferReportsWhatItFilled) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({0x04, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 0x11, 0x22});
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.outcome.filled, 8);
}

TEST(SelfDescribingSearch, ContinuationInTheSameBlock) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({
      0x04, 0x46, 'C', 'O', 'D', 'C', 'L', 'I', 'A', 'B',  // first part (bit 6), 2 data bytes
      0x04, 0x66, 'O', 'T', 'H', 'E', 'R', 'K', 'x', 'x',  // another record between the parts
      0x04, 0x06, 'O', 'T', 'H', 'E', 'R', 'K', 'y', 'y',  // a continuation of another key
      0x04, 0x86, 'C', 'O', 'D', 'C', 'L', 'I', 'z', 'z',  // deleted
      0x04, 0x26, 'C', 'O', 'D', 'C', 'L', 'I', 'C', 'D',  // last part (bit 5)
  });
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.outcome.filled, 10);
  EXPECT_EQ(found.data(), "ABCD");
}

TEST(SelfDescribingSearch, ContinuationInTheNextBlock) {
  FakeBlocks file = ThreeBlocks();
  Block& two = file.blocks[2];
  Poke(two, 0, {250, 0x66});  // other record, bytes 0-501
  PokeText(two, 2, "OTHERK");
  Poke(two, 502, {0x04, 0x46});  // first part ends the block exactly at 512
  PokeText(two, 504, "CODCLIAB");
  file.blocks[3] = BlockOf({
      0x04, 0x06, 'C', 'O', 'D', 'C', 'L', 'I', 'C', 0x00,  // middle part: bits 5, 6, 7 clear
      0x04, 0x26, 'C', 'O', 'D', 'C', 'L', 'I', 'D', 'E',   // last part
  });
  std::array<char, 11> record{'C', 'O', 'D', 'C', 'L', 'I'};
  const RetrieveOutcome outcome = SearchSelfDescribing(file, record, 6, 11, kBuckets);
  EXPECT_EQ(outcome.status, kStatusFound);
  EXPECT_EQ(outcome.filled, 11) << "the last part is cut at the buffer's end";
  EXPECT_EQ(std::string(record.begin() + 6, record.end()), std::string("ABC\0D", 5));
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3}));
}

TEST(SelfDescribingSearch, ContinuationWrapsPastTheHeaderBlock) {
  FakeBlocks file = ThreeBlocks();
  Block& two = file.blocks[2];
  Poke(two, 0, {240, 0x66});  // other record, bytes 0-481
  PokeText(two, 2, "OTHERK");
  Poke(two, 482, {0x04, 0x26});  // the last part, met before its first part
  PokeText(two, 484, "CODCLICD");
  Poke(two, 492, {9, 0x66});  // other record to the end: bytes 492-511
  PokeText(two, 494, "OTHERL");
  Block& three = file.blocks[3];
  Poke(three, 0, {250, 0x66});
  PokeText(three, 2, "OTHERM");
  Poke(three, 502, {0x04, 0x46});
  PokeText(three, 504, "CODCLIAB");
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusFound);
  EXPECT_EQ(found.data(), "ABCD");
  EXPECT_EQ(file.asked, (std::vector<int32_t>{2, 3, 1, 2}));
}

TEST(SelfDescribingSearch, PartsEndingEarlyGiveFour) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({0x04, 0x46, 'C', 'O', 'D', 'C', 'L', 'I', 'A', 'B'});  // then the chain ends
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusProbeLimit);
  EXPECT_EQ(found.outcome.filled, 8);
}

TEST(SelfDescribingSearch, ContinuationThatNeverEndsStopsAfterEveryBlock) {
  FakeBlocks file = ThreeBlocks();
  Block& two = file.blocks[2];
  Poke(two, 0, {0x04, 0x46});
  PokeText(two, 2, "CODCLIAB");
  FillWithOtherRecord(two, 10);
  FillWithOtherRecord(file.blocks[3], 0);
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusProbeLimit) << "more than the key was copied";
  EXPECT_LE(file.asked.size(), 2u + kBuckets + 1);

  FakeBlocks keyOnly = ThreeBlocks();
  Poke(keyOnly.blocks[2], 0, {0x03, 0x46});  // first part holding the key alone (L = 3)
  PokeText(keyOnly.blocks[2], 2, "CODCLI");
  FillWithOtherRecord(keyOnly.blocks[2], 8);
  FillWithOtherRecord(keyOnly.blocks[3], 0);
  EXPECT_EQ(Find(keyOnly).outcome.status, kStatusEveryBucketTried) << "nothing beyond the key was copied";
}

TEST(SelfDescribingSearch, ContinuationRunningPastItsBlockGivesTen) {
  FakeBlocks file = ThreeBlocks();
  Block& two = file.blocks[2];
  Poke(two, 0, {0x04, 0x46});
  PokeText(two, 2, "CODCLIAB");
  Poke(two, 10, {246, 0x66});  // other record, bytes 10-503
  PokeText(two, 12, "OTHERK");
  Poke(two, 504, {0x20, 0x26});  // continuation (L = 32) at byte 504: its data would start at 512
  PokeText(two, 506, "CODCLI");
  const Lookup found = Find(file);
  EXPECT_EQ(found.outcome.status, kStatusEntryPastBlock);
}

TEST(SelfDescribingSearch, ReadErrorsGiveFive) {
  FakeBlocks file = ThreeBlocks();
  file.unreadable.insert(2);
  EXPECT_EQ(Find(file).outcome.status, kStatusReadError);

  FakeBlocks continued = ThreeBlocks();
  Poke(continued.blocks[2], 0, {0x04, 0x46});
  PokeText(continued.blocks[2], 2, "CODCLIAB");
  FillWithOtherRecord(continued.blocks[2], 10);
  continued.unreadable.insert(3);
  EXPECT_EQ(Find(continued).outcome.status, kStatusReadError);
}

TEST(SelfDescribingSearch, BadBucketCountsEndWithAStatus) {
  FakeBlocks file = ThreeBlocks();
  EXPECT_EQ(Find(file, 4, 0).outcome.status, kStatusReadError);
  EXPECT_EQ(Find(file, 4, -3).outcome.status, kStatusReadError);
  // A bucket count far beyond the file: the probe reaches a missing block.
  FillWithOtherRecord(file.blocks[2], 0);
  FillWithOtherRecord(file.blocks[3], 0);
  const int32_t huge = 2147483647;
  EXPECT_EQ(Find(file, 4, huge).outcome.status, kStatusReadError);
}

TEST(RetrieveRecord, DeclaredKeyLengthMustMatch) {
  FakeBlocks file = ThreeBlocks();
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  std::vector<std::string> shown;
  int32_t probeLimit = kInitialProbeLimit;
  const RecordQuery query{.record = record, .keyLength = 6, .bucketCount = 3, .declaredKeyLength = 8, .dataLength = 4};
  for (int layout : {kLayoutIndex, kLayoutSelfDescribing}) {
    const RetrieveOutcome outcome =
        RetrieveRecord(file, layout, query, probeLimit, [&](std::string_view t) { shown.emplace_back(t); });
    EXPECT_EQ(outcome.status, kStatusReadError);
  }
  EXPECT_EQ(shown, (std::vector<std::string>(2, "Eroare interna (dev_ret: WL != klen). Anuntati Corvane!")));
  EXPECT_TRUE(file.asked.empty());
  EXPECT_EQ(probeLimit, kInitialProbeLimit);
}

TEST(RetrieveRecord, UnknownLayoutGivesFive) {
  FakeBlocks file = ThreeBlocks();
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  int32_t probeLimit = kInitialProbeLimit;
  const RecordQuery query{.record = record, .keyLength = 6, .bucketCount = 3, .declaredKeyLength = 6, .dataLength = 4};
  EXPECT_EQ(RetrieveRecord(file, kLayoutUnreadable, query, probeLimit).status, kStatusReadError);
  EXPECT_EQ(RetrieveRecord(file, 3, query, probeLimit).status, kStatusReadError);
}

TEST(RetrieveRecord, TotalLengthIsCutToTheRecordBuffer) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({0x07, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 1, 2, 3, 4, 5, 6, 7, 8});
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  int32_t probeLimit = kInitialProbeLimit;
  const RecordQuery query{.record = record, .keyLength = 6, .bucketCount = 3, .declaredKeyLength = 6, .dataLength = 400};
  const RetrieveOutcome outcome = RetrieveRecord(file, kLayoutSelfDescribing, query, probeLimit);
  EXPECT_EQ(outcome.status, kStatusFound);
  EXPECT_EQ(outcome.filled, 10);
}

}  // namespace
}  // namespace velmora::docstore
