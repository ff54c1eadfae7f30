#include <gtest/gtest.h>

#include "TileRules.h"

using namespace tiles;

namespace {

// "1" shown, "0" hidden, one character per record slot.
std::vector<char> Flags(const char* pattern) {
  std::vector<char> flags;
  for (const char* c = pattern; *c; ++c) flags.push_back(*c == '1');
  return flags;
}

}  // namespace

TEST(TileGrid, WholeCellsFitTheClientArea) {
  struct Case {
    int width, height, columns, rows;
  } cases[] = {
      {820, 600, 4, 4}, {204, 600, 0, 4}, {820, 144, 4, 0}, {205, 145, 1, 1}, {1920, 1080, 9, 7}, {0, 0, 0, 0}, {-5, 300, 0, 0},
  };
  for (const Case& c : cases) {
    const TileGrid grid = GridForClient(c.width, c.height);
    EXPECT_EQ(grid.columns, c.columns) << c.width << "x" << c.height;
    EXPECT_EQ(grid.rows, c.rows) << c.width << "x" << c.height;
  }
  EXPECT_EQ(GridForClient(820, 600).PerPage(), 16);
  EXPECT_EQ(GridForClient(200, 600).PerPage(), 0);
}

TEST(TileGrid, CellsFillRowByRow) {
  struct Case {
    int index, columns, x, y;
  } cases[] = {{0, 4, 5, 5}, {3, 4, 620, 5}, {4, 4, 5, 150}, {15, 4, 620, 440}, {1, 1, 5, 150}};
  for (const Case& c : cases) EXPECT_EQ(CellOrigin(c.index, c.columns), QPoint(c.x, c.y)) << c.index;
}

TEST(TilePaging, WalksOverShownRecords) {
  enum Dir { kPrev, kNext };
  struct Case {
    const char* shown;
    int first, perPage;
    Dir dir;
    int expected;
    const char* what;
  } cases[] = {
      {"1111111111", 0, 4, kNext, 4, "next from the first page"},
      {"1111111111", 4, 4, kNext, 8, "next to the last, partly filled page"},
      {"1111111111", 8, 4, kNext, 8, "next on the last page changes nothing"},
      {"11111111", 4, 4, kNext, 4, "next when the page ends with the table"},
      {"1111000000", 0, 4, kNext, 0, "next with only hidden records left changes nothing"},
      {"1011010111", 0, 3, kNext, 4, "hidden records are stepped over"},
      {"1111111111", 0, 0, kNext, 0, "no tile fits: no paging"},
      {"", 0, 4, kNext, 0, "empty table"},
      {"1111111111", 0, 4, kPrev, 0, "previous on the first page changes nothing"},
      {"1111111111", 8, 4, kPrev, 4, "previous from the last page"},
      {"1111111111", 4, 4, kPrev, 0, "previous back to the start"},
      {"0001111111", 3, 4, kPrev, 0, "previous stops at the start of the table"},
      {"1111111111", 8, 0, kPrev, 8, "no tile fits: no paging"},
  };
  for (const Case& c : cases) {
    const std::vector<char> shown = Flags(c.shown);
    const int got = c.dir == kNext ? NextPageStart(shown, c.first, c.perPage) : PreviousPageStart(shown, c.first, c.perPage);
    EXPECT_EQ(got, c.expected) << c.what;
  }
}

TEST(TilePaging, PageTakesShownRecordsFromItsFirst) {
  const std::vector<char> shown = Flags("1011010111");
  EXPECT_EQ(RecordsOnPage(shown, 0, 4), (std::vector<int>{0, 2, 3, 5}));
  EXPECT_EQ(RecordsOnPage(shown, 6, 4), (std::vector<int>{7, 8, 9}));
  EXPECT_TRUE(RecordsOnPage(shown, 0, 0).empty());
  EXPECT_TRUE(RecordsOnPage(Flags("0000"), 0, 4).empty());
}

