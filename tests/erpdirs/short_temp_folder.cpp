#include "short_temp_folder.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/ui_seams.h"

namespace velmora::erpdirs::testing {
namespace {

std::vector<ShownBox>& Boxes() {
  static std::vector<ShownBox> boxes;
  return boxes;
}

int RecordBox(HWND owner, const char* text, const char* caption, UINT style) {
  Boxes().push_back({owner, text, caption, style});
  return IDOK;
}

}  // namespace

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

MessageBoxRecorder::MessageBoxRecorder() {
  Boxes().clear();
  SetMessageBoxHandler(&RecordBox);
}
MessageBoxRecorder::~MessageBoxRecorder() { SetMessageBoxHandler(nullptr); }
const std::vector<ShownBox>& MessageBoxRecorder::boxes() const { return Boxes(); }
void MessageBoxRecorder::clear() { Boxes().clear(); }

KeepCurrentDirectory::KeepCurrentDirectory() {
  char buffer[MAX_PATH * 2] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  saved_ = buffer;
}
KeepCurrentDirectory::~KeepCurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace velmora::erpdirs::testing
