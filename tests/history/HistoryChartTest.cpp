#include <gtest/gtest.h>

#include "HistoryChart.h"
#include "HistoryChartPainter.h"

using namespace history;

namespace {

TEST(HistoryChart, TimeOfDayMapsToPixelColumns) {
  const struct {
    const char* datetime;
    int x;
  } cases[] = {
      {"2024-05-01 00:00:00", 100}, {"2024-05-01 12:00:00", 460}, {"2024-05-01 12:00:30", 460},
      {"2024-05-01 12:01:10", 460}, {"2024-05-01 12:02:00", 461}, {"2024-05-01 23:59:59", 819},
      {"2024-05-02 12:00:00", 460},  // the date part plays no part
      {"garbage", 100},
  };
  for (const auto& c : cases) EXPECT_EQ(CurveX(c.datetime), c.x) << c.datetime;
}

TEST(HistoryChart, ValuesMapToRowsPerChannel) {
  const struct {
    int channel;
    double value;
    int y;
  } cases[] = {
      {kChannelTemperature, 25.0, 220}, {kChannelTemperature, -40.0, 350}, {kChannelTemperature, 80.0, 110},
      {kChannelDeviceTemperature, 25.0, 220}, {kChannelHumidity, 50.0, 250}, {kChannelHumidity, 100.0, 150},
      {kChannelVoltage, 3.5, 315}, {kChannelVoltage, 20.0, 150},
      {kChannelTemperature, 25.3, 219},    // 219.4 truncated
      {kChannelTemperature, 120.0, 30},    // beyond the scale: outside the chart, not clipped
      {kChannelVoltage, 1e300, -99999650}, // absurd values stay within int
  };
  for (const auto& c : cases) EXPECT_EQ(CurveY(c.channel, c.value), c.y) << c.channel << " " << c.value;
}

TEST(HistoryChart, OnePointPerPixelColumn) {
  std::vector<QPoint> trace;
  for (QPoint p : {QPoint(460, 220), QPoint(460, 200), QPoint(460, 180), QPoint(461, 210), QPoint(459, 100)})
    AddCurvePoint(trace, p);
  EXPECT_EQ(trace, (std::vector<QPoint>{QPoint(460, 220), QPoint(461, 210)}));
}

TEST(HistoryChart, GroupsOfTenAndTheirLabel) {
  const struct {
    int index, devices, groups, clamped;
    const char* label;
  } cases[] = {
      {0, 25, 3, 0, "第1/3组"}, {1, 25, 3, 1, "第2/3组"}, {2, 25, 3, 2, "第3/3组"},
      {5, 25, 3, 2, "第3/3组"},  // list shrank under the kept index
      {0, 10, 1, 0, "第1/1组"}, {1, 11, 2, 1, "第2/2组"}, {-3, 5, 1, 0, "第1/1组"},
      {4, 0, 0, 0, "第0/0组"},   // empty list: no group to name
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GroupCount(c.devices), c.groups);
    EXPECT_EQ(ClampGroupIndex(c.index, c.devices), c.clamped);
    EXPECT_EQ(GroupLabel(c.index, c.devices), QString::fromUtf8(c.label));
  }
}

TEST(HistoryChartPainter, CurvesLegendAndAxesLandOnTheirPixels) {
  CurveChart chart;
  chart.series[0].name = "D000000001";
  chart.series[0].trace = {QPoint(460, 220), QPoint(500, 220)};
  chart.series[1].trace = {QPoint(600, 300)};  // a single reading draws nothing
  QImage image(1000, 420, QImage::Format_RGB32);
  PaintChart(image, chart);
  EXPECT_EQ(image.pixelColor(480, 220), kSeriesColours[0]);
  EXPECT_EQ(image.pixelColor(600, 300), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(855, 71), kSeriesColours[0]);           // legend bar of slot 0
  EXPECT_EQ(image.pixelColor(855, 71 + 9 * 30), kSeriesColours[9]);  // and of slot 9
  EXPECT_EQ(image.pixelColor(kChartLeft, 200), QColor(Qt::black));   // y axis
  EXPECT_EQ(image.pixelColor(300, kChartBottom), QColor(Qt::black)); // x axis
  EXPECT_EQ(image.pixelColor(kChartLeft + 30, 200), QColor(212, 212, 212));  // hour grid

  // A smaller image is drawn as far as it reaches, without writing past its edge.
  QImage small(300, 200, QImage::Format_RGB32);
  PaintChart(small, chart);
  EXPECT_EQ(small.pixelColor(kChartLeft, 150), QColor(Qt::black));
}

}  // namespace
