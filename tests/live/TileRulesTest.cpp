#include <gtest/gtest.h>

#include <limits>

#include "TileRules.h"

using namespace tiles;

TEST(TileGrid, WholeCellsFitAndFillRowByRow) {
  struct Case {
    int width, height, columns, rows;
  } grids[] = {{820, 600, 4, 4}, {204, 600, 0, 4}, {820, 144, 4, 0}, {205, 145, 1, 1}, {-5, 300, 0, 0}};
  for (const Case& c : grids) {
    EXPECT_EQ(GridForClient(c.width, c.height).columns, c.columns) << c.width << "x" << c.height;
    EXPECT_EQ(GridForClient(c.width, c.height).rows, c.rows) << c.width << "x" << c.height;
  }
  EXPECT_EQ(CellOrigin(0, 4), QPoint(5, 5));
  EXPECT_EQ(CellOrigin(3, 4), QPoint(620, 5));
  EXPECT_EQ(CellOrigin(15, 4), QPoint(620, 440));
}

TEST(TilePaging, WalksOverShownRecords) {
  enum Dir { kPrev, kNext };
  struct Case {
    const char* shown;  // one flag per record slot
    int first, perPage;
    Dir dir;
    int expected;
    const char* what;
  } cases[] = {
      {"1111111111", 0, 4, kNext, 4, "next from the first page"},
      {"1111111111", 8, 4, kNext, 8, "next on the last page changes nothing"},
      {"11111111", 4, 4, kNext, 4, "next when the page ends with the table"},
      {"1111000000", 0, 4, kNext, 0, "next with only hidden records left changes nothing"},
      {"1011010111", 0, 3, kNext, 4, "hidden records are stepped over"},
      {"1111111111", 0, 0, kNext, 0, "no tile fits: no paging"},
      {"1111111111", 0, 4, kPrev, 0, "previous on the first page changes nothing"},
      {"1111111111", 8, 4, kPrev, 4, "previous from the last page"},
      {"0001111111", 3, 4, kPrev, 0, "previous stops at the start of the table"},
  };
  for (const Case& c : cases) {
    std::vector<char> shown;
    for (const char* f = c.shown; *f; ++f) shown.push_back(*f == '1');
    const int got =
        c.dir == kNext ? NextPageStart(shown, c.first, c.perPage) : PreviousPageStart(shown, c.first, c.perPage);
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

TEST(TileFace, TextsAndColoursFollowTheCodes) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  constexpr int kHuge = std::numeric_limits<std::int32_t>::max();
  constexpr QRgb G = kNormalGreen, R = kAlarmRed, S = kStaleValue;
  struct Case {
    int temperatureAlarm, humidityAlarm;
    float temperatureValue;
    bool commLost;
    const char *temperature, *humidity, *state;
    QRgb temperatureColour, humidityColour, stateColour, innerBorder;
  } cases[] = {
      {0, 0, 24.5f, false, " 24.5 ℃   ", "55.0  %   ", "正常   ", G, G, G, kInnerBorderNormal},
      {1, 2, 24.5f, false, " 24.5 ℃ ↑", "55.0  % ↓", "正常   ", R, R, G, kInnerBorderAlarm},
      {2, 1, 24.5f, false, " 24.5 ℃ ↓", "55.0  % ↑", "正常   ", R, R, G, kInnerBorderAlarm},
      // Silent with a dead sensor: the state keeps its red, the panel carries the silence.
      {3, 0, 24.5f, true, "0.0 ℃   ", "55.0  %   ", "传感器掉线   ", S, S, R, kInnerBorderLost},
      {0, 3, 24.5f, false, " 24.5 ℃   ", "55.0  %   ", "传感器掉线   ", G, R, R, kInnerBorderAlarm},
      {4, 0, 24.5f, false, "-- ℃   ", "55.0  %   ", "正常   ", G, G, G, kInnerBorderNormal},
      {0, 4, 24.5f, false, " 24.5 ℃   ", "--  %   ", "正常   ", G, G, G, kInnerBorderNormal},
      {0, 0, kNaN, false, "-- ℃   ", "55.0  %   ", "正常   ", G, G, G, kInnerBorderNormal},
      {kHuge, 0, 24.5f, false, " 24.5 ℃   ", "55.0  %   ", "正常   ", R, G, G, kInnerBorderAlarm},
      {0, 0, 24.5f, true, " 24.5 ℃   ", "55.0  %   ", "通讯掉线   ", S, S, kLostText, kInnerBorderLost},
      {1, 0, 24.5f, true, " 24.5 ℃ ↑", "55.0  %   ", "通讯掉线   ", S, S, kLostText, kInnerBorderLost},
  };
  for (const Case& c : cases) {
    const LiveSample sample{c.temperatureValue, c.temperatureAlarm, 55.0f, c.humidityAlarm, 30, 12, 1, 40};
    const TileFace face = FaceFor({{}, {}, true, sample, c.commLost});
    const std::string what =
        std::to_string(c.temperatureAlarm) + "/" + std::to_string(c.humidityAlarm) + (c.commLost ? " lost" : "");
    EXPECT_EQ(face.temperature, QString::fromUtf8(c.temperature)) << what;
    EXPECT_EQ(face.humidity, QString::fromUtf8(c.humidity)) << what;
    EXPECT_EQ(face.state, QString::fromUtf8(c.state)) << what;
    EXPECT_EQ(face.temperatureColour, c.temperatureColour) << what;
    EXPECT_EQ(face.humidityColour, c.humidityColour) << what;
    EXPECT_EQ(face.stateColour, c.stateColour) << what;
    EXPECT_EQ(face.innerBorder, c.innerBorder) << what;
    EXPECT_EQ(face.innerBorderWidth, c.commLost ? kLostBorderWidth : 1) << what;
  }
}

TEST(TileFace, SupplyLineAndRecordWithoutSample) {
  const LiveSample battery{20.0f, 0, 50.0f, 0, 24.5f, 3.6f, kPowerBattery, 12.0f};
  EXPECT_EQ(FaceFor({{}, {}, true, battery, false}).supply, QStringLiteral("电池:3.6V/12mA  24.5℃"));
  EXPECT_EQ(FaceFor({{}, {}, true, battery, false}).supplyColour, kAlarmRed);
  const LiveSample mains{20.0f, 0, 50.0f, 0, -3.25f, 12.04f, kPowerMains, 40.4f};
  EXPECT_EQ(SupplyText(mains), QStringLiteral("市电:12.0V/40mA  -3.2℃"));  // C rounding
  EXPECT_EQ(FaceFor({{}, {}, true, mains, false}).supplyColour, kBlack);
  // An unknown source is neither claimed as mains nor as battery.
  const LiveSample unknown{20.0f, 0, 50.0f, 0, 24.5f, 12.0f, 7, 40.0f};
  EXPECT_EQ(SupplyText(unknown), QStringLiteral("12.0V/40mA  24.5℃"));
  EXPECT_EQ(FaceFor({{}, {}, true, unknown, false}).supplyColour, kBlack);

  // No sample yet: empty values, "正常" without the communication check, stale ring ignored.
  const TileFace empty = FaceFor({QStringLiteral("D001"), {}, false, {0, kAlarmSensorOffline, 0, 1, 0, 0, 0, 0}, true});
  EXPECT_TRUE(empty.temperature.isEmpty() && empty.humidity.isEmpty() && empty.supply.isEmpty());
  EXPECT_EQ(empty.state, QStringLiteral("正常   "));
  EXPECT_EQ(empty.innerBorder, kInnerBorderNormal);
}
