#pragma once
// A fresh folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::testing {

class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  // Full path of a name inside the folder, as the native API spells it.
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& file);
// The lines of a text without their ends (LF or CR LF); a last line without an end counts.
std::vector<std::string> TextLines(std::string_view text);
void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);
// WriteFileBytes after making the folders the file lies in.
void PutFileBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace velmora::testing
