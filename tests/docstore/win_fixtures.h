#pragma once
// Shared pieces of the Windows tests: a recorder for the error boxes and a
// temporary folder made the current directory.

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/ui_seams.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::docstore::testing {

using Box = velmora::testing::RecordedBox;
using velmora::testing::BoxRecorder;

// A fresh folder right under C:\, so that its path fits the 40-character
// directory fields; removed with its content at the end.
class ShortTempDir {
 public:
  ShortTempDir() {
    static int counter = 0;
    path_ = "C:\\ds" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    std::filesystem::create_directories(path_);
  }
  ~ShortTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ShortTempDir(const ShortTempDir&) = delete;
  ShortTempDir& operator=(const ShortTempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }

 private:
  std::string path_;
};

// Makes a folder the current directory while this lives.
class InDirectory {
 public:
  explicit InDirectory(const std::string& path) {
    char saved[MAX_PATH * 2]{};
    GetCurrentDirectoryA(sizeof saved, saved);
    saved_ = saved;
    SetCurrentDirectoryA(path.c_str());
  }
  ~InDirectory() { SetCurrentDirectoryA(saved_.c_str()); }
  InDirectory(const InDirectory&) = delete;
  InDirectory& operator=(const InDirectory&) = delete;

 private:
  std::string saved_;
};

}  // namespace velmora::docstore::testing
