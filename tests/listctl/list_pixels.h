#pragma once
// Reads the colour of a grid's first visible row from its painting into a
// memory bitmap: the first pixel below the header's bottom (shadow) line in
// the column of x, which must lie clear of the titles' texts.

#include <windows.h>

namespace velmora::testing {

inline COLORREF FirstRowColourAt(HWND list, int x) {
  RECT client;
  GetClientRect(list, &client);
  const HDC screen = GetDC(list);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  COLORREF colour = CLR_INVALID;
  bool belowShadow = false;
  for (int y = 0; y < client.bottom && colour == CLR_INVALID; ++y) {
    const COLORREF pixel = GetPixel(memory, x, y);
    if (pixel == shadow)
      belowShadow = true;
    else if (belowShadow)
      colour = pixel;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(list, screen);
  return colour;
}

// Pixels of ink (anything but the button face) in the header band between
// x = left and x = right, from the painting into a memory bitmap: the band
// ends at the header's bottom (shadow) line.
inline int HeaderInk(HWND list, int left, int right) {
  RECT client;
  GetClientRect(list, &client);
  const HDC screen = GetDC(list);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  int ink = 0;
  for (int y = 1; y < client.bottom && GetPixel(memory, left, y) != shadow; ++y)
    for (int x = left; x < right; ++x) ink += GetPixel(memory, x, y) != face ? 1 : 0;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(list, screen);
  return ink;
}

// The same count for `text` drawn on the button face with `font`.
inline int TextInk(HFONT font, const char* text) {
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 600, 40);
  const HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  const HGDIOBJ oldFont = SelectObject(memory, font);
  RECT all{0, 0, 600, 40};
  FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(memory, text, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int ink = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 600; ++x) ink += GetPixel(memory, x, y) != face ? 1 : 0;
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

}  // namespace velmora::testing
