#pragma once
// Record files named relative to the process's current directory, opened
// with shared read and write access: the suite's other programs may hold the
// same files open at any time, and nobody locks them.

#include <memory>
#include <string>
#include <string_view>

#include "erpdirs/record_files.h"

namespace velmora::erpdirs {

class CurrentDirectoryFiles final : public RecordFileSystem {
 public:
  bool Exists(std::string_view name) override;
  std::unique_ptr<RecordFile> CreateNew(std::string_view name) override;
  std::unique_ptr<RecordFile> OpenExisting(std::string_view name) override;
  bool Remove(std::string_view name) override;
};

// Opens `name` for reading and writing, creating it when missing.
std::unique_ptr<RecordFile> OpenOrCreateRecordFile(std::string_view name);

// The current directory, however long; empty when it cannot be read.
std::string CurrentDirectory();

// True when the process is now in `path` (trailing blanks ignored). A path
// whose second character is ':' first makes that drive current (letters A to
// Z only) and then changes to the rest of the path.
bool ChangeToDirectory(std::string_view path);

}  // namespace velmora::erpdirs
