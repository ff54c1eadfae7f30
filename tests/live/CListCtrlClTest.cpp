// The coloured list control: column insertion, colour entries, row height, row search, and
// what its delegate and header actually paint.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include "CListCtrlCl.h"

namespace {

constexpr QRgb kRed = qRgb(170, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kCyan = qRgb(0, 255, 255);

struct ListFixture : ::testing::Test {
  CListCtrlCl list;
  void SetUp() override {
    list.InsertColumn(0, "左", listctrl::kFormatLeft, 80);
    list.InsertColumn(1, "右", listctrl::kFormatRight, 80);
    list.InsertColumn(2, "中", listctrl::kFormatCenter, 80);
    for (int row = 0; row < 5; ++row) list.AppendRow({QString("D%1").arg(row), "x", "y"});
  }
  // The list as painted, in viewport coordinates.
  QImage Paint() {
    list.resize(300, 200);
    list.show();
    QApplication::processEvents();
    return list.viewport()->grab().toImage();
  }
  QRect CellRect(int row, int column) { return list.visualRect(list.Model()->index(row, column)); }
};

TEST_F(ListFixture, ColumnsKeepHeadingAndAlignmentAtTheirPosition) {
  EXPECT_EQ(list.Header().Captions(), QStringList({"左", "右", "中"}));
  EXPECT_EQ(list.Header().Alignments(), "021");
  // A column inserted in front takes its heading and alignment with it.
  list.InsertColumn(0, "首", 7, 40);
  EXPECT_EQ(list.Header().Captions(), QStringList({"首", "左", "右", "中"}));
  EXPECT_EQ(list.Header().Alignments(), "1021");
  EXPECT_EQ(list.columnWidth(0), 40);
}

TEST_F(ListFixture, ColourEntriesReplaceAndStayWithTheRowIndex) {
  QRgb colour = 0;
  EXPECT_FALSE(list.GetCellTextColor(1, 3, colour));
  list.SetCellTextColor(1, 3, kRed);
  list.SetCellTextColor(1, 3, kBlue);
  ASSERT_TRUE(list.GetCellTextColor(1, 3, colour));
  EXPECT_EQ(colour, kBlue);
  EXPECT_FALSE(list.GetCellTextColor(3, 1, colour)) << "row and column are not interchangeable";

  list.DeleteAllItems();
  for (int row = 0; row < 5; ++row) list.AppendRow({"n"});
  ASSERT_TRUE(list.GetCellTextColor(1, 3, colour));
  EXPECT_EQ(colour, kBlue);
  EXPECT_EQ(list.TextColourAt(3, 1), kBlue);
}

TEST_F(ListFixture, CellColoursOutrankColumnColours) {
  list.SetColumnTextColor(2, kRed);
  list.SetColumnBackColor(2, kYellow);
  list.SetCellTextColor(2, 1, kBlue);
  list.SetCellBackColor(2, 1, kCyan);
  EXPECT_EQ(list.TextColourAt(0, 2), kRed);
  EXPECT_EQ(list.TextColourAt(1, 2), kBlue);

  const QImage image = Paint();
  EXPECT_EQ(image.pixel(CellRect(0, 2).bottomRight() - QPoint(3, 2)), kYellow);
  EXPECT_EQ(image.pixel(CellRect(1, 2).bottomRight() - QPoint(3, 2)), kCyan);
}

TEST_F(ListFixture, RowHeightZeroKeepsTheProposedHeight) {
  const int proposed = list.RowHeight();
  ASSERT_GT(proposed, 0);
  list.SetRowHeight(40);
  EXPECT_EQ(list.rowHeight(2), 40);
  list.SetRowHeight(0);
  EXPECT_EQ(list.rowHeight(2), proposed);
}

TEST_F(ListFixture, RowSearchMatchesTheWholeFirstColumn) {
  list.DeleteAllItems();
  for (const char* id : {"A10", "a1", "A1", "B"}) list.AppendRow({id});
  EXPECT_EQ(list.FindRowByFirstColumn("A1"), 2) << "neither a prefix nor a case-folded match";
  EXPECT_EQ(list.FindRowByFirstColumn("B", 3), 3);
  EXPECT_EQ(list.FindRowByFirstColumn("A10", 3), 0) << "the search wraps around";
  EXPECT_EQ(list.FindRowByFirstColumn("A", 0), -1);
  list.DeleteAllItems();
  EXPECT_EQ(list.FindRowByFirstColumn("A1"), -1);
}

// Column of the leftmost and rightmost pixel in `rect` that differs from `background`.
std::pair<int, int> InkSpan(const QImage& image, const QRect& rect, QRgb background) {
  int first = -1, last = -1;
  for (int x = rect.left(); x <= rect.right(); ++x)
    for (int y = rect.top(); y <= rect.bottom(); ++y)
      if (image.pixel(x, y) != background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST_F(ListFixture, CellsAreAlignedLikeTheirHeadings) {
  for (int column = 0; column < 3; ++column) list.SetColumnBackColor(column, qRgb(255, 255, 255));
  for (int row = 0; row < 5; ++row)
    for (int column = 0; column < 3; ++column) list.SetItemText(row, column, "W");
  const QImage image = Paint();
  const QRect left = CellRect(0, 0).adjusted(1, 1, -2, -2);
  const QRect right = CellRect(0, 1).adjusted(1, 1, -2, -2);
  const auto [leftFirst, leftLast] = InkSpan(image, left, qRgb(255, 255, 255));
  const auto [rightFirst, rightLast] = InkSpan(image, right, qRgb(255, 255, 255));
  ASSERT_GE(leftFirst, 0);
  ASSERT_GE(rightFirst, 0);
  EXPECT_LT(leftFirst - left.left(), 8) << "left-aligned text starts 4 pixels in";
  EXPECT_LT(right.right() - rightLast, 4) << "right-aligned text ends at the right edge";
}

TEST_F(ListFixture, SelectedRowsKeepTheCellTextColourOnALightTintInsideAFrame) {
  list.AddExtendedStyle(CListCtrlCl::kFullRowSelect);
  list.SetCellFont(24, 0);
  list.SetRowHeight(30);
  list.SetItemText(1, 0, "■■■");
  list.SetCellTextColor(0, 1, kRed);
  list.selectRow(1);
  const QImage image = Paint();
  const QRect cell = CellRect(1, 0);
  const QRgb highlight = list.palette().color(QPalette::Highlight).rgb();
  EXPECT_EQ(image.pixel(cell.right() - 2, cell.top() + 1), highlight) << "the frame";
  EXPECT_EQ(image.pixel(cell.right() - 2, cell.top() + 4),
            listctrl::SelectedBackColour(highlight, list.palette().color(QPalette::Base).rgb()));
  int red = 0;
  for (int x = cell.left(); x <= cell.right(); ++x)
    for (int y = cell.top(); y <= cell.bottom(); ++y) red += image.pixel(x, y) == kRed;
  EXPECT_GT(red, 20) << "the text keeps its own colour on the highlight";
}

TEST_F(ListFixture, HeaderPaintsTheGradientToTheRightEdge) {
  Paint();
  const QImage header = list.Header().viewport()->grab().toImage();
  const listctrl::Gradient gradient;
  ASSERT_GT(header.height(), 10);
  for (int y = 0; y < header.height(); ++y) {
    SCOPED_TRACE(y);
    EXPECT_EQ(header.pixel(70, y), listctrl::HeaderLineColour(gradient, y)) << "inside the first heading";
    EXPECT_EQ(header.pixel(header.width() - 1, y), listctrl::HeaderLineColour(gradient, y)) << "right of the columns";
  }
}

TEST(ListCtrlHeader, HeightFactorAndEmptyHeader) {
  CListCtrlCl list;
  list.resize(200, 100);
  list.show();
  QApplication::processEvents();
  const int proposed = list.Header().sizeHint().height();
  // No columns: the whole header still shows the gradient.
  const QImage empty = list.Header().viewport()->grab().toImage();
  EXPECT_EQ(empty.pixel(5, 1), listctrl::HeaderLineColour({}, 1));
  EXPECT_EQ(empty.pixel(150, 2), listctrl::HeaderLineColour({}, 2));

  list.Header().SetHeaderHeightFactor(2.0);
  QApplication::processEvents();
  EXPECT_EQ(list.Header().sizeHint().height(), proposed * 2);
  EXPECT_EQ(list.Header().height(), proposed * 2);
}

}  // namespace
