// Drawing rules of the coloured list and its gradient header.
#include <gtest/gtest.h>

#include "ListCtrlRules.h"

using namespace listctrl;

namespace {

constexpr QRgb kList = qRgb(255, 255, 255);
constexpr QRgb kHighlight = qRgb(0, 120, 215);
constexpr QRgb kColumn = qRgb(1, 1, 1);
constexpr QRgb kCell = qRgb(2, 2, 2);

TEST(ListCtrlRules, AlignmentFromFormatAndBack) {
  EXPECT_EQ(AlignmentCharForFormat(kFormatLeft), '0');
  EXPECT_EQ(AlignmentCharForFormat(kFormatRight), '2');
  EXPECT_EQ(AlignmentCharForFormat(kFormatCenter), '1');
  EXPECT_EQ(AlignmentCharForFormat(3), '1');
  EXPECT_EQ(HorizontalAlignment('0'), Qt::AlignLeft);
  EXPECT_EQ(HorizontalAlignment('2'), Qt::AlignRight);
  EXPECT_EQ(HorizontalAlignment('1'), Qt::AlignHCenter);
  EXPECT_EQ(HorizontalAlignment('x'), Qt::AlignHCenter);
}

TEST(ListCtrlRules, CellBeatsColumnBeatsDefaultAndSelectionOnlyTintsTheBackground) {
  EXPECT_EQ(CellBackColour(false, kHighlight, kList, {}, {}), kList);
  EXPECT_EQ(CellBackColour(false, kHighlight, kList, kColumn, {}), kColumn);
  EXPECT_EQ(CellBackColour(false, kHighlight, kList, kColumn, kCell), kCell);
  EXPECT_EQ(CellBackColour(true, kHighlight, kList, kColumn, kCell), SelectedBackColour(kHighlight, kCell));
  // A light tint keeps green, red and blue texts readable on a selected row.
  EXPECT_EQ(CellBackColour(true, kHighlight, kList, {}, {}), qRgb(204, 228, 247));
  const QRect cell(10, 20, 80, 20);
  EXPECT_EQ(SelectionFrame(cell, false, false), (QList<QRect>{{10, 20, 80, 2}, {10, 38, 80, 2}}));
  EXPECT_EQ(SelectionFrame(cell, true, true).size(), 4);
  EXPECT_EQ(SelectionFrame(cell, true, true)[3], QRect(88, 20, 2, 20));
  constexpr QRgb kDefault = qRgb(0, 0, 0);
  EXPECT_EQ(CellTextColour(kDefault, {}, {}), kDefault);
  EXPECT_EQ(CellTextColour(kDefault, kColumn, {}), kColumn);
  EXPECT_EQ(CellTextColour(kDefault, kColumn, kCell), kCell);
}

TEST(ListCtrlRules, HeaderGradientStepsDownAndStopsAtZero) {
  const Gradient defaults;
  for (int n = 0; n < 40; ++n) {
    const QRgb expected = qRgb(std::max(0, 171 - 8 * n), std::max(0, 199 - 8 * n), std::max(0, 235 - 8 * n));
    EXPECT_EQ(HeaderLineColour(defaults, n), expected) << "line " << n;
  }
  EXPECT_EQ(HeaderLineColour({10, 20, 30, 0}, 100), qRgb(10, 20, 30));
  EXPECT_EQ(HeaderLineColour({250, 20, 30, -4}, 3), qRgb(255, 32, 42)) << "a rising gradient stops at 255";
}

TEST(ListCtrlRules, CellTextStartsIndentedAndCentredOnTheListFont) {
  EXPECT_EQ(CellTextRect(QRect(10, 20, 80, 20), 13), QRect(QPoint(14, 23), QPoint(89, 39)));
  // A cell lower than the font moves the text up, rounding toward zero.
  EXPECT_EQ(CellTextRect(QRect(0, 20, 80, 10), 13).top(), 19);
}

}  // namespace
