#include "shell/start_files.h"

#include <mmsystem.h>

#include "common/ui_seams.h"
#include "common/win_handles.h"
#include "shell/startup_rules.h"

namespace velmora::shell {

int16_t ReadGreetingToggle(const std::string& path) {
  AutoHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  unsigned char bytes[2] = {0, 0};
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes, 2, &read, nullptr) || read != 2) return 0;
  return static_cast<int16_t>(bytes[0] | (bytes[1] << 8));
}

void WriteGreetingToggle(const std::string& path, int16_t value) {
  AutoHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const auto bits = static_cast<uint16_t>(value);
  const unsigned char bytes[2] = {static_cast<unsigned char>(bits & 0xFF),
                                  static_cast<unsigned char>(bits >> 8)};
  DWORD written = 0;
  WriteFile(file.get(), bytes, 2, &written, nullptr);
}

void PlayGreeting(HINSTANCE instance, const std::string& togglePath) {
  const Greeting greeting = GreetingFor(ReadGreetingToggle(togglePath));
  PlaySoundSeam(MAKEINTRESOURCEA(greeting.waveResource), instance, SND_RESOURCE | SND_ASYNC);
  WriteGreetingToggle(togglePath, greeting.nextValue);
}

}  // namespace velmora::shell
