#pragma once
// DIRTES.DAT, the fixed-assets module's directory and settings file in its
// company folder: four records of 512 bytes. This program writes the initial
// settings of a new file and refreshes three path fields of record 2.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "erpdirs/directory_file.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {

inline constexpr int kFixedAssetsDirectoryRecords = 4;
using FixedAssetsDirectoryImage = std::array<char, kFixedAssetsDirectoryRecords * kRecordSize>;

// Path fields in the whole image (record 2 starts at 512).
inline constexpr std::size_t kFixedAssetsErpDirectory = 512 + 80;
inline constexpr std::size_t kFixedAssetsDocumentsDirectory = 512 + 120;  // suite root + "VANTOR"
inline constexpr std::size_t kFixedAssetsAccountingFolder =
    512 + 160;  // suite root + "KELBAR\FIRMA"

void SetFixedAssetsDirectoryDefaults(std::span<char> image);
inline constexpr ModulePathFields kFixedAssetsPathFields{
    kFixedAssetsErpDirectory, kFixedAssetsAccountingFolder, kFixedAssetsDocumentsDirectory};

extern const DirectoryFileKind kFixedAssetsDirectoryFile;

}  // namespace velmora::erpdirs
