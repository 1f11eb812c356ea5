// The grid as a window: operations, painting, keyboard, mouse, wheel,
// focus and the in-place editor, on a control hosted in a test window.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "listctl/list_block.h"
#include "listctl/list_class.h"
#include "listctl/list_operations.h"
#include "listctl/list_pixels.h"
#include "listctl/list_window.h"
#include "support/message_pump.h"
#include "support/ui_recorders.h"

namespace velmora::listctl {
namespace {

constexpr int kListId = 1023;

// Options the launcher never switches on: a search column for typing in row
// selection, and cell selection restricted to some columns.
void SetListSearchColumn(HWND list, int column) { LockedList(list).data().editColumn = column; }

void SetListSelectableColumns(HWND list, std::span<const int> columns) {
  LockedList locked(list);
  ListData& d = locked.data();
  std::ranges::copy(columns, d.selectableColumns.begin());
  d.selectableCount = static_cast<int32_t>(columns.size());
  d.selectableIndex = 1;
  d.currentColumn = columns.front();
}

struct Notification {
  int low, code;
};
std::vector<Notification> g_notifications;
HWND g_nextControl = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kListId)
    g_notifications.push_back({LOWORD(wParam), HIWORD(wParam)});
  if (message == WM_NEXTDLGCTL) g_nextControl = reinterpret_cast<HWND>(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

class ListWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(RegisterListClass(GetModuleHandleA(nullptr)));
    WNDCLASSA host{};
    host.lpfnWndProc = &HostProc;
    host.hInstance = GetModuleHandleA(nullptr);
    host.lpszClassName = "ListTestHost";
    RegisterClassA(&host);
  }

