#include "common/fixed_text.h"

#include <algorithm>
#include <cstring>

namespace velmora {

std::string_view TrimTrailingBlanks(std::string_view text) {
  const auto last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

std::string PadToWidth(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, std::min(text.size(), width)));
  out.resize(width, ' ');
  return out;
}

void CopyIntoField(std::span<char> field, std::string_view text) {
  const std::size_t n = std::min(text.size(), field.size());
  std::memcpy(field.data(), text.data(), n);
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(n), field.end(), ' ');
}

std::string RightAligned(long long value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (digits.size() >= width) return digits;
  return std::string(width - digits.size(), ' ') + digits;
}

namespace {
template <typename T>
T ReadLittleEndian(std::span<const char> bytes, std::size_t offset) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    v |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
  return static_cast<T>(v);
}
template <typename T>
void WriteLittleEndian(std::span<char> bytes, std::size_t offset, T value) {
  auto v = static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<T>>(value));
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bytes[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
}  // namespace

int16_t ReadInt16(std::span<const char> bytes, std::size_t offset) {
  return ReadLittleEndian<int16_t>(bytes, offset);
}
int32_t ReadInt32(std::span<const char> bytes, std::size_t offset) {
  return ReadLittleEndian<int32_t>(bytes, offset);
}
void WriteInt16(std::span<char> bytes, std::size_t offset, int16_t value) {
  WriteLittleEndian(bytes, offset, value);
}
void WriteInt32(std::span<char> bytes, std::size_t offset, int32_t value) {
  WriteLittleEndian(bytes, offset, value);
}

}  // namespace velmora
