// The dialog templates, created the way the program creates them (hidden
// here), checked control by control against the published tables: id,
// window class, initial text, initial visibility and the styles the program
// relies on.  The expected values are written out here, not taken from the
// resource header.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resource_ids.h"
#include "template_reader.h"

namespace velmora::resources_test {
namespace {

INT_PTR CALLBACK SilentDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The message list's window class belongs to another part of the program;
// a plain stand-in is enough for the template to be created.
void RegisterListStandIn() {
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ListCorvane";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    return RegisterClassA(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
}

class Dialog {
 public:
  Dialog(int id, HWND parent = nullptr)
      : hwnd_(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), parent,
                                 SilentDialogProc, 0)) {}
  ~Dialog() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return name;
}

std::string TextOf(HWND hwnd) {
  char text[1024] = {};
  GetWindowTextA(hwnd, text, sizeof text);
  return text;
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)); }
DWORD ExStyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)); }

std::vector<HWND> ChildrenInZOrder(HWND parent) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

size_t ZIndex(HWND parent, HWND child) {
  auto all = ChildrenInZOrder(parent);
  for (size_t i = 0; i < all.size(); ++i)
    if (all[i] == child) return i;
  return all.size();
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return {0, 0};
  return {info.bmWidth, info.bmHeight};
}

// The control's rectangle in its dialog's client coordinates.
RECT RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A rectangle given in dialog units, converted as the dialog manager does:
// the origin and the size each on their own.
RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy) {
  RECT r{x, y, cx, cy};
  MapDialogRect(dialog, &r);
  return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

// A template's WS_BORDER may come out as a sunken or static edge.
bool HasBorder(HWND control) {
  return (StyleOf(control) & WS_BORDER) ||
         (ExStyleOf(control) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
}

constexpr DWORD kButtonType = BS_TYPEMASK;
constexpr DWORD kStaticType = SS_TYPEMASK;

struct ExpectedControl {
  int id;
  const char* windowClass;
  const char* text;  // nullptr: not checked (pictures)
  bool visible;
  DWORD typeMask;  // (style & typeMask) == type
  DWORD type;
  DWORD required;    // style bits that must be set
  DWORD forbidden;   // style bits that must be clear
  DWORD exRequired;  // extended style bits that must be set
  int bitmapWidth;   // > 0: a picture of this size is shown
  int bitmapHeight;
};

ExpectedControl Button(int id, const char* text, bool visible, DWORD type = BS_PUSHBUTTON,
                       DWORD required = 0, DWORD forbidden = WS_DISABLED) {
  return {id, "Button", text, visible, kButtonType, type, required, forbidden, 0, 0, 0};
}

ExpectedControl Label(int id, const char* text, bool visible, DWORD type = SS_LEFT,
                      DWORD required = 0, DWORD exRequired = 0) {
  return {id, "Static", text, visible, kStaticType, type, required, 0, exRequired, 0, 0};
}

ExpectedControl Picture(int id, bool visible, int width, int height, DWORD required = 0) {
  return {id, "Static", nullptr, visible, kStaticType, SS_BITMAP, required, 0, 0, width, height};
}

ExpectedControl EditBox(int id, bool visible, DWORD required, DWORD forbidden = 0) {
  return {id, "Edit", nullptr, visible, 0, 0, required, forbidden, 0, 0, 0};
}

void CheckControl(HWND dialog, const ExpectedControl& e) {
  SCOPED_TRACE("control " + std::to_string(e.id));
  HWND c = GetDlgItem(dialog, e.id);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(ClassOf(c), e.windowClass);
  if (e.text) {
    EXPECT_EQ(TextOf(c), e.text);
  }
  DWORD style = StyleOf(c);
  EXPECT_EQ((style & WS_VISIBLE) != 0, e.visible) << "initial visibility";
  EXPECT_EQ(style & e.typeMask, e.type) << "control type";
  if (e.required & WS_BORDER) {
    EXPECT_TRUE(HasBorder(c)) << "border";
  }
  DWORD required = e.required & ~DWORD(WS_BORDER);
  EXPECT_EQ(style & required, required) << "required styles";
  EXPECT_EQ(style & e.forbidden, 0u) << "styles that must be clear";
  EXPECT_EQ(ExStyleOf(c) & e.exRequired, e.exRequired) << "extended styles";
  if (e.bitmapWidth > 0) {
    SIZE s = BitmapSize(reinterpret_cast<HBITMAP>(SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0)));
    EXPECT_EQ(s.cx, e.bitmapWidth);
    EXPECT_EQ(s.cy, e.bitmapHeight);
  }
}

// The dialog holds exactly these controls, each as described.
void CheckControls(HWND dialog, const std::vector<ExpectedControl>& table) {
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ChildrenInZOrder(dialog).size(), table.size()) << "number of controls";
  for (const ExpectedControl& e : table) CheckControl(dialog, e);
}