  void SetUp() override {
    host_ = CreateWindowExA(0, "ListTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 700,
                            400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    list_ = CreateWindowExA(0, kListClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 620,
                            264, host_, reinterpret_cast<HMENU>(kListId), GetModuleHandleA(nullptr),
                            nullptr);
    next_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 300, 100, 20,
                            host_, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(list_, nullptr);
    SetForegroundWindow(host_);
    AddListColumn(list_, 300, DT_CENTER, DT_LEFT | DT_VCENTER | DT_SINGLELINE, "A");
    AddListColumn(list_, 200, DT_CENTER, DT_LEFT | DT_VCENTER | DT_SINGLELINE, "B");
    velmora::testing::PumpMessages();
    g_notifications.clear();
    g_nextControl = nullptr;
  }
  void TearDown() override { DestroyWindow(host_); }

  void Rows(int count) {
    for (int i = 0; i < count; ++i) {
      int row = 0;
      ASSERT_EQ(AppendListRow(list_, &row), 0);
      SetListCellText(list_, row, 1, "row " + std::to_string(row), 0);
    }
  }
  std::string Cell(int row, int column) {
    std::string text;
    EXPECT_EQ(GetListCellText(list_, row, column, text, 40), 0);
    return std::string(TrimTrailingBlanks(text));
  }
  int CurrentRow() {
    int row = -1;
    GetListCurrentCell(list_, row);
    return row;
  }
  HWND Child(const char* className, DWORD style = 0) {
    for (HWND child = FindWindowExA(list_, nullptr, className, nullptr); child != nullptr;
         child = FindWindowExA(list_, child, className, nullptr))
      if ((GetWindowLongA(child, GWL_STYLE) & style) == style) return child;
    return nullptr;
  }
  HWND VerticalBar() { return Child("SCROLLBAR", SBS_VERT); }
  bool NeedsPaint() { return GetUpdateRect(list_, nullptr, FALSE) != 0; }
  bool Notified(int code) {
    for (const Notification& n : g_notifications)
      if (n.code == code) return true;
    return false;
  }
  COLORREF FirstRowColour() { return velmora::testing::FirstRowColourAt(list_, 250); }

  HWND host_ = nullptr, list_ = nullptr, next_ = nullptr;
};

TEST_F(ListWindowTest, TheRowLimitAndTheTableGrowthKeepEveryText) {
  Rows(100);
  Rows(1);  // the first growth of the text table
  for (int row = 1; row <= 101; ++row) ASSERT_EQ(Cell(row, 1), "row " + std::to_string(row));
  for (int row = 102; row <= 10000; ++row) ASSERT_EQ(AppendListRow(list_), 0) << row;
  EXPECT_EQ(AppendListRow(list_), 2);
  int count = 0;
  GetListRowCount(list_, count);
  EXPECT_EQ(count, 10000);
  EXPECT_EQ(InsertListRow(list_, 1), 2);
  EXPECT_EQ(Cell(1, 1), "row 1");
}

TEST_F(ListWindowTest, OperationsRefuseRowsAndColumnsOutsideTheList) {
  Rows(2);
  std::string text;
  struct Case {
    const char* name;
    int result, expected;
  };
  const Case cases[] = {
      {"text of row 3", SetListCellText(list_, 3, 1, "x"), 2},
      {"text of column 3", SetListCellText(list_, 1, 3, "x"), 3},
      {"read row 0", GetListCellText(list_, 0, 1, text, 10), 2},
      {"colour of column 0", SetListCellBackColour(list_, 1, 0, 1), 3},
      {"insert at 4", InsertListRow(list_, 4), 4},
      {"remove 0", RemoveListRow(list_, 0), 2},
      {"select row 3", SelectListCell(list_, 3), 2},
      {"select column 5", SelectListCell(list_, 1, 5), 3},
  };
  for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
}

TEST_F(ListWindowTest, InsertingFillsAnEmptyListFromTheTopAndRefusesAGapWithoutAddingARow) {
  struct Case {
    int position, result, rowsAfter;
    const char* topText;
  };
  const Case cases[] = {
      {1, 0, 1, "first"},  {1, 0, 2, "second"}, {3, 0, 3, "second"},
      {5, 4, 3, "second"}, {0, 4, 3, "second"},
  };
  const char* names[] = {"first", "second", "third", "gap", "zero"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(names[i]);
    EXPECT_EQ(InsertListRow(list_, c.position), c.result);
    if (c.result == 0) SetListCellText(list_, c.position, 1, names[i], 0);
    int count = 0;
    GetListRowCount(list_, count);
    EXPECT_EQ(count, c.rowsAfter);
    EXPECT_EQ(Cell(1, 1), c.topText);
  }
}

TEST_F(ListWindowTest, ACellRepaintsAtOnceUnlessTheFlagIsZero) {
  Rows(1);
  UpdateWindow(list_);
  SetListCellText(list_, 1, 1, "quiet", 0);
  EXPECT_FALSE(NeedsPaint());
  SetListCellText(list_, 1, 1, "loud");
  EXPECT_TRUE(NeedsPaint());
  UpdateWindow(list_);
  SetListCellText(list_, 1, 1, "loud again", 1);
  EXPECT_TRUE(NeedsPaint());
}

TEST_F(ListWindowTest, AnEmptyListHasNoCurrentCell) {
  int row = -1, column = -1;
  EXPECT_EQ(GetListCurrentCell(list_, row, &column), 0);
  EXPECT_EQ(row, 0);
  EXPECT_EQ(column, 0);
}

TEST_F(ListWindowTest, TheCurrentRowIsGreenWithFocusAndGreyWithout) {
  Rows(3);
  SetFocus(list_);
  EXPECT_EQ(FirstRowColour(), 0x00C800u);
  SetFocus(next_);
  EXPECT_EQ(FirstRowColour(), 0xCCCCCCu);
  SelectListCell(list_, 2);
  SetListCellBackColour(list_, 1, 1, 0xE8E8E8);
  EXPECT_EQ(FirstRowColour(), 0xE8E8E8u) << "a row that is not current keeps its own colour";
}

TEST_F(ListWindowTest, ColumnTitlesAreInTheRegularListFont) {
  const HWND titled = CreateWindowExA(0, kListClassName, "", WS_CHILD | WS_VISIBLE, 10, 10, 620,
                                      100, host_, nullptr, GetModuleHandleA(nullptr), nullptr);
  const char* title = "Data si ora mesajului primit";
  AddListColumn(titled, 560, DT_CENTER, DT_LEFT, title);
  const int ink = velmora::testing::InkOf(620, 100, 2, 540, [&](HDC dc) {
    SendMessageA(titled, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  });
  // The title drawn alone in Tahoma 16 regular, and in the row's bold Tahoma 15.
  const auto inkIn = [&](int height, int weight) {
    const HFONT font =
        CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, EASTEUROPE_CHARSET, 0, 0, 0, 0, "Tahoma");
    const int drawn = velmora::testing::InkOf(600, 40, 0, 600, [&](HDC dc) {
      RECT all{0, 0, 600, 40};
      FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
      SelectObject(dc, font);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      DrawTextA(dc, title, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    });
    DeleteObject(font);
    return drawn;
  };
  const int regular = inkIn(16, FW_NORMAL), bold = inkIn(15, FW_BOLD);
  ASSERT_NE(regular, bold);
  EXPECT_LT(std::abs(ink - regular), std::abs(ink - bold)) << ink << " " << regular << " " << bold;
}

TEST_F(ListWindowTest, OneWheelNotchDownScrollsOneRow) {
  Rows(40);
  SendMessageA(list_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  velmora::testing::PumpMessages();
  EXPECT_EQ(GetScrollPos(VerticalBar(), SB_CTL), 1);
  SendMessageA(list_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  velmora::testing::PumpMessages();
  EXPECT_EQ(GetScrollPos(VerticalBar(), SB_CTL), 0);
}

TEST_F(ListWindowTest, ScrollingUpAtTheTopRepaintsNothing) {
  Rows(40);
  UpdateWindow(list_);
  SendMessageA(list_, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_FALSE(NeedsPaint());
  EXPECT_EQ(GetScrollPos(VerticalBar(), SB_CTL), 0);
}

TEST_F(ListWindowTest, PageDownMovesByOneRowLessThanAPage) {
  Rows(25);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_PAGE;
  GetScrollInfo(VerticalBar(), SB_CTL, &info);
  const int visibleRows = static_cast<int>(info.nPage) - 1;
  ASSERT_GT(visibleRows, 2);
  SendMessageA(list_, WM_KEYDOWN, VK_NEXT, 0);
  EXPECT_EQ(CurrentRow(), visibleRows);
  velmora::testing::PumpMessages();
  EXPECT_TRUE(Notified(310));
}

TEST_F(ListWindowTest, AClickSelectsItsRowAndADoubleClickActsAsEnter) {
  Rows(5);
  SelectListCell(list_, 5);
  SendMessageA(list_, WM_LBUTTONDOWN, 0, MAKELPARAM(50, 2));  // the header band
  EXPECT_EQ(CurrentRow(), 5);
  SendMessageA(list_, WM_LBUTTONDOWN, 0, MAKELPARAM(50, 250));  // below the last row
  EXPECT_EQ(CurrentRow(), 5);
  SelectListCell(list_, 1);
  SendMessageA(list_, WM_LBUTTONDBLCLK, 0, MAKELPARAM(50, 250));
  velmora::testing::PumpMessages();
  EXPECT_TRUE(Notified(301));
}

TEST_F(ListWindowTest, TabbingIntoAnEmptyListPassesTheFocusOn) {
  SetFocus(list_);
  velmora::testing::PumpMessages();
  EXPECT_EQ(g_nextControl, next_);
  Rows(1);
  g_nextControl = nullptr;
  SetFocus(next_);
  SetFocus(list_);
  velmora::testing::PumpMessages();
  EXPECT_EQ(g_nextControl, nullptr);
  EXPECT_TRUE(Notified(101));
}

TEST_F(ListWindowTest, TypingWithoutASearchColumnOnlyTellsTheParent) {
  Rows(3);
  SendMessageA(list_, WM_CHAR, 'k', 0);
  SendMessageA(list_, WM_CHAR, 8, 0);  // below 32: ignored
  velmora::testing::PumpMessages();
  ASSERT_EQ(g_notifications.size(), 1u);
  EXPECT_EQ(g_notifications[0].code, 313);
  EXPECT_EQ(g_notifications[0].low, 'k');
  EXPECT_FALSE(IsWindowVisible(Child("EditCorvane")));
}

TEST_F(ListWindowTest, QuickSearchTypesIntoTheEditorAndFindsTheRow) {
  Rows(9);
  SetFocus(list_);
  SetListSearchColumn(list_, 1);
  SendMessageA(list_, WM_CHAR, 'r', 0);
  const HWND editor = Child("EditCorvane");
  ASSERT_TRUE(IsWindowVisible(editor));
  for (const char c : std::string("ow 7")) SendMessageA(editor, WM_CHAR, static_cast<WPARAM>(c), 0);
  SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
  velmora::testing::PumpMessages();
  EXPECT_EQ(CurrentRow(), 7);
  EXPECT_FALSE(IsWindowVisible(editor));
  EXPECT_EQ(GetFocus(), list_);
  EXPECT_TRUE(Notified(310));
}

TEST_F(ListWindowTest, CellEditingStoresAnAcceptedTextAndDropsACancelledOne) {
  Rows(3);
  SetFocus(list_);
  const int columns[] = {2};
  SetListSelectableColumns(list_, columns);
  SetListCellText(list_, 1, 2, "vechi");
  SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_TRUE(Notified(311));
  const HWND editor = Child("EditCorvane");
  ASSERT_TRUE(IsWindowVisible(editor));
  char text[32] = {};
  GetWindowTextA(editor, text, sizeof text);
  EXPECT_STREQ(text, "vechi");
  SetWindowTextA(editor, "nou");
  SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
  velmora::testing::PumpMessages();
  EXPECT_EQ(Cell(1, 2), "nou");
  EXPECT_TRUE(Notified(301));

  SendMessageA(list_, WM_CHAR, 'x', 0);
  ASSERT_TRUE(IsWindowVisible(editor));
  SendMessageA(editor, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(Notified(302));
  EXPECT_EQ(Cell(1, 2), "nou");
  EXPECT_EQ(SelectListCell(list_, 1, 1), 4) << "column 1 is not selectable";
}

TEST(ControlErrors, ErrorsAndWarningsHaveTheirOwnCaptions) {
  const velmora::testing::BoxRecorder boxes;
  ReportControlError(nullptr, "ERR: Failed to Allocate <TextTabel> data.");
  ReportControlError(nullptr, "Only a warning");
  const auto& shown = velmora::testing::BoxRecorder::Boxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "Failed to Allocate <TextTabel> data.");
  EXPECT_EQ(shown[0].caption, "Controls error");
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(shown[1].text, "Only a warning");
  EXPECT_EQ(shown[1].caption, "Controls warning");
  EXPECT_EQ(shown[1].style, static_cast<UINT>(MB_ICONWARNING));
}

}  // namespace
}  // namespace velmora::listctl