TEST(TileFace, TextsAndColoursFollowTheCodes) {
  struct Case {
    int temperatureAlarm, humidityAlarm, power;
    bool commLost;
    const char* temperature;
    const char* humidity;
    const char* state;
    QRgb temperatureColour, humidityColour, stateColour, innerBorder;
  } cases[] = {
      {0, 0, 1, false, " 24.5 ℃   ", "55.0  %   ", "正常   ", kNormalGreen, kNormalGreen, kNormalGreen, kInnerBorderNormal},
      {1, 0, 1, false, " 24.5 ℃ ↑", "55.0  %   ", "正常   ", kAlarmRed, kNormalGreen, kNormalGreen, kInnerBorderAlarm},
      {2, 2, 1, false, " 24.5 ℃ ↓", "55.0  % ↓", "正常   ", kAlarmRed, kAlarmRed, kNormalGreen, kInnerBorderAlarm},
      {0, 1, 1, false, " 24.5 ℃   ", "55.0  % ↑", "正常   ", kNormalGreen, kAlarmRed, kNormalGreen, kInnerBorderAlarm},
      {3, 0, 1, false, "0.0 ℃   ", "55.0  %   ", "传感器掉线   ", kAlarmRed, kNormalGreen, kAlarmRed, kInnerBorderAlarm},
      {3, 0, 1, true, "0.0 ℃   ", "55.0  %   ", "传感器掉线   ", kAlarmRed, kNormalGreen, kAlarmRed, kInnerBorderAlarm},
      {0, 3, 1, false, " 24.5 ℃   ", "55.0  %   ", "正常   ", kNormalGreen, kAlarmRed, kNormalGreen, kInnerBorderAlarm},
      {4, 0, 1, false, " 24.5 ℃   ", "55.0  %   ", "正常   ", kAlarmRed, kNormalGreen, kNormalGreen, kInnerBorderAlarm},
      {0, 0, 1, true, " 24.5 ℃   ", "55.0  %   ", "通讯掉线   ", kNormalGreen, kNormalGreen, kOfflineBlue, kInnerBorderNormal},
  };
  for (const Case& c : cases) {
    TileInput input;
    input.hasSample = true;
    input.latest = {24.5f, c.temperatureAlarm, 55.0f, c.humidityAlarm, 30.0f, 12.0f, c.power, 40.0f};
    input.communicationLost = c.commLost;
    const TileFace face = FaceFor(input);
    const std::string what = std::to_string(c.temperatureAlarm) + "/" + std::to_string(c.humidityAlarm);
    EXPECT_EQ(face.temperature, QString::fromUtf8(c.temperature)) << what;
    EXPECT_EQ(face.humidity, QString::fromUtf8(c.humidity)) << what;
    EXPECT_EQ(face.state, QString::fromUtf8(c.state)) << what;
    EXPECT_EQ(face.temperatureColour, c.temperatureColour) << what;
    EXPECT_EQ(face.humidityColour, c.humidityColour) << what;
    EXPECT_EQ(face.stateColour, c.stateColour) << what;
    EXPECT_EQ(face.innerBorder, c.innerBorder) << what;
  }
}

TEST(TileFace, SupplyLineByPowerSource) {
  LiveSample battery{20.0f, 0, 50.0f, 0, 24.5f, 3.6f, kPowerBattery, 12.0f};
  EXPECT_EQ(SupplyText(battery), QStringLiteral("电池:3.6V/12mA  24.5℃"));
  EXPECT_EQ(FaceFor({{}, {}, true, battery, false}).supplyColour, kAlarmRed);
  LiveSample mains{20.0f, 0, 50.0f, 0, -3.25f, 12.04f, kPowerMains, 40.4f};
  EXPECT_EQ(SupplyText(mains), QStringLiteral("市电:12.0V/40mA  -3.2℃"));
  EXPECT_EQ(FaceFor({{}, {}, true, mains, false}).supplyColour, kBlack);
}

TEST(TileFace, RecordWithoutSampleReadsNormalWithEmptyValues) {
  TileInput input;
  input.deviceId = QStringLiteral("D001");
  input.latest.temperatureAlarm = 3;  // stale ring content must not leak into the tile
  input.communicationLost = true;
  const TileFace face = FaceFor(input);
  EXPECT_TRUE(face.temperature.isEmpty());
  EXPECT_TRUE(face.humidity.isEmpty());
  EXPECT_TRUE(face.supply.isEmpty());
  EXPECT_EQ(face.state, QStringLiteral("正常   "));
  EXPECT_EQ(face.stateColour, kNormalGreen);
  EXPECT_EQ(face.innerBorder, kInnerBorderNormal);
  EXPECT_EQ(face.id, QStringLiteral("D001"));
}