// --- Main dialog ------------------------------------------------------------

const std::string kUpdateText =
    std::string("Au fost detectate versiuni mai noi ale unor executabile din Vantor. ") +
    "Pentru a lansa actualizarea," + "\r\n" + "apasati butonul \"" + "Actualizeaza acum !" + "\".";

std::vector<ExpectedControl> MainDialogTable() {
  return {
      Button(1006, "Vantor", true, BS_PUSHBUTTON, BS_BITMAP | WS_TABSTOP),
      Button(1007, "Kelbar", true, BS_PUSHBUTTON, BS_BITMAP | WS_TABSTOP),
      Button(1008, "Quillon", true, BS_PUSHBUTTON, BS_BITMAP | WS_TABSTOP),
      Button(1009, "Gestiunea Salariilor", true, BS_PUSHBUTTON, BS_BITMAP | WS_TABSTOP),
      Button(1010, "Gestiunea mijloacelor fize", true, BS_PUSHBUTTON, BS_BITMAP | WS_TABSTOP),
      Button(1011, "Initializare si definere mediu ERP", true, BS_PUSHBUTTON,
             BS_BITMAP | WS_TABSTOP),
      Button(1, "OK", false, BS_DEFPUSHBUTTON, WS_DISABLED, 0),
      Button(2, "Cancel", false),
      Button(1041, "F2", false, BS_PUSHBUTTON, WS_DISABLED, 0),
      Button(1025, "Actualizeaza acum !", false),
      Label(1028, kUpdateText.c_str(), false, SS_LEFT, 0, WS_EX_TRANSPARENT),
      Picture(1029, false, 32, 32),
      {1027, "Static", "", false, 0, 0, WS_CLIPSIBLINGS, 0, 0, 0, 0},
      Picture(1050, true, 232, 800, WS_CLIPSIBLINGS),
      Picture(30003, false, 229, 622),
      Label(1045, "", true, SS_LEFT, SS_NOTIFY | WS_BORDER),
      Label(1049, "Static", true, SS_CENTER, 0, WS_EX_TRANSPARENT),
      EditBox(1047, false, ES_MULTILINE | ES_WANTRETURN | WS_BORDER | WS_VSCROLL, ES_READONLY),
      Button(1048, "Trimite !", false),
      Button(1051, "Istoric mesaje ...", false),
      Button(1014, "Lanseaza Asistenta\r\nTehnica Virtuala !", false, BS_PUSHBUTTON, BS_MULTILINE),
      Label(1052, nullptr, false),
      Label(1056, "-----------------------------------", false),
      Label(1030, "", false, SS_LEFT, WS_CLIPCHILDREN),
  };
}

