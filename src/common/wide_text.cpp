#include "common/wide_text.h"

namespace velmora {
namespace {

constexpr UINT kTextCodePage = 1250;

// The comma-below letters and their cedilla forms.
wchar_t CedillaForm(wchar_t c) {
  switch (c) {
    case L'\u0218': return L'\u015E';  // Ș -> Ş
    case L'\u0219': return L'\u015F';  // ș -> ş
    case L'\u021A': return L'\u0162';  // Ț -> Ţ
    case L'\u021B': return L'\u0163';  // ț -> ţ
    default: return c;
  }
}

}  // namespace

std::wstring WideFromCp1250(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(
                        MultiByteToWideChar(kTextCodePage, 0, text.data(), size, nullptr, 0)),
                    L'\0');
  MultiByteToWideChar(kTextCodePage, 0, text.data(), size, wide.data(),
                      static_cast<int>(wide.size()));
  return wide;
}

std::string Cp1250FromWide(std::wstring_view text) {
  if (text.empty()) return {};
  std::wstring mapped(text);
  for (wchar_t& c : mapped) c = CedillaForm(c);
  const int size = static_cast<int>(mapped.size());
  // No best fit: a letter without its own byte becomes '?', not a look-alike.
  const int length = WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, mapped.data(), size,
                                         nullptr, 0, "?", nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, mapped.data(), size, bytes.data(),
                      length, "?", nullptr);
  return bytes;
}

BOOL SetWindowText1250(HWND window, std::string_view text) {
  return SetWindowTextW(window, WideFromCp1250(text).c_str());
}

BOOL SetDlgItemText1250(HWND dialog, int controlId, std::string_view text) {
  return SetDlgItemTextW(dialog, controlId, WideFromCp1250(text).c_str());
}

std::string WindowText1250(HWND window) {
  std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  wide.resize(
      static_cast<std::size_t>(GetWindowTextW(window, wide.data(), static_cast<int>(wide.size()))));
  return Cp1250FromWide(wide);
}

std::string DlgItemText1250(HWND dialog, int controlId) {
  return WindowText1250(GetDlgItem(dialog, controlId));
}

int DrawText1250(HDC dc, std::string_view text, RECT* rect, UINT format) {
  std::wstring wide = WideFromCp1250(text);
  return DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), rect, format);
}

}  // namespace velmora
