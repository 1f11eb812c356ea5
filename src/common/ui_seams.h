#pragma once
// Every message box and every sound of the program goes through these two
// seams. The program wires them to MessageBoxW (the code page 1250 texts
// converted, so they read right on any Windows) and PlaySoundA; tests replace
// them to record what would be shown or played and to give the answer.

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora {

using MessageBoxHandler = int (*)(HWND owner, const char* text, const char* caption, UINT style);
using PlaySoundHandler = BOOL (*)(const char* sound, HMODULE module, DWORD flags);

// Installs a handler; nullptr puts the real Windows call back. Returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
PlaySoundHandler SetPlaySoundHandler(PlaySoundHandler handler);

int ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

// The standard error box: no owner, caption "Eroare", always on top.
void ShowErrorBox(std::string_view text);

// `sound` is a file name, a resource id made with MAKEINTRESOURCEA, or nullptr to stop.
bool PlaySoundSeam(const char* sound, HMODULE module, DWORD flags);

// "Eroare [" + code right-aligned in 5 columns + "] in " + what + "!"
std::string WindowsErrorText(unsigned long code, std::string_view what);

}  // namespace velmora
