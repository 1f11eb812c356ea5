#include "support/short_folder.h"

#include <filesystem>

namespace velmora::testing {

void MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace velmora::testing