// What only the templates' headers hold: caption, font, size in dialog units
// and frame styles. With 8 point MS Sans Serif at 96 dpi a dialog unit is 6/4
// by 13/8 pixels; sizes given in pixels are checked through that.
TEST(DialogTemplates, HeadersGiveCaptionFontSizeAndFrame) {
  const DWORD kFramed = DS_MODALFRAME | DS_CENTER | WS_CAPTION;
  const struct {
    int id;
    const char* title;     // nullptr: not checked
    int itemCount;         // -1: not checked
    double cx, cy, slack;  // size in dialog units, within slack
    DWORD required, forbidden;
  } cases[] = {
      // The main dialog's client area comes out near 1014 x 654 pixels.
      {108, "Corvane", 24, 1014.0 * 4 / 6, 654.0 * 8 / 13, 2.5, kFramed | WS_SYSMENU | WS_POPUP, 0},
      {122, nullptr, 0, 15, 8, 0, WS_POPUP, WS_VISIBLE | WS_CHILD},
      {150, "", -1, 427, 297, 0, kFramed, 0},
      {152, nullptr, -1, 470, 276, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("dialog " + std::to_string(c.id));
    auto h = ReadDialogTemplate(c.id);
    ASSERT_TRUE(h.has_value());
    if (c.title) {
      EXPECT_EQ(h->title, c.title);
    }
    if (c.itemCount >= 0) {
      EXPECT_EQ(h->itemCount, c.itemCount);
    }
    EXPECT_NEAR(h->cx, c.cx, c.slack);
    EXPECT_NEAR(h->cy, c.cy, c.slack);
    EXPECT_EQ(h->style & c.required, c.required);
    EXPECT_EQ(h->style & c.forbidden, 0u);
    if (c.id != 122) {
      EXPECT_EQ(h->pointSize, 8);
      EXPECT_EQ(h->typeface, "MS Sans Serif");
    }
  }
}

TEST(MainDialogTemplate, EveryControlHasItsIdClassTextAndStyle) {
  Dialog d(108);
  ASSERT_NE(d.get(), nullptr) << GetLastError();
  EXPECT_EQ(TextOf(d.get()), "Corvane");
  EXPECT_FALSE(StyleOf(d.get()) & WS_VISIBLE);
  CheckControls(d.get(), MainDialogTable());
}

TEST(MainDialogTemplate, AssistantHintIsARomanianSentenceAboutVantor) {
  Dialog d(108);
  ASSERT_NE(d.get(), nullptr);
  std::string hint = TextOf(GetDlgItem(d.get(), 1052));
  EXPECT_NE(hint.find("Asistenta Tehnica Virtuala"), std::string::npos) << hint;
  EXPECT_NE(hint.find("bara de"), std::string::npos) << hint;
  EXPECT_NE(hint.find("Vantor"), std::string::npos) << hint;
  for (char ch : hint) EXPECT_TRUE(static_cast<unsigned char>(ch) < 0x80) << hint;
}

// The background pictures must lie below what is drawn over them, or they
// would paint over the slide area and the banner.
TEST(MainDialogTemplate, BackgroundsLieBelowTheControlsOnThem) {
  Dialog d(108);
  HWND dlg = d.get();
  ASSERT_NE(dlg, nullptr);
  size_t panel = ZIndex(dlg, GetDlgItem(dlg, 1050));
  for (int id : {1045, 1049, 30003, 1047, 1048, 1051, 1014, 1052, 1056})
    EXPECT_LT(ZIndex(dlg, GetDlgItem(dlg, id)), panel) << id;
  size_t banner = ZIndex(dlg, GetDlgItem(dlg, 1027));
  for (int id : {1025, 1028, 1029}) EXPECT_LT(ZIndex(dlg, GetDlgItem(dlg, id)), banner) << id;
  // Keyboard order: the six modules come first, in rows as they are laid out.
  std::vector<int> first;
  for (HWND c : ChildrenInZOrder(dlg)) {
    if (first.size() == 6) break;
    first.push_back(GetDlgCtrlID(c));
  }
  EXPECT_EQ(first, (std::vector<int>{1006, 1011, 1010, 1007, 1009, 1008}));
}

// --- News strip -------------------------------------------------------------

TEST(NewsStripTemplate, CreatesInsideTheMainDialogsHost) {
  Dialog main(108);
  ASSERT_NE(main.get(), nullptr);
  HWND host = GetDlgItem(main.get(), 1030);
  ASSERT_NE(host, nullptr);
  HWND strip = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(143), host,
                                  SilentDialogProc, 0);
  ASSERT_NE(strip, nullptr) << GetLastError();
  EXPECT_EQ(GetParent(strip), host);
  EXPECT_TRUE(StyleOf(strip) & WS_CHILD);
  EXPECT_FALSE(StyleOf(strip) & WS_CAPTION);
  CheckControls(strip, {
                           EditBox(1031, true, ES_MULTILINE | ES_READONLY),
                           Label(1032, "-", true),
                           Label(1033, "-", true),
                           Label(1034, "-", true, SS_LEFT, WS_CLIPSIBLINGS, WS_EX_TRANSPARENT),
                           Label(1035, "-", true),
                           Button(1036, " Nou in Vantor  ", true, BS_GROUPBOX),
                           Button(1037, " Curs valutar ", true, BS_GROUPBOX),
                           Button(1038, " Vremea ", true, BS_GROUPBOX),
                           Picture(1039, true, 30, 20),
                           Picture(1040, true, 30, 20),
                           Button(1, "OK", false, BS_DEFPUSHBUTTON),
                           Button(2, "Cancel", false),
                       });
  // The date overlaps the EUR rate and emblem: the rate lies above it, the
  // emblem below it.
  EXPECT_LT(ZIndex(strip, GetDlgItem(strip, 1032)), ZIndex(strip, GetDlgItem(strip, 1034)));
  EXPECT_LT(ZIndex(strip, GetDlgItem(strip, 1034)), ZIndex(strip, GetDlgItem(strip, 1039)));
  // The group boxes are drawn under their contents.
  for (int group : {1036, 1037, 1038})
    for (int inside : {1031, 1032, 1033, 1034, 1035, 1039, 1040})
      EXPECT_LT(ZIndex(strip, GetDlgItem(strip, inside)), ZIndex(strip, GetDlgItem(strip, group)));
  // The strip must hold its controls at their pixel places (they reach
  // 771 x 92 pixels) inside a host no taller than the space under the buttons.
  auto h = ReadDialogTemplate(143);
  ASSERT_TRUE(h.has_value());
  EXPECT_GE(h->cx * 6 / 4, 771);
  EXPECT_GE(h->cy * 13 / 8, 92);
  EXPECT_LE(h->cy * 13 / 8, 130);
}

