#pragma once
// DIRERP.DAT, the suite-level directory file in the ERP directory: four
// records of 512 bytes. Record 3 holds where the documents module and the
// three company folders lie; the rest belongs to the other programs.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "erpdirs/directory_file.h"

namespace velmora::erpdirs {

inline constexpr int kErpDirectoryRecords = 4;
using ErpDirectoryImage = std::array<char, kErpDirectoryRecords * kRecordSize>;

// Offsets in the whole image (record 3 starts at 1024).
inline constexpr std::size_t kErpDocumentsDirectory = 1024;       // suite root + "VANTOR"
inline constexpr std::size_t kErpAccountingFolder = 1024 + 40;    // suite root + "KELBAR\FIRMA"
inline constexpr std::size_t kErpPayrollFolder = 1024 + 80;       // suite root + "MORVIN\FIRMA"
inline constexpr std::size_t kErpFixedAssetsFolder = 1024 + 120;  // suite root + "TESSLO\FIRMA"

// All blanks, 0 in the 32-bit integer at offset 12 of record 1.
void SetErpDirectoryDefaults(std::span<char> image);

// Record 3's four path fields for a suite root that ends in '\'.
void SetErpDirectoryPaths(std::span<char> image, std::string_view suiteRoot);

extern const DirectoryFileKind kErpDirectoryFile;

}  // namespace velmora::erpdirs
