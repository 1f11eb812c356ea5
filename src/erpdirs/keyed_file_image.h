#pragma once
// Creation of an empty keyed file of the documents-module family: blocks of
// 512 zero bytes, block 1 a header naming the bucket count. The accounting
// company folder needs one such file, TERTIDC.DAT.

#include <cstdint>
#include <string_view>

#include "erpdirs/record_files.h"

namespace velmora::erpdirs {

inline constexpr int16_t kKeyedFileMagic = 28927;  // 70FF
inline constexpr int32_t kTertiaryKeyedFileBlocks = 2000;

// Block 1 of a new file: the magic value, sixteen '*' and the bucket count
// (the largest prime not above the block count); zero bytes elsewhere.
Record KeyedFileHeader(int32_t blockCount);

// Creates `name` (trailing blanks ignored) as a new file of `blockCount`
// empty blocks. Returns 0, or 1 when the count is 2 or less, the file exists
// or cannot be created, or a write fails. A file this call created but could
// not finish is removed, so no headerless file is left behind.
int16_t CreateKeyedFile(RecordFileSystem& files, std::string_view name, int32_t blockCount);

}  // namespace velmora::erpdirs
