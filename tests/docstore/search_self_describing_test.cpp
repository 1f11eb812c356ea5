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
using testing::SearchCase;

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

void FillBothWithOtherRecords(FakeBlocks& f) {
  FillWithOtherRecord(f.blocks[2], 0);
  FillWithOtherRecord(f.blocks[3], 0);
}

// A first part holding "AB" at the start of block 2, the rest of it another record.
void UnfinishedFirstPart(FakeBlocks& f) {
  Poke(f.blocks[2], 0, {0x04, 0x46});
  PokeText(f.blocks[2], 2, "CODCLIAB");
  FillWithOtherRecord(f.blocks[2], 10);
}

const SearchCase kSelfDescribingSearches[] = {
    {.what = "one-entry record in its bucket",
     .block2 = {0x05, 0x66,                    // L = 5 words, first + last part, key length 6
                'C', 'O', 'D', 'C', 'L', 'I',  // key
                0x39, 0x30, 0x00, 0x00},       // data: 12345
     .status = 0,
     .filled = 10,
     .data = std::string("\x39\x30\x00\x00", 4),
     .asked = {{2}}},
    {.what = "passes over other keys, deleted entries, other key lengths and later parts",
     .block2 =
         {0x05, 0x66, 'C', 'O', 'D', 'C', 'L', 'J', 0x01, 0x00, 0x00, 0x00,  // other key
          0x05, 0xE6, 'C', 'O', 'D', 'C', 'L', 'I', 0x99, 0x99, 0x99, 0x99,  // deleted (bit 7)
          0x06, 0x68, 'C', 'O', 'D', 'C', 'L', 'I', 'X',  'X',  0x98, 0x98,
          0x98, 0x98,                                                         // key length 8
          0x05, 0x26, 'C', 'O', 'D', 'C', 'L', 'I', 0x97, 0x97, 0x97, 0x97,   // not a first part
          0x05, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 0x2A, 0x00, 0x00, 0x00},  // the record: 42
     .status = 0,
     .data = std::string("\x2A\x00\x00\x00", 4)},
    {.what = "the chain ends in the bucket", .status = 1, .filled = 0, .asked = {{2}}},
    {.what = "a full file without a free place, wrapping from the bucket count to the header block",
     .prepare = FillBothWithOtherRecords,
     .status = 3,
     .asked = {{2, 3, 1}}},
    {.what = "a full file with one deleted entry as its free place",
     .prepare =
         [](FakeBlocks& f) {
           FillBothWithOtherRecords(f);
           Poke(f.blocks[3], 1, {0xE6});
         },
     .status = 1},
    {.what = "a buffer of 7 < 6 + 2 is refused before any read",
     .dataLength = 1,
     .status = 7,
     .asked = std::vector<int32_t>{}},
    {.what = "a buffer of 8 is enough", .dataLength = 2, .status = 1},
    {.what = "an entry running past the block copies nothing",
     .prepare =
         [](FakeBlocks& f) {
           Poke(f.blocks[2], 0, {250, 0x66});  // other record, words 1-251: bytes 0-501
           PokeText(f.blocks[2], 2, "OTHERK");
           Poke(f.blocks[2], 502,
                {0x05, 0x66});  // L = 5 at byte 502: its 10 bytes would end at 514
           PokeText(f.blocks[2], 504, "CODCLI");
         },
     .status = 10,
     .data = std::string(4, '\0')},
    {.what = "a key running past the block is no match",
     .prepare =
         [](FakeBlocks& f) {
           Poke(f.blocks[2], 0, {252, 0x66});  // bytes 0-505
           PokeText(f.blocks[2], 2, "OTHERK");
           Poke(f.blocks[2], 506,
                {0x05, 0x66, 'C', 'O', 'D', 'C'});  // key would need bytes 508-513
           FillWithOtherRecord(f.blocks[3], 0);
         },
     .status = 3},
    {.what = "a record longer than the buffer fills the buffer",
     .block2 = {0x07, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 1, 2, 3, 4, 5, 6, 7, 8},
     .status = 0,
     .filled = 10,
     .data = std::string("\1\2\3\4", 4)},
    {.what = "a record shorter than the buffer reports what it filled",
     .block2 = {0x04, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 0x11, 0x22},
     .status = 0,
     .filled = 8},
    {.what = "continuation in the same block",
     .block2 =
         {0x04, 0x46, 'C', 'O', 'D', 'C', 'L', 'I', 'A', 'B',   // first part (bit 6), 2 data bytes
          0x04, 0x66, 'O', 'T', 'H', 'E', 'R', 'K', 'x', 'x',   // another record between the parts
          0x04, 0x06, 'O', 'T', 'H', 'E', 'R', 'K', 'y', 'y',   // a continuation of another key
          0x04, 0x86, 'C', 'O', 'D', 'C', 'L', 'I', 'z', 'z',   // deleted
          0x04, 0x26, 'C', 'O', 'D', 'C', 'L', 'I', 'C', 'D'},  // last part (bit 5)
     .status = 0,
     .filled = 10,
     .data = "ABCD"},
    {.what = "continuation in the next block, the last part cut at the buffer's end",
     .block3 = {0x04, 0x06, 'C', 'O', 'D',
                'C',  'L',  'I', 'C', 0x00,  // middle part: bits 5, 6, 7 clear
                0x04, 0x26, 'C', 'O', 'D',
                'C',  'L',  'I', 'D', 'E'},  // last part
     .prepare =
         [](FakeBlocks& f) {
           Poke(f.blocks[2], 0, {250, 0x66});  // other record, bytes 0-501
           PokeText(f.blocks[2], 2, "OTHERK");
           Poke(f.blocks[2], 502, {0x04, 0x46});  // first part ends the block exactly at 512
           PokeText(f.blocks[2], 504, "CODCLIAB");
         },
     .dataLength = 5,
     .status = 0,
     .filled = 11,
     .data = std::string("ABC\0D", 5),
     .asked = {{2, 3}}},
    {.what = "continuation wrapping past the header block",
     .prepare =
         [](FakeBlocks& f) {
           Poke(f.blocks[2], 0, {240, 0x66});  // other record, bytes 0-481
           PokeText(f.blocks[2], 2, "OTHERK");
           Poke(f.blocks[2], 482, {0x04, 0x26});  // the last part, met before its first part
           PokeText(f.blocks[2], 484, "CODCLICD");
           Poke(f.blocks[2], 492, {9, 0x66});  // other record to the end: bytes 492-511
           PokeText(f.blocks[2], 494, "OTHERL");
           Poke(f.blocks[3], 0, {250, 0x66});
           PokeText(f.blocks[3], 2, "OTHERM");
           Poke(f.blocks[3], 502, {0x04, 0x46});
           PokeText(f.blocks[3], 504, "CODCLIAB");
         },
     .status = 0,
     .data = "ABCD",
     .asked = {{2, 3, 1, 2}}},
    {.what = "parts ending early",
     .block2 = {0x04, 0x46, 'C', 'O', 'D', 'C', 'L', 'I', 'A', 'B'},
     .status = 4,
     .filled = 8},
    {.what = "a continuation that never ends stops after every block",
     .prepare =
         [](FakeBlocks& f) {
           UnfinishedFirstPart(f);
           FillWithOtherRecord(f.blocks[3], 0);
         },
     .status = 4,
     .asked = {{2, 3, 1, 2}}},
    {.what =
         "a first part holding the key alone, never continued: nothing beyond the key was copied",
     .prepare =
         [](FakeBlocks& f) {
           Poke(f.blocks[2], 0, {0x03, 0x46});  // L = 3
           PokeText(f.blocks[2], 2, "CODCLI");
           FillWithOtherRecord(f.blocks[2], 8);
           FillWithOtherRecord(f.blocks[3], 0);
         },
     .status = 3},
    {.what = "a continuation running past its block",
     .prepare =
         [](FakeBlocks& f) {
           Poke(f.blocks[2], 0, {0x04, 0x46});
           PokeText(f.blocks[2], 2, "CODCLIAB");
           Poke(f.blocks[2], 10, {246, 0x66});  // other record, bytes 10-503
           PokeText(f.blocks[2], 12, "OTHERK");
           Poke(f.blocks[2], 504,
                {0x20, 0x26});  // continuation (L = 32) at byte 504: its data would start at 512
           PokeText(f.blocks[2], 506, "CODCLI");
         },
     .status = 10},
    {.what = "the bucket cannot be read",
     .prepare = [](FakeBlocks& f) { f.unreadable.insert(2); },
     .status = 5},
    {.what = "the block of a continuation cannot be read",
     .prepare =
         [](FakeBlocks& f) {
           UnfinishedFirstPart(f);
           f.unreadable.insert(3);
         },
     .status = 5},
    {.what = "bucket count 0", .buckets = 0, .status = 5},
    {.what = "bucket count -3", .buckets = -3, .status = 5},
    {.what = "a bucket count far beyond the file reaches a missing block",
     .prepare = FillBothWithOtherRecords,
     .buckets = 2147483647,
     .status = 5},
};

