#include "erpdirs/fixed_assets_directory_image.h"

#include <algorithm>

#include "common/fixed_text.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {
namespace {

struct Coefficient {
  int16_t lower;
  int16_t upper;
  double factor;
};
constexpr Coefficient kCoefficients[] = {{2, 5, 1.5}, {5, 10, 2.0}, {10, 30000, 2.5}};

}  // namespace

void SetFixedAssetsDirectoryDefaults(std::span<char> image) {
  std::fill(image.begin(), image.end(), ' ');

  WriteInt32(image.subspan(0, kRecordSize), 13, 0);  // unaligned, as the module stores it

  const auto record2 = image.subspan(kRecordSize, kRecordSize);
  const int16_t settings[] = {0, 0, 0, 0, 1, 1, 50};
  for (std::size_t i = 0; i < std::size(settings); ++i) WriteInt16(record2, 2 * i, settings[i]);
  for (std::size_t i = 0; i < std::size(kCoefficients); ++i) {
    const std::size_t row = 280 + 12 * i;
    WriteInt16(record2, row, kCoefficients[i].lower);
    WriteInt16(record2, row + 2, kCoefficients[i].upper);
    WriteDouble(record2, row + 4, kCoefficients[i].factor);
  }

  // Record 3: 16 stock locations of 32 bytes, a number and a 30-character name.
  const auto record3 = image.subspan(2 * kRecordSize, kRecordSize);
  for (std::size_t i = 0; i < 16; ++i) WriteInt16(record3, 32 * i, 0);
  WriteInt16(record3, 0, 1);
  SetTextField(record3, 2, 30, "Gestiunea 1");
}

const DirectoryFileKind kFixedAssetsDirectoryFile{"DIRTES.DAT", kFixedAssetsDirectoryRecords,
                                                  &SetFixedAssetsDirectoryDefaults,
                                                  &ReadDirectoryRecords};

}  // namespace velmora::erpdirs
