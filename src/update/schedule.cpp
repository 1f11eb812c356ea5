#include "update/schedule.h"

#include <windows.h>

#include "common/win_handles.h"
#include "update/slide_table.h"

namespace velmora::update {
namespace {

// 200 slides of four lines of at most 1000 characters bound what can matter.
constexpr std::size_t kScheduleReadLimit = 1'000'000;

}  // namespace

bool ReadScheduleFile(const std::string& path, std::string& text) {
  AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  char chunk[4096];
  DWORD read = 0;
  while (text.size() < kScheduleReadLimit &&
         ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
    text.append(chunk, read);
  return true;
}

void LoadSchedule(std::string_view directory) {
  std::string text;
  if (!ReadScheduleFile(std::string(directory) + "\\velmora.scn", text)) return;
  Slides() = ParseSchedule(text, directory);
}

}  // namespace velmora::update
