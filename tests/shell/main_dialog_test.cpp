// The main dialog created in-process from its real template: layout, the
// message box rules, static colours, slide stepping and the news strip.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "common/shared_state.h"
#include "common/ui_seams.h"
#include "shell/app_state.h"
#include "shell/main_dialog.h"
#include "shell/main_dialog_state.h"
#include "support/message_pump.h"
#include "support/short_folder.h"
#include "support/temp_dir.h"
#include "support/ui_recorders.h"
#include "update/slide_table.h"

namespace velmora::shell {
namespace {

using velmora::testing::PumpMessages;
using velmora::testing::TempDir;

using velmora::testing::BoxRecorder;
using velmora::testing::SoundRecorder;

std::string TextOf(HWND window) {
  char text[2048] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// Whether the control itself is shown; its parent dialog may still be hidden.
bool Shown(HWND control) { return (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT RectInParent(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentDirectoryA(suite_.path().string().c_str());
    App().instance = GetModuleHandleA(nullptr);
    App().paths = BuildAppPaths(suite_.path().string() + "\\ERP\\");
    update::Slides() = update::SlideTable{};
  }

  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
  }

  HWND Open() {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(108), nullptr,
                                 &MainDialogProc, 0);
    EXPECT_NE(dialog_, nullptr);
    return dialog_;
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  void Command(int id, int notification = 0) {
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, notification),
                 reinterpret_cast<LPARAM>(Item(id)));
  }

  TempDir suite_;
  velmora::testing::KeepCurrentDirectory keep_;
  HWND dialog_ = nullptr;
  BoxRecorder boxes_;
  SoundRecorder sounds_;
  std::vector<velmora::testing::RecordedBox>& shownBoxes_ = BoxRecorder::Boxes();
  std::vector<velmora::testing::RecordedSound>& playedSounds_ = SoundRecorder::Sounds();
};

TEST_F(MainDialogTest, OpensWithTheClientCaptionAndTheFixedLayout) {
  Open();
  EXPECT_EQ(TextOf(dialog_), "Corvane - CU : 0");
  EXPECT_EQ(MainDialogHandle(), dialog_) << "the handle is published for the background threads";

  RECT window;
  GetWindowRect(dialog_, &window);
  EXPECT_EQ(window.right - window.left, 1014);
  EXPECT_EQ(window.bottom - window.top, 654);

  struct Place {
    int id, x, y, w, h;
  };
  const Place places[] = {
      {1050, 0, 0, 232, 800},     {1045, 8, 10, 218, 368},    {1006, 254, 48, 224, 230},
      {1049, 8, 378, 214, 122},   {1011, 505, 48, 224, 230},  {1047, 8, 500, 214, 82},
      {1010, 756, 48, 224, 230},  {1048, 132, 590, 94, 22},   {1007, 254, 290, 224, 230},
      {1051, 10, 590, 94, 22},    {1009, 505, 290, 224, 230}, {1014, 40, 580, 144, 38},
      {1008, 756, 290, 224, 230}, {1027, 232, 0, 778, 43},    {30003, 0, 0, 229, 622},
      {1029, 238, 5, 32, 32},     {1025, 845, 9, 150, 25},    {1028, 280, 8, 550, 35},
  };
  for (const Place& p : places) {
    const RECT r = RectInParent(Item(p.id));
    EXPECT_EQ(r.left, p.x) << p.id;
    EXPECT_EQ(r.top, p.y) << p.id;
    EXPECT_EQ(r.right - r.left, p.w) << p.id;
    EXPECT_EQ(r.bottom - r.top, p.h) << p.id;
  }
  EXPECT_EQ(SendMessageA(Item(1047), EM_GETLIMITTEXT, 0, 0), 900);
}

TEST_F(MainDialogTest, ModuleButtonsCarryTheirBitmaps) {
  Open();
  for (int id = 1006; id <= 1011; ++id)
    EXPECT_NE(SendMessageA(Item(id), BM_GETIMAGE, IMAGE_BITMAP, 0), 0) << id;
}

TEST_F(MainDialogTest, WithoutSlidesTheFallbackPictureReplacesTheSlideArea) {
  Open();
  EXPECT_TRUE(Shown(Item(30003)));
  for (const int id : {1045, 1049, 1048, 1051, 1047}) EXPECT_FALSE(Shown(Item(id))) << id;
}

TEST_F(MainDialogTest, FocusOnTheMessageClearsThePlaceholderOnce) {
  Open();
  EXPECT_EQ(TextOf(Item(1047)), kPlaceholderText);
  Command(1047, EN_SETFOCUS);
  EXPECT_EQ(TextOf(Item(1047)), "");
  SetWindowTextA(Item(1047), "typed");
  Command(1047, EN_SETFOCUS);
  EXPECT_EQ(TextOf(Item(1047)), "typed") << "only the placeholder is cleared";
}

TEST_F(MainDialogTest, SendingFollowsThePlaceholderAndLengthRulesForElevenPresses) {
  Open();
  shownBoxes_.clear();  // whatever the environment check had to say
  Command(1048);
  EXPECT_EQ(TextOf(Item(1047)), "") << "the first press only clears the placeholder";
  EXPECT_TRUE(shownBoxes_.empty());

  SetWindowTextA(Item(1047), "x");
  for (int press = 2; press <= 15; ++press) Command(1048);
  ASSERT_EQ(shownBoxes_.size(), 10u)
      << "presses 2 to 11 are acted on, the twelfth and later do nothing";
  EXPECT_EQ(shownBoxes_[0].text, "Completati mesajul!");
  EXPECT_EQ(shownBoxes_[0].caption, "Vantor");
  EXPECT_EQ(shownBoxes_[0].style, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(MainDialogTest, StaticColoursDependOnTheControl) {
  Open();
  const HDC dc = CreateCompatibleDC(nullptr);
  struct Case {
    int id;
    COLORREF colour;
    bool transparent;
  };
  for (const Case c : {Case{1049, RGB(0, 0, 0), true}, Case{1052, 0x222222, true},
                       Case{1056, 0x222222, true}, Case{1050, 0x114400, false}}) {
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT brush = SendMessageA(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Item(c.id)));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH))) << c.id;
    EXPECT_EQ(GetTextColor(dc), c.colour) << c.id;
    EXPECT_EQ(GetBkMode(dc), c.transparent ? TRANSPARENT : OPAQUE) << c.id;
  }
  DeleteDC(dc);
}

