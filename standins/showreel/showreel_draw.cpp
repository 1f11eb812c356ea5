// Picture and arrow drawing of the slide library stand-in, with GDI+.
// GDI+ is started on first use and never shut down: doing either from
// DllMain is forbidden, and the library lives as long as the process.

#include <algorithm>
#include <mutex>
#include <string>

#include "showreel/showreel_exports.h"
#include "showreel/showreel_rules.h"

// The GDI+ headers use min and max unqualified, and COM types that the lean
// windows.h leaves out.
#include <objidl.h>
using std::max;
using std::min;
#include <gdiplus.h>

namespace {

using velmora::standins::Box;

constexpr COLORREF kArrowColour = RGB(40, 40, 40);
constexpr COLORREF kArrowDisabledColour = RGB(170, 170, 170);
constexpr COLORREF kArrowEdgeColour = RGB(255, 255, 255);

bool StartGdiplus() {
  static std::once_flag once;
  static bool started = false;
  std::call_once(once, [] {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  });
  return started;
}

std::wstring Wide(const char* text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
  wide.resize(static_cast<std::size_t>(n - 1));
  return wide;
}

void FillBox(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  const RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
}

// A filled triangle in `box`, pointing left or right.
void DrawArrow(HDC dc, const Box& box, bool pointsLeft, COLORREF colour) {
  const int midY = box.y + box.height / 2;
  const int nearX = pointsLeft ? box.x : box.x + box.width - 1;
  const int farX = pointsLeft ? box.x + box.width - 1 : box.x;
  const POINT corners[3] = {{nearX, midY}, {farX, box.y}, {farX, box.y + box.height - 1}};
  HBRUSH brush = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, 1, kArrowEdgeColour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Polygon(dc, corners, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace

extern "C" int16_t WINAPI ShowreelDrawJpg2(HWND* window, HDC* dc, char* pictureName) {
  if (window == nullptr || dc == nullptr || pictureName == nullptr || *dc == nullptr) return -1;
  if (!StartGdiplus()) return -1;
  RECT client{};
  if (!GetClientRect(*window, &client)) return -1;
  // The name sits in a 512-character buffer: it ends at its NUL or its last non-blank.
  const std::string name = velmora::standins::ArgumentText(pictureName, 512);
  Gdiplus::Image picture(Wide(name.c_str()).c_str());
  if (picture.GetLastStatus() != Gdiplus::Ok || picture.GetWidth() == 0 || picture.GetHeight() == 0)
    return -1;

  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  const Box box = velmora::standins::FitKeepingAspect(
      static_cast<int>(picture.GetWidth()), static_cast<int>(picture.GetHeight()), width, height);
  // Fill the bands beside the picture, so a narrower slide leaves nothing of the one before.
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  FillBox(*dc, 0, 0, width, box.y, face);
  FillBox(*dc, 0, box.y + box.height, width, height, face);
  FillBox(*dc, 0, box.y, box.x, box.y + box.height, face);
  FillBox(*dc, box.x + box.width, box.y, width, box.y + box.height, face);

  Gdiplus::Graphics graphics(*dc);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  return graphics.DrawImage(&picture, box.x, box.y, box.width, box.height) == Gdiplus::Ok ? 0 : -1;
}

extern "C" int16_t WINAPI ShowreelDrawNextPrevPag(HWND* window, HDC* dc, int32_t* slideCount,
                                                  int32_t* currentSlide) {
  if (window == nullptr || dc == nullptr || *dc == nullptr) return -1;
  RECT client{};
  if (!GetClientRect(*window, &client)) return -1;
  const auto arrows =
      velmora::standins::PageArrowBoxes(client.right - client.left, client.bottom - client.top);
  if (!arrows.visible) return -1;
  const int32_t count = slideCount != nullptr ? *slideCount : 0;
  const int32_t current = currentSlide != nullptr ? *currentSlide : 0;
  // Slides count from 1; an arrow with no page behind it is greyed.
  DrawArrow(*dc, arrows.left, true, current > 1 && count > 1 ? kArrowColour : kArrowDisabledColour);
  DrawArrow(*dc, arrows.right, false, current < count ? kArrowColour : kArrowDisabledColour);
  return 0;
}

extern "C" int32_t WINAPI ShowreelApplyTransp(void* window, void* colourKey) {
  if (window == nullptr || colourKey == nullptr) return -1;
  HWND target = *static_cast<HWND*>(window);
  const COLORREF key = *static_cast<COLORREF*>(colourKey);
  if (!IsWindow(target)) return -1;
  SetWindowLongPtrA(target, GWL_EXSTYLE, GetWindowLongPtrA(target, GWL_EXSTYLE) | WS_EX_LAYERED);
  return SetLayeredWindowAttributes(target, key, 255, LWA_COLORKEY) ? 0 : -1;
}
