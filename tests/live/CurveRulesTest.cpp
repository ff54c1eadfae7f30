#include <gtest/gtest.h>

#include <cmath>

#include "CurveRules.h"

using namespace curves;

TEST(CurveScale, ValuesMapToPanelRows) {
  const ChartPanel &temperature = kPanels[0], &humidity = kPanels[1], &voltage = kPanels[3];
  struct Case {
    const ChartPanel* panel;
    double value;
    int row;
    bool inside;
  } cases[] = {
      {&temperature, -40.0, 300, true},  // on the horizontal axis
      {&temperature, 80.0, 60, true},    // 240 above it
      {&temperature, 90.0, 40, false},     {&temperature, -41.0, 302, false},
      {&temperature, 25.3, 169, true},      // truncated, not rounded
      {&humidity, 125.0, 50, true},         // the top of the axis still counts
      {&voltage, double(3.6f), 564, true},  // 36 above the voltage axis
      {&voltage, 26.0, 340, false},
  };
  for (const Case& c : cases) {
    const int row = ValueToRow(*c.panel, c.value);
    EXPECT_EQ(row, c.row) << c.panel->title << " " << c.value;
    EXPECT_EQ(RowInPanel(*c.panel, row), c.inside) << c.panel->title << " " << c.value;
  }
  EXPECT_FALSE(RowInPanel(temperature, ValueToRow(temperature, std::nan(""))));
  EXPECT_FALSE(RowInPanel(temperature, ValueToRow(temperature, 1e30)));

  // Points outside the panel are left out; the curve joins their neighbours.
  std::vector<LiveSample> samples;
  for (float v : {20.0f, 90.0f, 30.0f, -50.0f, -40.0f}) samples.push_back({v, 0, 0, 0, 0, 0, 0, 0});
  EXPECT_EQ(CurvePoints(temperature, samples), (CurveRuns{{{150, 180}, {152, 160}, {154, 300}}}));
}

TEST(CurveScale, SamplesWithoutAReadingBreakTheCurve) {
  const float nan = std::nanf("");
  const struct {
    float value;
    int code;
  } temperatures[] = {{20, 0}, {0, 4}, {30, 1}, {0, 3}, {0, 3}, {nan, 0}, {40, 2}, {25, 99}, {0, 4}};
  std::vector<LiveSample> samples;
  for (const auto& t : temperatures) samples.push_back({t.value, t.code, t.value, 0, t.value, t.value, 1, 0});
  // Code 4, code 3 and NaN give no point and end the run; an unknown code is still a reading.
  EXPECT_EQ(CurvePoints(kPanels[0], samples), (CurveRuns{{{150, 180}}, {{152, 160}}, {{156, 140}, {157, 170}}}));
  // Panels without a code of their own break on a missing value only.
  EXPECT_EQ(CurvePoints(kPanels[2], samples).size(), 2u);
  EXPECT_TRUE(CurvePoints(kPanels[0], std::vector<LiveSample>(3, LiveSample{0, 4, 0, 0, 0, 0, 0, 0})).empty());
}

TEST(CurveButtons, LeftAndTopEdgesBelongToTheButton) {
  struct Case {
    QPoint point;
    bool previous, next;
  } cases[] = {
      {{5, 100}, true, false},  {{104, 149}, true, false}, {{105, 100}, false, false}, {{5, 150}, false, false},
      {{4, 120}, false, false}, {{5, 520}, false, true},   {{104, 570}, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(InButton(kPreviousButton, c.point), c.previous) << c.point.x() << "," << c.point.y();
    EXPECT_EQ(InButton(kNextButton, c.point), c.next) << c.point.x() << "," << c.point.y();
  }
}

TEST(CurveGroups, CountLabelStepsAndFirstRecord) {
  EXPECT_EQ(GroupCount(0), 0);
  EXPECT_EQ(GroupCount(10), 1);
  EXPECT_EQ(GroupCount(25), 3);
  EXPECT_EQ(GroupLabel(2, 3), QStringLiteral("第3/3组"));
  EXPECT_EQ(GroupLabel(0, 0), QStringLiteral("第1/0组"));

  EXPECT_EQ(StepGroup(1, 3, 2), 2);
  EXPECT_EQ(StepGroup(2, 3, 2), std::nullopt);
  EXPECT_EQ(StepGroup(0, 3, 1), std::nullopt);
  EXPECT_EQ(StepGroup(0, 0, 2), std::nullopt);
  EXPECT_EQ(ClampGroup(5, 2), 1);
  EXPECT_EQ(ClampGroup(3, 0), 0);

  std::vector<char> shown(25, 1);
  EXPECT_EQ(FirstRecordOfGroup(shown, 2), 20);
  EXPECT_EQ(FirstRecordOfGroup(shown, 3), 25);  // past the end
  shown[3] = shown[12] = 0;
  EXPECT_EQ(FirstRecordOfGroup(shown, 1), 11);
  EXPECT_EQ(FirstRecordOfGroup(shown, 2), 22);
}
