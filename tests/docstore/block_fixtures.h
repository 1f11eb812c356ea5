#pragma once
// Blocks for the keyed-store tests, written out byte by byte in the tests
// themselves, and a reader over them that can refuse chosen blocks and
// remembers which blocks were asked for.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "docstore/keyed_block.h"

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
  Poke(block, 18, {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                   static_cast<uint8_t>(v >> 24)});
  return block;
}

}  // namespace velmora::docstore::testing
