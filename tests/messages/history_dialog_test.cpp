// Dialog 150 from its real template, in history and in new-message mode,
// and dialog 152, the text viewer.

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "common/fixed_text.h"
#include "listctl/list_class.h"
#include "listctl/list_operations.h"
#include "listctl/list_pixels.h"
#include "messages/message_fixture.h"
#include "messages/messages.h"
#include "postman/news_rules.h"
#include "support/message_pump.h"
#include "support/ui_recorders.h"
#include "update/slide_table.h"

namespace velmora::messages {
namespace {

constexpr int kList = 1023, kDetail = 1043;

std::string OwnEntry(const char* date, const char* text) {
  return InboxEntryBytes(std::string(date) + "\r\n" + text, OwnAuthor(kClientCode));
}
std::string VendorEntry(const char* date, const char* text) {
  return InboxEntryBytes(std::string(date) + text, kVendorAuthor);
}

class HistoryDialogTest : public MessageFilesTest {
 protected:
  static void SetUpTestSuite() { listctl::RegisterListClass(GetModuleHandleA(nullptr)); }
  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    Shared().received.Store("");
    Shared().newMessage = false;
  }
  void Open(LPARAM mode) {
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(150), nullptr,
                                 &MessageHistoryProc, mode);
    ASSERT_NE(dialog_, nullptr);
    testing::PumpMessages(100);
  }
  HWND List() const { return GetDlgItem(dialog_, kList); }
  std::string Cell(int row, int column) const {
    std::string text;
    listctl::GetListCellText(List(), row, column, text, 300);
    return std::string(TrimTrailingBlanks(text));
  }
  int Rows() const {
    int count = -1;
    listctl::GetListRowCount(List(), count);
    return count;
  }
  std::string Detail() const {
    char text[6000] = {};
    GetDlgItemTextA(dialog_, kDetail, text, sizeof text);
    return text;
  }

  HWND dialog_ = nullptr;
};

TEST_F(HistoryDialogTest, TheNewestOfThreeEntriesIsOnTopAndInTheDetailView) {
  testing::WriteFileBytes(Inbox(), OwnEntry("2026.12.01  09:00:00", "intrebare") +
                                       VendorEntry("2026.12.02  09:00:00", "raspuns") +
                                       OwnEntry("2026.12.03  09:00:00", "multumesc"));
  Open(1);
  ASSERT_EQ(Rows(), 3);
  const std::string expected[3][3] = {{"2026.12.03  09:00:00", "CU 4711", "multumesc"},
                                      {"2026.12.02  09:00:00", "Corvane", "raspuns"},
                                      {"2026.12.01  09:00:00", "CU 4711", "intrebare"}};
  for (int row = 1; row <= 3; ++row)
    for (int column = 1; column <= 3; ++column)
      EXPECT_EQ(Cell(row, column), expected[row - 1][column - 1]) << row << "," << column;
  EXPECT_EQ(Detail(), "Data : 2026.12.03  09:00:00\r\nAutor : CU 4711\r\n\r\nmultumesc");
}

TEST_F(HistoryDialogTest, VendorRowsAreGreyAndOwnRowsWhite) {
  struct Case {
    std::string archive;
    int x;
    COLORREF colour;
  };
  const std::string ownLast =
      VendorEntry("2026.12.01  09:00:00", "a") + OwnEntry("2026.12.02  09:00:00", "b");
  const std::string vendorLast =
      OwnEntry("2026.12.01  09:00:00", "a") + VendorEntry("2026.12.02  09:00:00", "b");
  const Case cases[] = {
      {ownLast, 140, GetSysColor(COLOR_WINDOW)},
      {ownLast, 590, GetSysColor(COLOR_WINDOW)},
      {vendorLast, 140, 0xEEEEEE},
      {vendorLast, 236, 0xE8E8E8},
      {vendorLast, 590, 0xE8E8E8},
  };
  for (const Case& c : cases) {
    testing::WriteFileBytes(Inbox(), c.archive);
    Open(1);
    listctl::SelectListCell(List(), 2);  // row 1 is no longer current
    EXPECT_EQ(testing::FirstRowColourAt(List(), c.x), c.colour) << c.x;
    DestroyWindow(dialog_);
    dialog_ = nullptr;
  }
}

