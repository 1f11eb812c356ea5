#pragma once
// Field writers for record images: blank-padded texts, the 40-character path
// fields and little-endian reals. Integers use the helpers of fixed_text.h.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velmora::erpdirs {

inline constexpr std::size_t kPathFieldWidth = 40;

// Copies `text` into image[offset, offset + width), cut or blank-padded.
void SetTextField(std::span<char> image, std::size_t offset, std::size_t width,
                  std::string_view text);

// A 40-character path field: the text cut at 40 characters or blank-padded.
inline void SetPathField(std::span<char> image, std::size_t offset, std::string_view path) {
  SetTextField(image, offset, kPathFieldWidth, path);
}

// Where a module's directory file keeps the three paths refreshed at every start.
struct ModulePathFields {
  std::size_t erpDirectory, accountingData, documentsDirectory;
};
inline void SetModulePaths(std::span<char> image, const ModulePathFields& at,
                           std::string_view erpDirectory, std::string_view accountingData,
                           std::string_view documentsDirectory) {
  SetPathField(image, at.erpDirectory, erpDirectory);
  SetPathField(image, at.accountingData, accountingData);
  SetPathField(image, at.documentsDirectory, documentsDirectory);
}

// The field as it stands (blank padding included).
std::string TextField(std::span<const char> image, std::size_t offset, std::size_t width);

// IEEE 754 double precision, little-endian.
void WriteDouble(std::span<char> image, std::size_t offset, double value);

}  // namespace velmora::erpdirs
