// The grid's data model and geometry: columns, rows, the text table, keys,
// scrolling, hit tests and the quick search.

#include "listctl/list_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/fixed_text.h"

namespace velmora::listctl {
namespace {

constexpr int kRowHeight = 15;

class ListModelTest : public ::testing::Test {
 protected:
  ListModelTest() : data_(std::make_unique<ListData>()), bytes_(TableBytes(kTableGrowthRows)) {
    InitialiseList(*data_, 620, 264, kRowHeight);
  }
  ListData& d() { return *data_; }
  TextTable table() { return TextTable(bytes_); }
  void Rows(int count) {
    for (int i = 0; i < count; ++i) {
      AppendRow(d(), table());
      CopyIntoField(table().Cell(d().rowCount, 1), "row " + std::to_string(d().rowCount));
    }
  }
  std::string Text(int row, int column) {
    const auto cell = table().Cell(row, column);
    return std::string(TrimTrailingBlanks(std::string_view(cell.data(), cell.size())));
  }

  std::unique_ptr<ListData> data_;
  std::vector<char> bytes_;
};

TEST_F(ListModelTest, ATwentySecondColumnIsRefusedAndChangesNothing) {
  for (int i = 0; i < 21; ++i) ASSERT_EQ(AddColumn(d(), table(), 10, 0, 0, "T"), kOk);
  EXPECT_EQ(AddColumn(d(), table(), 10, 0, 0, "T"), 2);
  EXPECT_EQ(d().columnCount, 21);
}

TEST_F(ListModelTest, AFirstColumnNeedsAWidth) {
  EXPECT_EQ(AddColumn(d(), table(), 0, 0, 0, "T"), 3);
  EXPECT_EQ(d().columnCount, 0);
}

TEST_F(ListModelTest, ColumnsFollowEachOtherWithTheirGap) {
  AddColumn(d(), table(), 142, 0, 0, "Data");
  AddColumn(d(), table(), 90, 0, 0, "Autor");
  struct Case {
    int column, left, right;
  };
  // The first column starts at half the gap less one; each next one a gap after the last.
  const Case cases[] = {{1, 3, 144}, {2, 151, 240}};
  for (const Case& c : cases) {
    EXPECT_EQ(CellRect(d(), c.column, 1).left, c.left) << c.column;
    EXPECT_EQ(CellRect(d(), c.column, 1).right, c.right) << c.column;
    EXPECT_EQ(TitleRect(d(), c.column).left, c.left) << c.column;
  }
  EXPECT_EQ(CellRect(d(), 1, 3).top, d().headerHeight + 2 * kRowHeight);
  EXPECT_EQ(d().horizontalOverflow, 0);
}

TEST_F(ListModelTest, ATwoLineTitleRaisesTheHeaderForAllColumns) {
  AddColumn(d(), table(), 50, 0, 0, "One");
  EXPECT_EQ(d().headerHeight, kRowHeight + 4);
  AddColumn(d(), table(), 50, 0, 0, "Two\r\nlines   ");
  EXPECT_EQ(d().headerHeight, 2 * kRowHeight + 4);
  EXPECT_EQ(TitleRect(d(), 1).bottom, TitleRect(d(), 2).bottom);
  EXPECT_EQ(d().visibleRows, 15);  // (264 - 34) / 15
}

TEST_F(ListModelTest, ColumnsWiderThanTheControlOpenTheHorizontalBar) {
  AddColumn(d(), table(), 400, 0, 0, "A");
  EXPECT_EQ(d().visibleRows, 16);  // (264 - 19) / 15
  AddColumn(d(), table(), 400, 0, 0, "B");
  // right edge 2 + 400 + 6 + 400 = 808, plus the margin 2 and the bar 16, less 620
  EXPECT_EQ(d().horizontalOverflow, 206);
  EXPECT_EQ(d().visibleRows, 15);  // (264 - 19 - 16) / 15
}

TEST_F(ListModelTest, InsertingAtRowOneMovesTextsAndColoursButNotTheCurrentRow) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(3);
  d().cellBackColour[0][1] = 0xE8E8E8;  // row 2
  d().currentRow = 3;
  AppendRow(d(), table());
  InsertRow(d(), table(), 1);
  EXPECT_EQ(d().currentRow, 3);
  EXPECT_EQ(Text(1, 1), "");
  EXPECT_EQ(Text(3, 1), "row 2");
  EXPECT_EQ(d().cellBackColour[0][2], 0xE8E8E8u);
  EXPECT_EQ(d().cellBackColour[0][1], 0u);
}

TEST_F(ListModelTest, RemovingTheCurrentLastRowSelectsTheOneBefore) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(3);
  d().currentRow = 3;
  RemoveRow(d(), table(), 1);
  EXPECT_EQ(d().rowCount, 2);
  EXPECT_EQ(d().currentRow, 2);
  EXPECT_EQ(Text(1, 1), "row 2");
}

