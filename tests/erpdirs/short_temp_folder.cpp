#include "short_temp_folder.h"

#include <atomic>
#include <filesystem>

namespace velmora::erpdirs::testing {

ShortTempFolder::ShortTempFolder() {
  static std::atomic<int> counter{0};
  // Under C:\ so that the paths stay short; the process id keeps parallel runs apart.
  path_ = "C:\\vt" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + "\\";
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  std::filesystem::create_directories(path_);
}

ShortTempFolder::~ShortTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

KeepCurrentDirectory::KeepCurrentDirectory() {
  char buffer[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  saved_ = buffer;
}
KeepCurrentDirectory::~KeepCurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace velmora::erpdirs::testing