TEST_F(HistoryDialogTest, AMessageOfSeveralLinesIsOneLineInTheGridAndWholeInTheDetailView) {
  // The vendor writes a line break as "@@": a blank in the grid, a line break
  // below, as archived on disk.
  testing::WriteFileBytes(Inbox(),
                          VendorEntry("2026.12.02  09:00:00", "Linia 1\r\nLinia 2@@Linia 3"));
  Open(1);
  EXPECT_EQ(Cell(1, 3), "Linia 1  Linia 2 Linia 3");
  EXPECT_EQ(Detail(),
            "Data : 2026.12.02  09:00:00\r\nAutor : Corvane\r\n\r\nLinia 1\r\nLinia 2\r\nLinia 3");
  EXPECT_TRUE(InboxBytes().ends_with("Linia 2@@Linia 3\r\n"));
}

TEST_F(HistoryDialogTest, ANewMessageIsArchivedShownAndAnnouncedOnce) {
  const testing::BoxRecorder boxes;
  const testing::SoundRecorder sounds;
  testing::WriteFileBytes(Inbox(), OwnEntry("2026.12.01  09:00:00", "intrebare"));
  // As the message fetch keeps the server's answer.
  Shared().received.Store(
      postman::MessageFromAnswer("2026.12.08  10:00:00Buna ziua@@La revedere   "));
  Shared().newMessage = true;
  Open(0);
  testing::PumpMessages(100);
  EXPECT_TRUE(Shared().received.IsBlank());
  EXPECT_FALSE(Shared().newMessage);
  EXPECT_TRUE(InboxBytes().ends_with(
      "!---Corvane\r\n2026.12.08  10:00:00\r\nBuna ziua\r\nLa revedere\r\n"));
  EXPECT_EQ(Cell(1, 3), "Buna ziua  La revedere");
  const auto& shown = testing::BoxRecorder::Boxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].owner, dialog_);
  EXPECT_EQ(shown[0].text, "Ati primit un mesaj nou !\r\n\r\nBuna ziua\r\nLa revedere");
  EXPECT_EQ(shown[0].caption, "Corvane");
  EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_ICONWARNING));
  const auto& played = testing::SoundRecorder::Sounds();
  ASSERT_EQ(played.size(), 1u);
  EXPECT_EQ(played[0].ResourceId(), 151u);
  EXPECT_EQ(played[0].flags, static_cast<DWORD>(SND_RESOURCE | SND_ASYNC));
}

TEST_F(HistoryDialogTest, AnArchiveOfMoreThanTenThousandShowsItsNewestOnTop) {
  std::string archive;
  for (int i = 1; i <= 10001; ++i)
    archive += VendorEntry(PadToWidth(std::to_string(i), 20).c_str(), "m");
  testing::WriteFileBytes(Inbox(), archive);
  Open(1);
  ASSERT_EQ(Rows(), 10000);
  EXPECT_EQ(Cell(1, 1), "10001");
  EXPECT_EQ(Cell(10000, 1), "2");
}

TEST_F(HistoryDialogTest, TheHistoryLeavesAWaitingMessageToBeAnnounced) {
  Shared().received.Store("2026.12.08  10:00:00inca neanuntat");
  Open(1);
  EXPECT_EQ(Shared().received.Peek(), "2026.12.08  10:00:00inca neanuntat");
  EXPECT_EQ(Rows(), 0) << "nothing archived";
  EXPECT_EQ(Detail(), "");
}

class TextViewerTest : public MessageFilesTest {
 protected:
  void TearDown() override { update::Slides() = update::SlideTable{}; }
};

TEST_F(TextViewerTest, ShowsAtMost32000BytesOfTheSlidesText) {
  const std::string text = "Detalii\r\n" + std::string(40000, 'd');
  testing::WriteFileBytes(suite_.path() / "slide1.jpgex", text);
  update::Slides().at(1).detailBase = (suite_.path() / "slide1.jpgex").string();
  const HWND viewer = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(152), nullptr,
                                         &TextViewerProc, 1);
  ASSERT_NE(viewer, nullptr);
  const int length = GetWindowTextLengthA(GetDlgItem(viewer, 1043));
  EXPECT_EQ(length, 32000);
  DestroyWindow(viewer);
}

TEST_F(TextViewerTest, EndsAtOnceForABadIndexOrAMissingFile) {
  update::Slides().at(2).detailBase = (suite_.path() / "missing.jpgex").string();
  for (const LPARAM index : {0, 201, 2})
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(152), nullptr,
                              &TextViewerProc, index),
              2)
        << index;
}

}  // namespace
}  // namespace velmora::messages
