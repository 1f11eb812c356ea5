#include "update/schedule.h"

#include <windows.h>

#include <string>

#include "common/win_handles.h"
#include "update/slide_table.h"

namespace velmora::update {

void LoadSchedule(std::string_view directory) {
  const std::string path = std::string(directory) + "\\velmora.scn";
  AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  std::string text;
  char chunk[4096];
  DWORD read = 0;
  // 200 slides of four lines of at most 1000 characters bound what can matter.
  while (text.size() < 1'000'000 && ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
    text.append(chunk, read);
  Slides() = ParseSchedule(text, directory);
}

}  // namespace velmora::update
