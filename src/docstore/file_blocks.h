#pragma once
// Blocks of an open file, read at their offset without moving anything the
// caller relies on.

#include <windows.h>

#include "docstore/keyed_block.h"

namespace velmora::docstore {

class FileBlockReader final : public BlockReader {
 public:
  explicit FileBlockReader(HANDLE file) : file_(file) {}
  bool ReadBlock(int32_t number, Block& block) override;

 private:
  HANDLE file_;
};

// Opens an existing file for reading with shared read and write access: the
// documents module may have it open and write it meanwhile.
HANDLE OpenSharedForReading(const char* path);

}  // namespace velmora::docstore
