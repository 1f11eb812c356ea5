#pragma once
// Windows test helpers: a fresh folder right under C:\ (so that the suite's
// 40-character path fields hold its paths whole) and a guard that puts the
// current directory back.

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::testing {

// C:\<stem><process>-<n>\ , emptied first and removed at the end.
class ShortTempFolder {
 public:
  explicit ShortTempFolder(std::string_view stem = "vt");
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

}  // namespace velmora::testing
