#include "docstore/file_blocks.h"

namespace velmora::docstore {

bool FileBlockReader::ReadBlock(int32_t number, Block& block) {
  if (number < 1 || file_ == nullptr || file_ == INVALID_HANDLE_VALUE) return false;
  const ULONGLONG offset = static_cast<ULONGLONG>(number - 1) * kBlockSize;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  return ReadFile(file_, block.data(), static_cast<DWORD>(kBlockSize), &got, &at) != FALSE &&
         got == kBlockSize;
}

HANDLE OpenSharedForReading(const char* path) {
  return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace velmora::docstore
