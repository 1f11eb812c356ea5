#pragma once
// Blocks for the keyed-store tests, written out byte by byte in the tests
// themselves, and a reader over them that can refuse chosen blocks and
// remembers which blocks were asked for.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "docstore/keyed_block.h"
#include "docstore/record_search.h"

namespace velmora::docstore::testing {

// A block that starts with `bytes`, zero after them.
inline Block BlockOf(std::initializer_list<uint8_t> bytes) {
  Block block{};
  std::size_t i = 0;
  for (uint8_t b : bytes) block[i++] = static_cast<char>(b);
  return block;
}

// Puts `bytes` into `block` at `offset`.
inline void Poke(Block& block, std::size_t offset, std::initializer_list<uint8_t> bytes) {
  for (uint8_t b : bytes) block[offset++] = static_cast<char>(b);
}

inline void PokeText(Block& block, std::size_t offset, const std::string& text) {
  for (char c : text) block[offset++] = c;
}

class FakeBlocks final : public BlockReader {
 public:
  std::map<int32_t, Block> blocks;
  std::set<int32_t> unreadable;
  std::vector<int32_t> asked;

  bool ReadBlock(int32_t number, Block& block) override {
    asked.push_back(number);
    if (unreadable.count(number) != 0) return false;
    const auto it = blocks.find(number);
    if (it == blocks.end()) return false;
    block = it->second;
    return true;
  }
};

// Every block 1..count present and zero (an empty file).
inline FakeBlocks EmptyFile(int32_t count) {
  FakeBlocks file;
  for (int32_t n = 1; n <= count; ++n) file.blocks[n] = Block{};
  return file;
}

// The self-describing header: 70FF, sixteen '*', bucket count (LE 32-bit).
inline Block HeaderBlock(int32_t bucketCount) {
  Block block = BlockOf({0xFF, 0x70});
  PokeText(block, 2, "****************");
  const auto v = static_cast<uint32_t>(bucketCount);
  Poke(block, 18,
       {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
        static_cast<uint8_t>(v >> 24)});
  return block;
}

// One retrieval of the key "CODCLI" from a file of 3 buckets (block 1 is the
// header in the self-describing layout) whose blocks 2 and 3 begin with the
// given bytes. Statuses are written as the callers see them.
struct SearchCase {
  const char* what = "";
  std::vector<uint8_t> block2 = {}, block3 = {};
  void (*prepare)(FakeBlocks&) = nullptr;  // anything further the case needs
  int32_t dataLength = 4;                  // room for data after the key
  int32_t buckets = 3;
  int16_t status = 0;
  int32_t filled = -1;  // -1: not checked
  std::optional<std::string> data = std::nullopt;
  std::optional<std::vector<int32_t>> asked = std::nullopt;  // blocks read, in order
};

inline void CheckSearches(int layout, std::span<const SearchCase> cases) {
  for (const SearchCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeBlocks file = EmptyFile(3);
    if (layout == kLayoutSelfDescribing) file.blocks[1] = HeaderBlock(3);
    std::copy(c.block2.begin(), c.block2.end(), file.blocks[2].begin());
    std::copy(c.block3.begin(), c.block3.end(), file.blocks[3].begin());
    if (c.prepare) c.prepare(file);
    std::string record = "CODCLI" + std::string(static_cast<std::size_t>(c.dataLength), '\0');
    int32_t probeLimit = kInitialProbeLimit;
    const RecordQuery query{.record = record,
                            .keyLength = 6,
                            .bucketCount = c.buckets,
                            .declaredKeyLength = 6,
                            .dataLength = c.dataLength};
    const RetrieveOutcome outcome = RetrieveRecord(file, layout, query, probeLimit);
    EXPECT_EQ(outcome.status, c.status);
    if (c.filled >= 0) {
      EXPECT_EQ(outcome.filled, c.filled);
    }
    if (c.data) {
      EXPECT_EQ(record.substr(6), *c.data);
    }
    if (c.asked) {
      EXPECT_EQ(file.asked, *c.asked);
    }
  }
}

}  // namespace velmora::docstore::testing