// --- Hidden worker dialog ----------------------------------------------------

TEST(WorkerDialogTemplate, CreatesEmptyAndHidden) {
  Dialog d(122);
  ASSERT_NE(d.get(), nullptr);
  EXPECT_TRUE(ChildrenInZOrder(d.get()).empty());
  EXPECT_FALSE(IsWindowVisible(d.get()));
}

// --- Message history ----------------------------------------------------------

TEST(MessageHistoryTemplate, ControlsSitWhereTheLayoutPutsThem) {
  RegisterListStandIn();
  Dialog d(150);
  HWND dlg = d.get();
  ASSERT_NE(dlg, nullptr) << GetLastError();
  std::vector<HWND> children = ChildrenInZOrder(dlg);
  ASSERT_EQ(children.size(), 7u);

  ExpectedControl list{1023, "ListCorvane",    nullptr, true, 0, 0, WS_CHILD,
                       0,    WS_EX_STATICEDGE, 0,       0};
  // The band and its line have no id; they are checked below.
  for (const ExpectedControl& e :
       {Button(1, "OK", false, BS_DEFPUSHBUTTON), Button(2, "Cancel", false),
        Label(1031, "Lista mesajelor mesajelor trimise si primite", true, SS_LEFT, 0,
              WS_EX_TRANSPARENT),
        list,
        EditBox(1043, true, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL)})
    CheckControl(dlg, e);

  RECT r = RectInParent(GetDlgItem(dlg, 1023));
  RECT want = DialogUnits(dlg, 7, 33, 413, 161);
  EXPECT_TRUE(EqualRect(&r, &want)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
  r = RectInParent(GetDlgItem(dlg, 1043));
  want = DialogUnits(dlg, 7, 203, 413, 86);
  EXPECT_TRUE(EqualRect(&r, &want)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
  r = RectInParent(GetDlgItem(dlg, 1031));
  want = DialogUnits(dlg, 13, 7, 0, 0);
  EXPECT_EQ(r.left, want.left);
  EXPECT_EQ(r.top, want.top);

  // A white band across the top, 22 units high, with an etched line under it;
  // the label lies on it.
  HWND band = nullptr, line = nullptr;
  for (HWND c : children) {
    if (ClassOf(c) != "Static") continue;
    if ((StyleOf(c) & SS_TYPEMASK) == SS_WHITERECT) band = c;
    if ((StyleOf(c) & SS_TYPEMASK) == SS_ETCHEDHORZ) line = c;
  }
  ASSERT_NE(band, nullptr);
  ASSERT_NE(line, nullptr);
  RECT client{};
  GetClientRect(dlg, &client);
  RECT bandRect = RectInParent(band);
  RECT bandWant = DialogUnits(dlg, 0, 0, 0, 22);
  EXPECT_EQ(bandRect.left, 0);
  EXPECT_EQ(bandRect.top, 0);
  EXPECT_EQ(bandRect.right, client.right);
  EXPECT_EQ(bandRect.bottom, bandWant.bottom);
  EXPECT_EQ(RectInParent(line).top, bandWant.bottom);
  EXPECT_LT(ZIndex(dlg, GetDlgItem(dlg, 1031)), ZIndex(dlg, band));
}

// --- Text viewer --------------------------------------------------------------

TEST(TextViewerTemplate, HasVisibleOkHiddenCancelAndAReadOnlyText) {
  Dialog d(152);
  HWND dlg = d.get();
  ASSERT_NE(dlg, nullptr);
  CheckControls(dlg, {
                         Button(1, "OK", true, BS_DEFPUSHBUTTON),
                         Button(2, "Cancel", false),
                         EditBox(1043, true, ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL),
                     });
  RECT r = RectInParent(GetDlgItem(dlg, 1043));
  RECT want = DialogUnits(dlg, 0, 0, 456, 242);
  EXPECT_EQ(r.right - r.left, want.right);
  EXPECT_EQ(r.bottom - r.top, want.bottom);
}

// --- The identifiers header ----------------------------------------------------

// Every other number of the header is seen above through the resources it
// names; the worker's stop command has no control to be seen through.
TEST(ResourceIds, WorkerStopCommand) { EXPECT_EQ(IDC_WORKER_STOP, 1042); }

}  // namespace
}  // namespace velmora::resources_test