TEST_F(ListModelTest, KeysMoveTheCurrentRowWithinTheList) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(25);
  d().visibleRows = 10;
  struct Case {
    ListKey key;
    bool control;
    int from, to;
  };
  const Case cases[] = {
      {ListKey::PageDown, false, 1, 10}, {ListKey::PageDown, false, 20, 25},
      {ListKey::PageUp, false, 15, 6},   {ListKey::PageUp, false, 3, 1},
      {ListKey::Up, false, 1, 1},        {ListKey::Down, false, 25, 25},
      {ListKey::Down, false, 4, 5},      {ListKey::Home, true, 9, 1},
      {ListKey::End, true, 9, 25},       {ListKey::Home, false, 9, 0},
      {ListKey::End, false, 9, 0},
  };
  for (const Case& c : cases) {
    d().currentRow = c.from;
    EXPECT_EQ(RowAfterKey(d(), c.key, c.control), c.to)
        << static_cast<int>(c.key) << " from " << c.from;
  }
}

TEST_F(ListModelTest, ScrollingStaysWithinTheRows) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(25);
  d().visibleRows = 10;
  struct Case {
    ScrollRequest request;
    int from, thumb, to;
  };
  const Case cases[] = {
      {ScrollRequest::LineUp, 0, 0, 0},     {ScrollRequest::LineDown, 0, 0, 1},
      {ScrollRequest::LineDown, 15, 0, 15}, {ScrollRequest::PageDown, 0, 0, 9},
      {ScrollRequest::PageUp, 5, 0, 0},     {ScrollRequest::Thumb, 0, 40, 15},
  };
  for (const Case& c : cases) {
    d().topRow = c.from;
    EXPECT_EQ(TopRowAfterScroll(d(), c.request, c.thumb), c.to)
        << static_cast<int>(c.request) << " from " << c.from;
  }
}

TEST_F(ListModelTest, SelectingARowScrollsItIntoView) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(25);
  d().visibleRows = 10;
  EXPECT_TRUE(KeepRowVisible(d(), 14));
  EXPECT_EQ(d().topRow, 4);
  EXPECT_FALSE(KeepRowVisible(d(), 10));
  EXPECT_TRUE(KeepRowVisible(d(), 2));
  EXPECT_EQ(d().topRow, 1);
}

TEST_F(ListModelTest, AClickFindsItsVisiblePosition) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(4);
  const int header = d().headerHeight;
  struct Case {
    int y, position;
  };
  const Case cases[] = {
      {header - 1, 0}, {header, 1}, {header + kRowHeight, 2}, {header + 10 * kRowHeight, 4}};
  for (const Case& c : cases) EXPECT_EQ(PositionAt(d(), c.y), c.position) << c.y;
}

TEST_F(ListModelTest, QuickSearchFindsEveryWordAfterTheCurrentRowAndWraps) {
  AddColumn(d(), table(), 50, 0, 0, "A");
  Rows(4);
  CopyIntoField(table().Cell(2, 1), "Factura client Ionescu");
  CopyIntoField(table().Cell(4, 1), "Factura furnizor");
  d().cellValue[0][2] = 42.5;  // row 3
  d().editColumn = 1;
  struct Case {
    int current;
    const char* key;
    int found;
  };
  const Case cases[] = {
      {1, "factura", 2},
      {2, "FACTURA", 4},
      {4, "ionescu client", 2},
      {1, "factura zzz", 0},
      {1, "42.5", 3},
      {3, "row 3", 0},
      {1, "", 0},
  };
  for (const Case& c : cases) {
    d().currentRow = c.current;
    EXPECT_EQ(FindQuickSearchRow(d(), table(), c.key), c.found) << c.key << " from " << c.current;
  }
}

}  // namespace
}  // namespace velmora::listctl
