#pragma once
// Test stand-ins for the message-box and sound seams: while a recorder lives,
// every box and every sound is recorded instead of shown or played.

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "common/ui_seams.h"

namespace velmora::testing {

struct RecordedBox {
  HWND owner;
  std::string text, caption;
  UINT style;
  bool operator==(const RecordedBox&) const = default;
};
inline void PrintTo(const RecordedBox& box, std::ostream* out) {
  *out << "{owner " << box.owner << ", \"" << box.text << "\", \"" << box.caption << "\", style 0x"
       << std::hex << box.style << std::dec << "}";
}
using BoxList = std::vector<RecordedBox>;

class BoxRecorder {
 public:
  explicit BoxRecorder(int answer = IDOK) : previous_(SetMessageBoxHandler(&Record)) {
    Boxes().clear();
    Answer() = answer;
  }
  ~BoxRecorder() { SetMessageBoxHandler(previous_); }
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  static std::vector<RecordedBox>& Boxes() {
    static std::vector<RecordedBox> boxes;
    return boxes;
  }
  static std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const RecordedBox& box : Boxes()) texts.push_back(box.text);
    return texts;
  }
  // The button every box answers with; a test may change it between boxes.
  static int& Answer() {
    static int answer = IDOK;
    return answer;
  }

 private:
  static int Record(HWND owner, const char* text, const char* caption, UINT style) {
    Boxes().push_back({owner, text, caption, style});
    return Answer();
  }
  MessageBoxHandler previous_;
};

struct RecordedSound {
  const char* sound;  // a file name, or a resource id made with MAKEINTRESOURCEA
  DWORD flags;
  uintptr_t ResourceId() const { return reinterpret_cast<uintptr_t>(sound); }
};

class SoundRecorder {
 public:
  SoundRecorder() : previous_(SetPlaySoundHandler(&Record)) { Sounds().clear(); }
  ~SoundRecorder() { SetPlaySoundHandler(previous_); }
  SoundRecorder(const SoundRecorder&) = delete;
  SoundRecorder& operator=(const SoundRecorder&) = delete;

  static std::vector<RecordedSound>& Sounds() {
    static std::vector<RecordedSound> sounds;
    return sounds;
  }

 private:
  static BOOL Record(const char* sound, HMODULE, DWORD flags) {
    Sounds().push_back({sound, flags});
    return TRUE;
  }
  PlaySoundHandler previous_;
};

}  // namespace velmora::testing
