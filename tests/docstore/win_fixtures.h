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

namespace velmora::docstore::testing {

struct Box {
  std::string text, caption;
  UINT style;
};

// Records every message box instead of showing it.
class BoxRecorder {
 public:
  BoxRecorder() : previous_(SetMessageBoxHandler(&Record)) { Boxes().clear(); }
  ~BoxRecorder() { SetMessageBoxHandler(previous_); }
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  static std::vector<Box>& Boxes() {
    static std::vector<Box> boxes;
    return boxes;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Box& box : Boxes()) texts.push_back(box.text);
    return texts;
  }

 private:
  static int Record(HWND, const char* text, const char* caption, UINT style) {
    Boxes().push_back({text, caption, style});
    return IDOK;
  }
  MessageBoxHandler previous_;
};

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