TEST_F(MainDialogTest, StepsWrapAroundBothEnds) {
  update::SlideTable& slides = update::Slides();
  slides.count = 3;
  for (int i = 1; i <= 3; ++i) {
    slides.at(i).imageName = "slide" + std::to_string(i) + ".jpg";
    slides.at(i).period = 5000;
  }
  Open();
  slides.current = 1;
  StepSlide(-1);
  EXPECT_EQ(slides.current, 3);
  EXPECT_EQ(MainDialogData().currentImage, "slide3.jpg");
  StepSlide(+1);
  EXPECT_EQ(slides.current, 1);
  StepSlide(+1);
  EXPECT_EQ(slides.current, 2);
}

TEST_F(MainDialogTest, TheFirstSlideAndItsCaptionFollowTheTenMillisecondTimer) {
  update::SlideTable& slides = update::Slides();
  slides.count = 2;
  slides.at(1).imageName = "a.jpg";
  slides.at(1).caption = "Primul\r\nslide";
  slides.at(1).period = 30000;
  slides.at(2).imageName = "b.jpg";
  Open();
  EXPECT_TRUE(Shown(Item(1045)));
  EXPECT_FALSE(Shown(Item(30003)));
  PumpMessages(300);
  EXPECT_EQ(slides.current, 1);
  EXPECT_EQ(MainDialogData().currentImage, "a.jpg");
  EXPECT_EQ(TextOf(Item(1049)), "Primul\r\nslide");
}

TEST_F(MainDialogTest, TheNewsStripSlidesUpIntoViewAfterItsFirstCommand) {
  Open();
  const HWND host = Item(1030);
  const HWND strip = GetWindow(host, GW_CHILD);
  ASSERT_NE(strip, nullptr) << "dialog 143 lives inside control 1030";
  EXPECT_FALSE(Shown(host));
  SendMessageA(strip, WM_COMMAND, IDOK, 0);
  PumpMessages(900);
  EXPECT_TRUE(Shown(host));
  const RECT r = RectInParent(host);
  EXPECT_EQ(r.left, 230);
  EXPECT_EQ(r.top, 524);
}

TEST_F(MainDialogTest, ANewMessageNoticeRingsOnceAndTimerSevenStops) {
  Open();
  Shared().received.Store("2026.12.08  10:00:00Buna ziua");
  Shared().newMessage = true;
  PumpMessages(400);
  ASSERT_EQ(playedSounds_.size(), 1u);
  EXPECT_EQ(playedSounds_[0].ResourceId(), 151u);
  Shared().newMessage = true;  // no longer watched: timer 7 has ended
  PumpMessages(400);
  EXPECT_EQ(playedSounds_.size(), 1u);
  Shared().newMessage = false;
  Shared().received.Store("");
}

TEST_F(MainDialogTest, ABlankNoticeRingsNothing) {
  Open();
  Shared().received.Store("     ");
  Shared().newMessage = true;
  PumpMessages(400);
  EXPECT_TRUE(playedSounds_.empty());
  Shared().newMessage = false;
}

}  // namespace
}  // namespace velmora::shell
