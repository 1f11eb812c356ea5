#pragma once
// DIRKEL.DAT, the accounting module's directory and settings file in its
// company folder: four records of 512 bytes. This program writes the initial
// settings of a new file and refreshes three path fields of record 2; every
// other byte belongs to the accounting module and is carried through.

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

#include "erpdirs/directory_file.h"
#include "erpdirs/image_fields.h"

namespace velmora::erpdirs {

inline constexpr int kAccountingDirectoryRecords = 4;
using AccountingDirectoryImage = std::array<char, kAccountingDirectoryRecords * kRecordSize>;

// Path fields in the whole image (record 2 starts at 512).
inline constexpr std::size_t kAccountingDataFolder = 512 + 110;  // suite root + "KELBAR\FILEGEN"
inline constexpr std::size_t kAccountingDocumentsDirectory = 512 + 150;  // suite root + "VANTOR"
inline constexpr std::size_t kAccountingErpDirectory = 512 + 190;        // the start directory

void SetAccountingDirectoryDefaults(std::span<char> image);
inline constexpr ModulePathFields kAccountingPathFields{
    kAccountingErpDirectory, kAccountingDataFolder, kAccountingDocumentsDirectory};

extern const DirectoryFileKind kAccountingDirectoryFile;

}  // namespace velmora::erpdirs
