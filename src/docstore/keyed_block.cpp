#include "docstore/keyed_block.h"

#include <algorithm>
#include <cstring>

#include "common/fixed_text.h"

namespace velmora::docstore {

bool MemoryBlockReader::ReadBlock(int32_t number, Block& block) {
  ++reads_;
  if (number < 1) return false;
  const auto start = static_cast<uint64_t>(number - 1) * kBlockSize;
  if (start + kBlockSize > image_.size()) return false;
  std::memcpy(block.data(), image_.data() + start, kBlockSize);
  return true;
}

uint16_t WordAt(const Block& block, std::size_t offset) {
  return static_cast<uint16_t>(ReadInt16(block, offset));
}

bool IsSelfDescribingHeader(const Block& block) {
  if (WordAt(block, 0) != kHeaderMagic) return false;
  const auto stars = std::span<const char>(block).subspan(kHeaderStarsOffset, kHeaderStarsLength);
  if (!std::all_of(stars.begin(), stars.end(), [](char c) { return c == '*'; })) return false;
  return HeaderBucketCount(block) > 0;
}

int32_t HeaderBucketCount(const Block& block) { return ReadInt32(block, kHeaderBucketCountOffset); }

int32_t ObiBucketCount(const Block& obiBlock1) {
  return ReadInt32(obiBlock1, kObiBucketCountOffset);
}

std::string KeyedFilePath(std::string_view directory, std::string_view name) {
  constexpr std::size_t kMaxPath = 256;
  directory = directory.substr(0, directory.find('\0'));
  name = name.substr(0, name.find('\0'));
  std::string path(TrimTrailingBlanks(directory));
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += TrimTrailingBlanks(name);
  if (path.size() > kMaxPath) path.resize(kMaxPath);
  return path;
}

}  // namespace velmora::docstore
