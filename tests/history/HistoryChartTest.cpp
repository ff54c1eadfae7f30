#include <gtest/gtest.h>

#include "CurveSegments.h"
#include "HistoryChart.h"
#include "HistoryChartPainter.h"
#include "HistoryStatements.h"
#include "SqlFormat.h"

using namespace history;

namespace {

TEST(HistoryChart, TimeOfDayMapsToPixelColumns) {
  const struct {
    const char* datetime;
    int x;
  } cases[] = {
      {"2024-05-01 00:00:00", 100},
      {"2024-05-01 12:00:00", 460},
      {"2024-05-01 12:00:30", 460},
      {"2024-05-01 12:01:10", 460},
      {"2024-05-01 12:02:00", 461},
      {"2024-05-01 23:59:59", 819},
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
      // Every scale spans rows 270 (its lowest value, on the x axis) to 70.
      {kChannelTemperature, 25.0, 161},    {kChannelTemperature, -40.0, 270}, {kChannelTemperature, 80.0, 70},
      {kChannelTemperature, -25.0, 245},   {kChannelTemperature, 45.0, 128},  {kChannelDeviceTemperature, 25.0, 161},
      {kChannelHumidity, 0.0, 270},        {kChannelHumidity, 50.0, 170},     {kChannelHumidity, 100.0, 70},
      {kChannelVoltage, 0.0, 270},         {kChannelVoltage, 3.5, 235},       {kChannelVoltage, 20.0, 70},
      {kChannelTemperature, 25.5, 160},     // 160.8 truncated
      {kChannelTemperature, 120.0, 3},      // beyond the scale: outside the chart, not clipped
      {kChannelVoltage, 1e300, -99999730},  // absurd values stay within int
  };
  for (const auto& c : cases) EXPECT_EQ(CurveY(c.channel, c.value), c.y) << c.channel << " " << c.value;
}

TEST(HistoryChart, OnePointPerPixelColumn) {
  std::vector<QPoint> trace;
  for (QPoint p : {QPoint(460, 220), QPoint(460, 200), QPoint(460, 180), QPoint(461, 210), QPoint(459, 100)})
    AddCurvePoint(trace, p);
  EXPECT_EQ(trace, (std::vector<QPoint>{QPoint(460, 220), QPoint(461, 210)}));
}

TEST(CurveBreaks, GapsAndReadingsWithoutValueStartNewStrokes) {
  using Strokes = std::vector<std::vector<QPoint>>;
  const auto at = [](int minute, double value = 25.0, bool noValue = false) {
    return CurveReading{minute * 60, value, noValue};
  };
  const struct {
    const char* what;
    std::vector<CurveReading> readings;
    Strokes strokes;
  } cases[] = {
      {"steady readings join", {at(0), at(10), at(20)}, {{QPoint(100, 161), QPoint(105, 161), QPoint(110, 161)}}},
      {"an hour missing among 10-minute readings",
       {at(0), at(10), at(20), at(80), at(90)},
       {{QPoint(100, 161), QPoint(105, 161), QPoint(110, 161)}, {QPoint(140, 161), QPoint(145, 161)}}},
      {"a gap of less than five minutes joins",
       {at(0), at(1), at(2), at(6)},
       {{QPoint(100, 161), QPoint(100, 161), QPoint(101, 161), QPoint(103, 161)}}},
      {"offline reading breaks and is not drawn",
       {at(0), at(10), at(20, 0.0, true), at(30)},
       {{QPoint(100, 161), QPoint(105, 161)}, {QPoint(115, 161)}}},
      {"all without value", {at(0, 0, true), at(10, 0, true)}, {}},
      {"one reading", {at(720)}, {{QPoint(460, 161)}}},
  };
  for (const auto& c : cases) {
    Strokes expected = c.strokes;
    for (auto& stroke : expected) {  // one point per pixel column within a stroke
      std::vector<QPoint> kept;
      for (QPoint p : stroke) AddCurvePoint(kept, p);
      stroke = kept;
    }
    EXPECT_EQ(CurveSegments(c.readings, kChannelTemperature), expected) << c.what;
  }
}

TEST(CurveBreaks, RowsWithoutANumberBreakTheLine) {
  // Rows of the coded statement at 00:00, 00:10, …; a NULL value arrives as an empty text.
  const auto strokes = [](std::vector<std::pair<const char*, const char*>> values, bool coded = true) {
    std::vector<CurveReading> readings;
    int minute = 0;
    for (const auto& [value, code] : values) {
      DbRow row = {"D1", "2024-05-01 00:" + std::to_string(minute / 10) + "0:00", value};
      if (coded) row.push_back(code);
      readings.push_back(CurveReadingOf(row));
      minute += 10;
    }
    std::vector<std::size_t> sizes;
    for (const auto& stroke : CurveSegments(readings, kChannelTemperature)) sizes.push_back(stroke.size());
    return sizes;
  };
  using Sizes = std::vector<std::size_t>;
  EXPECT_EQ(strokes({{"20.0", "0"}, {"21.0", "1"}, {"22.0", "0"}}), Sizes({3}));
  for (const char* none : {"", "abc", "nan", "1e39"})
    EXPECT_EQ(strokes({{"20.0", "0"}, {none, "0"}, {"22.0", "0"}, {"22.0", "0"}}), Sizes({1, 2})) << none;
  EXPECT_EQ(strokes({{"20.0", "0"}, {"0.0", "3"}, {"0.0", "4"}, {"22.0", "0"}}), Sizes({1, 1}));
  EXPECT_EQ(strokes({{"20.0", ""}, {"21.0", "99999999999"}}), Sizes({2}));         // unknown codes are values
  EXPECT_EQ(strokes({{"3.6", ""}, {"", ""}, {"3.6", ""}}, false), Sizes({1, 1}));  // the voltage has no code
  EXPECT_EQ(CurveReadingOf({"D1", "2024-05-01 12:00:00", " 21.5", "0"}).value, 21.5);
}

TEST(CurveBreaks, CodeColumnJoinsTheSelectListOnly) {
  const auto keep = [](std::string_view t) { return std::string(t); };
  const std::string plain = CurveStatement(keep, kChannelTemperature, "D1", "a", "b");
  const std::string coded = CurveStatementWithCode(keep, kChannelTemperature, "D1", "a", "b");
  EXPECT_EQ(coded.find("select history_tab.device_id,history_tab.datetime,history_tab.tempe,history_tab.tempe_alarm "),
            0u);
  EXPECT_EQ(coded.substr(coded.find(" \t") + 0), plain.substr(plain.find(" \t")));
  EXPECT_NE(
      CurveStatementWithCode(keep, kChannelHumidity, "D1", "a", "b").find("history_tab.hum,history_tab.hum_alarm "),
      std::string::npos);
  EXPECT_EQ(CurveStatementWithCode(keep, kChannelVoltage, "D1", "a", "b"),
            CurveStatement(keep, kChannelVoltage, "D1", "a", "b"));
}

TEST(HistoryChart, GroupsOfTenAndTheirLabel) {
  const struct {
    int index, devices, groups, clamped;
    const char* label;
  } cases[] = {
      {0, 25, 3, 0, "第1/3组"}, {1, 25, 3, 1, "第2/3组"},
      {2, 25, 3, 2, "第3/3组"}, {5, 25, 3, 2, "第3/3组"},  // list shrank under the kept index
      {0, 10, 1, 0, "第1/1组"}, {1, 11, 2, 1, "第2/2组"},
      {-3, 5, 1, 0, "第1/1组"}, {4, 0, 0, 0, "第0/0组"},  // empty list: no group to name
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
  chart.series[0].segments = {{QPoint(460, 225), QPoint(500, 225)}, {QPoint(520, 225), QPoint(540, 225)}};
  chart.series[1].segments = {{QPoint(600, 240)}};  // a lone reading is marked, not lost
  QImage image(1000, 420, QImage::Format_RGB32);
  PaintChart(image, chart);
  EXPECT_EQ(image.pixelColor(480, 225), kSeriesColours[0]);
  EXPECT_EQ(image.pixelColor(510, 225), QColor(Qt::white));  // the gap stays open
  EXPECT_EQ(image.pixelColor(530, 225), kSeriesColours[0]);
  EXPECT_EQ(image.pixelColor(600, 240), kSeriesColours[1]);
  EXPECT_EQ(image.pixelColor(855, 71), kSeriesColours[0]);                   // legend bar of slot 0
  EXPECT_EQ(image.pixelColor(855, 71 + 9 * 21), kSeriesColours[9]);          // and of slot 9
  EXPECT_EQ(image.pixelColor(kChartLeft, 200), QColor(Qt::black));           // y axis
  EXPECT_EQ(image.pixelColor(300, kChartBottom), QColor(Qt::black));         // x axis
  EXPECT_EQ(image.pixelColor(kChartLeft + 30, 200), QColor(212, 212, 212));  // hour grid

  // A smaller image is drawn as far as it reaches, without writing past its edge.
  QImage small(300, 200, QImage::Format_RGB32);
  PaintChart(small, chart);
  EXPECT_EQ(small.pixelColor(kChartLeft, 150), QColor(Qt::black));
}

}  // namespace
