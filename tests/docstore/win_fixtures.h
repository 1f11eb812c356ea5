#pragma once
// Shared pieces of the Windows tests: a recorder for the error boxes and a
// short temporary folder made the current directory.

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/ui_seams.h"
#include "support/short_folder.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"

namespace velmora::docstore::testing {

using Box = velmora::testing::RecordedBox;
using velmora::testing::BoxRecorder;

// A fresh folder right under C:\, so that its path fits the 40-character
// directory fields; removed with its content at the end.
class ShortTempDir : public velmora::testing::ShortTempFolder {
 public:
  ShortTempDir() : ShortTempFolder("ds") {}
  // The folder as the directory fields and the messages name it: without
  // its trailing '\'.
  std::string name() const { return path().substr(0, path().size() - 1); }
};

// Makes a folder the current directory while this lives.
class InDirectory {
 public:
  explicit InDirectory(const std::string& path) { SetCurrentDirectoryA(path.c_str()); }

 private:
  velmora::testing::KeepCurrentDirectory keep_;  // saved before the change above
};

}  // namespace velmora::docstore::testing
