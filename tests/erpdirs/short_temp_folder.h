#pragma once
// Windows test helpers: a fresh folder with a short path (so that the 40-
// character path fields hold it whole) and a guard that puts the current
// directory back.

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::erpdirs::testing {

class ShortTempFolder {
 public:
  ShortTempFolder();
  ShortTempFolder(const ShortTempFolder&) = delete;
  ShortTempFolder& operator=(const ShortTempFolder&) = delete;
  ~ShortTempFolder();

  // The folder with a trailing '\', such as C:\vt1234-0\ .
  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + std::string(name); }

 private:
  std::string path_;
};

// Makes a folder and every folder above it.
void MakeFolders(const std::string& path);

// Puts the current directory back at the end of a test.
class KeepCurrentDirectory {
 public:
  KeepCurrentDirectory();
  KeepCurrentDirectory(const KeepCurrentDirectory&) = delete;
  KeepCurrentDirectory& operator=(const KeepCurrentDirectory&) = delete;
  ~KeepCurrentDirectory();

 private:
  std::string saved_;
};

bool FileExists(const std::string& path);

}  // namespace velmora::erpdirs::testing