TEST(SelfDescribingSearch, HandWrittenBlocks) {
  testing::CheckSearches(kLayoutSelfDescribing, kSelfDescribingSearches);
}

TEST(RetrieveRecord, DeclaredKeyLengthMustMatch) {
  FakeBlocks file = ThreeBlocks();
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  std::vector<std::string> shown;
  int32_t probeLimit = kInitialProbeLimit;
  const RecordQuery query{
      .record = record, .keyLength = 6, .bucketCount = 3, .declaredKeyLength = 8, .dataLength = 4};
  for (int layout : {kLayoutIndex, kLayoutSelfDescribing}) {
    const RetrieveOutcome outcome = RetrieveRecord(
        file, layout, query, probeLimit, [&](std::string_view t) { shown.emplace_back(t); });
    EXPECT_EQ(outcome.status, kStatusReadError);
  }
  EXPECT_EQ(shown, (std::vector<std::string>(
                       2, "Eroare interna (dev_ret: WL != klen). Anuntati Corvane!")));
  EXPECT_TRUE(file.asked.empty());
  EXPECT_EQ(probeLimit, kInitialProbeLimit);
}

TEST(RetrieveRecord, UnknownLayoutGivesFive) {
  FakeBlocks file = ThreeBlocks();
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  int32_t probeLimit = kInitialProbeLimit;
  const RecordQuery query{
      .record = record, .keyLength = 6, .bucketCount = 3, .declaredKeyLength = 6, .dataLength = 4};
  EXPECT_EQ(RetrieveRecord(file, kLayoutUnreadable, query, probeLimit).status, kStatusReadError);
  EXPECT_EQ(RetrieveRecord(file, 3, query, probeLimit).status, kStatusReadError);
}

TEST(RetrieveRecord, TotalLengthIsCutToTheRecordBuffer) {
  FakeBlocks file = ThreeBlocks();
  file.blocks[2] = BlockOf({0x07, 0x66, 'C', 'O', 'D', 'C', 'L', 'I', 1, 2, 3, 4, 5, 6, 7, 8});
  std::array<char, 10> record{'C', 'O', 'D', 'C', 'L', 'I'};
  int32_t probeLimit = kInitialProbeLimit;
  const RecordQuery query{.record = record,
                          .keyLength = 6,
                          .bucketCount = 3,
                          .declaredKeyLength = 6,
                          .dataLength = 400};
  const RetrieveOutcome outcome = RetrieveRecord(file, kLayoutSelfDescribing, query, probeLimit);
  EXPECT_EQ(outcome.status, kStatusFound);
  EXPECT_EQ(outcome.filled, 10);
}

}  // namespace
}  // namespace velmora::docstore
