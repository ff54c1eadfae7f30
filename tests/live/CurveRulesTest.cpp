#include <gtest/gtest.h>

#include "CurveRules.h"

using namespace curves;

namespace {
const ChartPanel& Temperature() { return kPanels[0]; }
const ChartPanel& Humidity() { return kPanels[1]; }
const ChartPanel& Internal() { return kPanels[2]; }
const ChartPanel& Voltage() { return kPanels[3]; }

std::vector<LiveSample> Temperatures(std::initializer_list<float> values) {
  std::vector<LiveSample> samples;
  for (float v : values) samples.push_back({v, 0, 0, 0, 0, 0, 0, 0});
  return samples;
}
}  // namespace

TEST(CurveScale, ValuesMapToPanelRows) {
  struct Case {
    const ChartPanel* panel;
    double value;
    int row;
    bool inside;
  } cases[] = {
      {&Temperature(), -40.0, 300, true},  // on the horizontal axis
      {&Temperature(), 80.0, 60, true},    // 240 above it
      {&Temperature(), 90.0, 40, false},
      {&Temperature(), -41.0, 302, false},
      {&Temperature(), 25.3, 169, true},  // truncated, not rounded
      {&Humidity(), 0.0, 300, true},
      {&Humidity(), 100.0, 100, true},
      {&Humidity(), 125.0, 50, true},  // the top of the axis still counts
      {&Internal(), -40.0, 600, true},
      {&Voltage(), double(3.6f), 564, true},  // 36 above the voltage axis
      {&Voltage(), 0.0, 600, true},
      {&Voltage(), 26.0, 340, false},
  };
  for (const Case& c : cases) {
    const int row = ValueToRow(*c.panel, c.value);
    EXPECT_EQ(row, c.row) << c.panel->title << " " << c.value;
    EXPECT_EQ(RowInPanel(*c.panel, row), c.inside) << c.panel->title << " " << c.value;
  }
  EXPECT_FALSE(RowInPanel(Temperature(), ValueToRow(Temperature(), std::nan(""))));
  EXPECT_FALSE(RowInPanel(Temperature(), ValueToRow(Temperature(), 1e30)));
}

TEST(CurveScale, PointsOutsideThePanelAreSkippedWithoutBreakingTheCurve) {
  const auto samples = Temperatures({20.0f, 90.0f, 30.0f, -50.0f, -40.0f});
  const std::vector<QPoint> points = CurvePoints(Temperature(), samples);
  EXPECT_EQ(points, (std::vector<QPoint>{{150, 180}, {152, 160}, {154, 300}}));
  EXPECT_TRUE(CurvePoints(Temperature(), {}).empty());
}

TEST(CurveButtons, LeftAndTopEdgesBelongToTheButton) {
  struct Case {
    QPoint point;
    bool previous, next;
  } cases[] = {
      {{5, 100}, true, false},   {{104, 149}, true, false}, {{105, 100}, false, false}, {{5, 150}, false, false},
      {{4, 120}, false, false},  {{5, 99}, false, false},   {{5, 520}, false, true},    {{104, 569}, false, true},
      {{104, 570}, false, false}, {{105, 569}, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InButton(kPreviousButton, c.point), c.previous) << c.point.x() << "," << c.point.y();
    EXPECT_EQ(InButton(kNextButton, c.point), c.next) << c.point.x() << "," << c.point.y();
  }
}

TEST(CurveGroups, CountLabelAndSteps) {
  struct Count {
    int shown, groups;
  } counts[] = {{0, 0}, {1, 1}, {10, 1}, {11, 2}, {25, 3}};
  for (const Count& c : counts) EXPECT_EQ(GroupCount(c.shown), c.groups) << c.shown;

  EXPECT_EQ(GroupLabel(0, 3), QStringLiteral("第1/3组"));
  EXPECT_EQ(GroupLabel(2, 3), QStringLiteral("第3/3组"));
  EXPECT_EQ(GroupLabel(0, 0), QStringLiteral("第1/0组"));

  struct Step {
    int index, groups, command;
    std::optional<int> expected;
  } steps[] = {
      {0, 3, 2, 1}, {1, 3, 2, 2}, {2, 3, 2, std::nullopt}, {0, 3, 1, std::nullopt}, {2, 3, 1, 1},
      {1, 3, 0, 1}, {0, 0, 2, std::nullopt}, {0, 0, 0, 0},
  };
  for (const Step& s : steps) EXPECT_EQ(StepGroup(s.index, s.groups, s.command), s.expected) << s.index << "/" << s.command;

  EXPECT_EQ(ClampGroup(5, 2), 1);
  EXPECT_EQ(ClampGroup(1, 2), 1);
  EXPECT_EQ(ClampGroup(3, 0), 0);
  EXPECT_EQ(ClampGroup(-1, 3), 0);
}

TEST(CurveGroups, GroupStartsAfterTheTenthShownRecordOfThePreviousOne) {
  std::vector<char> shown(25, 1);
  EXPECT_EQ(FirstRecordOfGroup(shown, 0), 0);
  EXPECT_EQ(FirstRecordOfGroup(shown, 1), 10);
  EXPECT_EQ(FirstRecordOfGroup(shown, 2), 20);
  EXPECT_EQ(FirstRecordOfGroup(shown, 3), 25);  // past the end
  shown[3] = shown[12] = 0;
  EXPECT_EQ(FirstRecordOfGroup(shown, 1), 11);
  EXPECT_EQ(FirstRecordOfGroup(shown, 2), 22);
  EXPECT_EQ(FirstRecordOfGroup({}, 0), 0);
}

TEST(CurveLegend, SlotsStackDownwardInTheirColours) {
  EXPECT_EQ(LegendBar(0), QRect(5, 195, 30, 13));
  EXPECT_EQ(LegendBar(9).top(), 195 + 270);
  EXPECT_EQ(LegendTextPosition(1), QPoint(37, 224));
  EXPECT_EQ(SlotColour(0), qRgb(255, 0, 0));
  EXPECT_EQ(SlotColour(6), qRgb(255, 128, 255));
  EXPECT_EQ(SlotColour(9), qRgb(64, 0, 128));
}
