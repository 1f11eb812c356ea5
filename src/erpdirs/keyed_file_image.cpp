#include "erpdirs/keyed_file_image.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "erpdirs/primes.h"

namespace velmora::erpdirs {
namespace {
constexpr int32_t kEmptyBlocksPerWrite = 128;
}  // namespace

Record KeyedFileHeader(int32_t blockCount) {
  Record header;
  header.fill('\0');
  WriteInt16(header, 0, kKeyedFileMagic);
  for (std::size_t i = 2; i < 18; ++i) header[i] = '*';
  WriteInt32(header, 18, LargestPrimeNotAbove(blockCount));
  return header;
}

int16_t CreateKeyedFile(RecordFileSystem& files, std::string_view name, int32_t blockCount) {
  if (blockCount <= 2) return 1;
  const std::string fileName(TrimTrailingBlanks(name));
  auto file = files.CreateNew(fileName);
  if (!file) return 1;
  // The empty blocks go out in runs: a megabyte written block by block
  // takes thousands of calls, which a new suite's first start waits for.
  const std::vector<char> run(kEmptyBlocksPerWrite * kRecordSize, '\0');
  bool written = true;
  for (int32_t n = 1; n <= blockCount && written; n += kEmptyBlocksPerWrite) {
    const auto blocks =
        static_cast<std::size_t>(std::min(kEmptyBlocksPerWrite, blockCount - n + 1));
    written = file->WriteRecords(n, std::span(run).first(blocks * kRecordSize));
  }
  if (written) written = file->WriteRecord(1, KeyedFileHeader(blockCount));
  file.reset();
  if (!written) {
    files.Remove(fileName);
    return 1;
  }
  return 0;
}

}  // namespace velmora::erpdirs
