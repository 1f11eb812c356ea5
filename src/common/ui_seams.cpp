#include "common/ui_seams.h"

#include <mmsystem.h>

#include <atomic>

#include "common/fixed_text.h"
#include "common/wide_text.h"

namespace velmora {
namespace {

int RealMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  return MessageBoxW(owner, WideFromCp1250(text).c_str(), WideFromCp1250(caption).c_str(), style);
}
BOOL RealPlaySound(const char* sound, HMODULE module, DWORD flags) {
  return PlaySoundA(sound, module, flags);
}

std::atomic<MessageBoxHandler> g_messageBox{&RealMessageBox};
std::atomic<PlaySoundHandler> g_playSound{&RealPlaySound};

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return g_messageBox.exchange(handler ? handler : &RealMessageBox);
}

PlaySoundHandler SetPlaySoundHandler(PlaySoundHandler handler) {
  return g_playSound.exchange(handler ? handler : &RealPlaySound);
}

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style) {
  const std::string zText(text), zCaption(caption);
  return g_messageBox.load()(owner, zText.c_str(), zCaption.c_str(), style);
}

void ShowErrorBox(std::string_view text) {
  ShowMessageBox(nullptr, text, "Eroare", MB_TOPMOST | MB_SYSTEMMODAL | MB_ICONWARNING);
}

bool PlaySoundSeam(const char* sound, HMODULE module, DWORD flags) {
  return g_playSound.load()(sound, module, flags) != FALSE;
}

std::string WindowsErrorText(unsigned long code, std::string_view what) {
  return "Eroare [" + RightAligned(static_cast<long long>(code), 5) + "] in " + std::string(what) +
         "!";
}

}  // namespace velmora
