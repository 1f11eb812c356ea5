#include "erpdirs/image_fields.h"

#include <bit>

#include "common/fixed_text.h"

namespace velmora::erpdirs {

void SetTextField(std::span<char> image, std::size_t offset, std::size_t width,
                  std::string_view text) {
  CopyIntoField(image.subspan(offset, width), text);
}

std::string TextField(std::span<const char> image, std::size_t offset, std::size_t width) {
  const auto field = image.subspan(offset, width);
  return {field.begin(), field.end()};
}

void WriteDouble(std::span<char> image, std::size_t offset, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < 8; ++i)
    image[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

}  // namespace velmora::erpdirs
