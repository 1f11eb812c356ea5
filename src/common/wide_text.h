#pragma once
// The program's texts are code page 1250 bytes, in its files, on the wire
// and in memory. Whatever the system's ANSI code page, they are shown and
// read through the W calls, converted here explicitly, so Romanian letters
// look right on a Windows set to any language.
//
// To code page 1250, the comma-below letters a Romanian keyboard types
// (U+0218-U+021B: Ș ș Ț ț) are written as their cedilla forms (Ş ş Ţ ţ),
// as code page 1250 texts hold them; a character it cannot hold becomes '?'.

#include <windows.h>

#include <string>
#include <string_view>

namespace velmora {

std::wstring WideFromCp1250(std::string_view text);
std::string Cp1250FromWide(std::wstring_view text);

// Window texts through the W calls.
BOOL SetWindowText1250(HWND window, std::string_view text);
BOOL SetDlgItemText1250(HWND dialog, int controlId, std::string_view text);
std::string WindowText1250(HWND window);
std::string DlgItemText1250(HWND dialog, int controlId);

// DrawTextW of a code page 1250 text.
int DrawText1250(HDC dc, std::string_view text, RECT* rect, UINT format);

}  // namespace velmora
