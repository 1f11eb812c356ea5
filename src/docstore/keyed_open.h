#pragma once
// What opening a keyed file learns from the file's block 1 and, for the
// index layout, from block 1 of obi.dat: the layout and the bucket count.
// The Windows side opens and closes the files; the decisions and messages
// are here so that they can be checked over in-memory blocks.

#include <cstdint>
#include <string>
#include <string_view>

#include "docstore/keyed_block.h"
#include "docstore/record_search.h"

namespace velmora::docstore {

inline constexpr std::string_view kObiBlock1ReadErrorText = "Eroare citire bloc 1 din obi.dat!";
inline constexpr std::string_view kObiHeaderReadErrorText =
    "** Eroare citire Header fisier OBI.DAT **";
inline constexpr std::string_view kDevBlock1ReadErrorText = "Eroare citire bloc 1 din dev.dat";
inline constexpr std::string_view kObiOpenErrorText = "Eroare deschidere obi.dat!";

// "Eroare deschidere " + path.
std::string OpenErrorText(std::string_view path);
// "Eroare la citire bloc 1 din " + path.
std::string Block1ReadErrorText(std::string_view path);

struct KeyedFileFacts {
  int16_t status = 1;  // 0 when the file can be searched
  int layout = kLayoutUnreadable;
  int32_t bucketCount = 0;
};

// Block 1 of the file decides the layout. A self-describing header gives its
// own bucket count; otherwise the layout is the index one and the bucket
// count is read from obi.dat when `obi` is given (0 without it). Failures
// show their message and give status 1.
KeyedFileFacts ExamineKeyedFile(BlockReader& file, BlockReader* obi, std::string_view path,
                                const ErrorSink& showError);

// The bucket count of a dev.dat that is open already: its own header's, or
// the one in obi.dat's block 1. Status 1 (and the message) when a block 1
// cannot be read.
KeyedFileFacts ExamineOpenDevFile(BlockReader& dev, BlockReader& obi, const ErrorSink& showError);

}  // namespace velmora::docstore
