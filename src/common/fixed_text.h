#pragma once
// Fixed-length, blank-padded texts as they stand in files, on the wire and in
// window texts. Inside the program texts are std::string; these helpers sit at
// the edges.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora {

// The text without its trailing blanks.
std::string_view TrimTrailingBlanks(std::string_view text);

// Length of the text without trailing blanks.
inline std::size_t TrimmedLength(std::string_view text) { return TrimTrailingBlanks(text).size(); }

// `text` cut or blank-padded to exactly `width` characters.
std::string PadToWidth(std::string_view text, std::size_t width);

// Copies `text` into `field`, cutting it to the field and filling the rest with blanks.
void CopyIntoField(std::span<char> field, std::string_view text);

// Decimal `value` right-aligned in `width` columns (wider numbers keep all digits).
std::string RightAligned(long long value, std::size_t width);

// Little-endian integers inside byte images.
int16_t ReadInt16(std::span<const char> bytes, std::size_t offset);
int32_t ReadInt32(std::span<const char> bytes, std::size_t offset);
void WriteInt16(std::span<char> bytes, std::size_t offset, int16_t value);
void WriteInt32(std::span<char> bytes, std::size_t offset, int32_t value);

}  // namespace velmora
