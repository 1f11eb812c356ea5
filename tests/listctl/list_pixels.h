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

}  // namespace velmora::testing
