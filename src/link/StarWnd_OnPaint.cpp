// Painting of the link window, double-buffered: the ring of eight dots, the
// status line, the address being tried and the transfer percentage.

#include <windows.h>

#include "common/fixed_text.h"
#include "common/wide_text.h"
#include "common/win_handles.h"
#include "link/link_state.h"

namespace velmora::link {
namespace {

// The texts are code page 1250, drawn through the W call whatever the system's code page.
void TextCentred(HDC dc, int x, int y, std::string_view text) {
  const std::wstring wide = WideFromCp1250(text);
  TextOutW(dc, x, y, wide.data(), static_cast<int>(wide.size()));
}

void DrawRing(HDC dc, const LinkState& s, int width) {
  for (int dot = 1; dot <= 8; ++dot) {
    const auto shade = DotShade(dot, s.frame);
    const DotPoint p = DotPosition(dot, width);
    const int r = DotRadius(shade);
    ScopedSelectObject brush(
        dc, s.brushes[static_cast<std::size_t>(ShadeBrushSlot(shade, s.qualified))].get());
    Ellipse(dc, p.x - r, p.y - r, p.x + r, p.y + r);
  }
}

void DrawTexts(HDC dc, const LinkState& s, int c) {
  SetBkMode(dc, TRANSPARENT);
  ScopedSelectObject font(dc, s.font.get());
  SetTextColor(dc, kTextColour);
  SetTextAlign(dc, TA_CENTER | TA_TOP);
  TextCentred(dc, c, 35, TrimTrailingBlanks(s.status));
  if (!s.qualified) TextCentred(dc, c, 45, TrimTrailingBlanks(s.currentAddress));
  if (const auto answer = AnswerPercentText(s.transfer.answerRemaining, s.transfer.answerField))
    TextCentred(dc, c, 10, *answer);
  if (const auto sent = SendPercentText(s.transfer.sendRemaining, s.transfer.sendTotal))
    TextCentred(dc, c, 10, *sent);
}

}  // namespace

void PaintLinkImage(HDC target, const RECT& client) {
  const LinkState& s = Link();
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  AutoMemoryDc memory(CreateCompatibleDC(target));
  AutoBitmap bitmap(CreateCompatibleBitmap(target, width, height));
  {
    ScopedSelectObject selected(memory.get(), bitmap.get());
    SetGraphicsMode(memory.get(), GM_ADVANCED);
    FillRect(memory.get(), &client, s.brushes[0].get());
    DrawRing(memory.get(), s, width);
    DrawTexts(memory.get(), s, width / 2);
    BitBlt(target, client.left, client.top, width, height, memory.get(), 0, 0, SRCCOPY);
  }
}

void STARWND_ONPAINT(HWND window) {
  ScopedPaint paint(window);
  RECT client{};
  GetClientRect(window, &client);
  PaintLinkImage(paint.dc(), client);
}

}  // namespace velmora::link
