// The slide show in the left panel: the slide area (control 1045, painted by
// the vendor's slide library), its arrow band, slide stepping and the detail
// text of a slide.

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <array>

#include "common/ui_seams.h"
#include "common/wide_text.h"
#include "messages/messages.h"
#include "shell/app_state.h"
#include "shell/main_dialog_state.h"
#include "shell/showcase_library.h"
#include "update/slide_table.h"

namespace velmora::shell {
namespace {

constexpr int kBandTop = 320;  // the band starts this far below the area's top
constexpr int kArrowNear = 10,
              kArrowFar = 30;  // arrows lie strictly between these distances from an edge

bool Exists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PaintSlideArea(HWND area) {
  MainDialogState& state = MainDialogData();
  const ShowcaseLibrary& library = Showcase();
  ScopedPaint paint(area);
  HWND window = area;
  HDC dc = paint.dc();
  if (library.drawPicture != nullptr) {
    std::array<char, 512> name{};
    state.currentImage.copy(name.data(), name.size() - 1);
    library.drawPicture(&window, &dc, name.data());
  }
  if (library.drawPageArrows != nullptr && state.hoverBand) {
    int32_t count = update::Slides().count;
    int32_t current = update::Slides().current;
    library.drawPageArrows(&window, &dc, &count, &current);
  }
}

// Where a point lies on the slide area, in the area's own coordinates.
enum class BandSpot { Outside, LeftArrow, RightArrow, Elsewhere };

BandSpot SpotOf(int x, int y, int width, int height) {
  if (!(y > kBandTop && y < height && x > 0 && x < width)) return BandSpot::Outside;
  if (x > kArrowNear && x < kArrowFar) return BandSpot::LeftArrow;
  if (width - x > kArrowNear && width - x < kArrowFar) return BandSpot::RightArrow;
  return BandSpot::Elsewhere;
}

LRESULT OnSlideAreaCursor(HWND area, UINT message, WPARAM wParam, LPARAM lParam) {
  MainDialogState& state = MainDialogData();
  POINT cursor;
  RECT window;
  GetCursorPos(&cursor);
  GetWindowRect(area, &window);
  const BandSpot spot = SpotOf(cursor.x - window.left, cursor.y - window.top,
                               window.right - window.left, window.bottom - window.top);
  if (spot == BandSpot::Outside) {
    state.hoverBand = false;
    if (state.bandPainted) InvalidateRect(area, nullptr, TRUE);
    state.bandPainted = false;
    return CallWindowProcW(state.previousSlideAreaProc, area, message, wParam, lParam);
  }
  state.hoverBand = true;
  if (state.bandPainted != state.hoverBand) InvalidateRect(area, nullptr, TRUE);
  state.bandPainted = true;
  if (spot == BandSpot::Elsewhere) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return 0;
  }
  SetCursor(App().handCursor);
  return TRUE;
}

LRESULT OnSlideAreaClick(HWND area, UINT message, WPARAM wParam, LPARAM lParam) {
  RECT client;
  GetClientRect(area, &client);
  const BandSpot spot = SpotOf(static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam)), client.right, client.bottom);
  if (spot == BandSpot::LeftArrow) StepSlide(-1);
  if (spot == BandSpot::RightArrow) StepSlide(+1);
  if (spot != BandSpot::Outside) return 0;
  if (CurrentSlideHasDetail()) OpenSlideDetail(GetParent(area));
  return CallWindowProcW(MainDialogData().previousSlideAreaProc, area, message, wParam, lParam);
}

void ShowSlide(int index) {
  MainDialogState& state = MainDialogData();
  update::SlideTable& slides = update::Slides();
  slides.current = static_cast<int16_t>(index);
  state.currentImage = slides.at(index).imageName;
  InvalidateRect(state.slideArea, nullptr, TRUE);
}

}  // namespace

bool CurrentSlideHasDetail() {
  const update::SlideTable& slides = update::Slides();
  const int index = slides.current;
  return index >= 1 && index <= update::SlideTable::kMaxSlides &&
         Exists(slides.at(index).detailBase);
}

void OpenSlideDetail(HWND owner) {
  if (!CurrentSlideHasDetail()) return;
  DialogBoxParamW(App().instance, MAKEINTRESOURCEW(IDD_TEXT_VIEWER), owner,
                  &messages::TextViewerProc, update::Slides().current);
}

void StepSlide(int direction) {
  const update::SlideTable& slides = update::Slides();
  if (slides.count <= 0) return;
  int index = slides.current + direction;
  if (direction < 0 && index <= 0) index = slides.count;
  if (direction > 0 && index > slides.count) index = 1;
  ShowSlide(index);
  const HWND dialog = MainDialogData().dialog;
  SetTimer(dialog, timer::kSlide, static_cast<UINT>(std::max<int>(slides.at(index).period, 0)),
           nullptr);
  SetTimer(dialog, timer::kSlideSound, 800, nullptr);
}

void ShowNextSlide() {
  const HWND dialog = MainDialogData().dialog;
  const update::SlideTable& slides = update::Slides();
  KillTimer(dialog, timer::kSlide);
  if (slides.count <= 0) return;
  const int index = slides.current + 1 > slides.count ? 1 : slides.current + 1;
  ShowSlide(index);
  const HWND caption = GetDlgItem(dialog, IDC_SLIDE_CAPTION);
  ShowWindow(caption, SW_HIDE);
  SetWindowText1250(caption, slides.at(index).caption);
  ShowWindow(caption, SW_SHOW);
  SetTimer(dialog, timer::kSlideSound, 3000, nullptr);
  SetTimer(dialog, timer::kSlide, static_cast<UINT>(std::max<int>(slides.at(index).period, 0)),
           nullptr);
}

void PlayCurrentSlideSound() {
  const update::SlideTable& slides = update::Slides();
  if (slides.current <= 0) return;
  const std::string& sound = slides.at(slides.current).soundName;
  if (Exists(sound)) PlaySoundSeam(sound.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

LRESULT CALLBACK SlideAreaProc(HWND area, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == 1) InvalidateRect(area, nullptr, TRUE);
      break;
    case WM_PAINT: PaintSlideArea(area); return 1;
    case WM_SETCURSOR: return OnSlideAreaCursor(area, message, wParam, lParam);
    case WM_LBUTTONDOWN: return OnSlideAreaClick(area, message, wParam, lParam);
  }
  return CallWindowProcW(MainDialogData().previousSlideAreaProc, area, message, wParam, lParam);
}

}  // namespace velmora::shell
