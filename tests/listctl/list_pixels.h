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

// Pixels other than the button face in the columns left .. right - 1 of what
// `paint` draws into a memory bitmap, from y = 1 down to the first row whose
// pixel at x = left has the shadow colour (a header's bottom line).
template <typename Paint>
int InkOf(int width, int height, int left, int right, Paint paint) {
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  paint(memory);
  const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
  int ink = 0;
  for (int y = 1; y < height && GetPixel(memory, left, y) != shadow; ++y)
    for (int x = left; x < right; ++x) ink += GetPixel(memory, x, y) != face ? 1 : 0;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

}  // namespace velmora::testing
