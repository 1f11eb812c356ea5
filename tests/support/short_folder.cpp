#include "support/short_folder.h"

#include <atomic>
#include <filesystem>

#include "support/driver.h"

namespace velmora::testing {

ShortTempFolder::ShortTempFolder(std::string_view stem) {
  static std::atomic<int> counter{0};
  // The process id keeps parallel runs apart.
  path_ = "C:\\" + std::string(stem) + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + "\\";
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
  std::filesystem::create_directories(path_);
}

ShortTempFolder::~ShortTempFolder() {
  // A program started in it that is still ending may hold its exe for a moment.
  WaitUntil(
      [&] {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
        return !error;
      },
      3000ms);
}

void MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

KeepCurrentDirectory::KeepCurrentDirectory() {
  char buffer[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  saved_ = buffer;
}
KeepCurrentDirectory::~KeepCurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace velmora::testing
