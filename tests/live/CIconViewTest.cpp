#include <gtest/gtest.h>

#include <QDir>

#include "CIconView.h"
#include "LiveViewTestTable.h"
#include "TickCount.h"
#include "TileRules.h"

namespace {

constexpr std::uint32_t kNow = 1'000'000;

class IconViewTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetTickSource([] { return kNow; }); }
  void TearDown() override { platform::SetTickSource({}); }

  // A point on the top edge of a cell's inner panel, clear of the rounded corners.
  static QPoint InnerBorderPoint(int cell, int columns) { return tiles::CellOrigin(cell, columns) + QPoint(100, 30); }
  static QPoint OuterFillPoint(int cell, int columns) { return tiles::CellOrigin(cell, columns) + QPoint(5, 125); }
  static QRgb Pixel(const CIconView& view, QPoint p) { return view.OffscreenImage().pixel(p) & 0xFFFFFFu; }
  static QRgb Rgb(QRgb c) { return c & 0xFFFFFFu; }
};

}  // namespace

TEST_F(IconViewTest, InnerBorderShowsAlarmAndCellsStopAtThePage) {
  auto table = MakeLiveTable(20);
  LiveSample alarm = NormalSample();
  alarm.humidityAlarm = kAlarmHigh;
  table->records[1].AppendSample(alarm);
  table->records[2].shown = 0;  // takes no cell: record 3 moves into cell 2

  CIconView view(*table);
  view.resize(820, 600);
  view.DrawTilePage(CIconView::kRedraw);
  EXPECT_EQ(Pixel(view, InnerBorderPoint(0, 4)), Rgb(tiles::kInnerBorderNormal));
  EXPECT_EQ(Pixel(view, InnerBorderPoint(1, 4)), Rgb(tiles::kInnerBorderAlarm));
  EXPECT_EQ(Pixel(view, OuterFillPoint(15, 4)), Rgb(tiles::kOuterFill));
  EXPECT_EQ(Pixel(view, QPoint(2, 2)), Rgb(tiles::kViewBackground));
  EXPECT_EQ(Pixel(view, QPoint(207, 300)), Rgb(tiles::kViewBackground));  // between two columns

  // 19 shown records: the second page holds the last three (records 17..19).
  view.DrawTilePage(CIconView::kNextPage);
  EXPECT_EQ(view.FirstRecord(), 17);
  EXPECT_EQ(Pixel(view, OuterFillPoint(2, 4)), Rgb(tiles::kOuterFill));
  EXPECT_EQ(Pixel(view, OuterFillPoint(3, 4)), Rgb(tiles::kViewBackground));
}

TEST_F(IconViewTest, PagingStopsAtBothEnds) {
  auto table = MakeLiveTable(40);
  CIconView view(*table);
  view.resize(820, 600);
  view.DrawTilePage(CIconView::kPreviousPage);
  EXPECT_EQ(view.FirstRecord(), 0);
  view.DrawTilePage(CIconView::kNextPage);
  view.DrawTilePage(CIconView::kNextPage);
  EXPECT_EQ(view.FirstRecord(), 32);
  view.DrawTilePage(CIconView::kNextPage);
  EXPECT_EQ(view.FirstRecord(), 32);
  view.DrawTilePage(CIconView::kPreviousPage);
  EXPECT_EQ(view.FirstRecord(), 16);
  view.DrawTilePage(CIconView::kPreviousPage);
  EXPECT_EQ(view.FirstRecord(), 0);
}

TEST_F(IconViewTest, OnlyBackgroundWithoutRoomOrShownDevices) {
  auto table = MakeLiveTable(3);
  CIconView narrow(*table);
  narrow.resize(200, 600);
  narrow.show();
  narrow.DrawTilePage(CIconView::kNextPage);
  EXPECT_EQ(narrow.FirstRecord(), 0);
  EXPECT_EQ(Pixel(narrow, OuterFillPoint(0, 1)), Rgb(tiles::kViewBackground));

  for (auto& r : table->records) r.shown = 0;
  CIconView hidden(*table);
  hidden.resize(820, 600);
  hidden.show();
  EXPECT_EQ(Pixel(hidden, OuterFillPoint(0, 4)), Rgb(tiles::kViewBackground));

  auto empty = MakeLiveTable(0);
  CIconView none(*empty);
  none.resize(820, 600);
  none.show();
  EXPECT_EQ(Pixel(none, InnerBorderPoint(0, 4)), Rgb(tiles::kViewBackground));
}

TEST_F(IconViewTest, ImageFollowsTheViewSize) {
  auto table = MakeLiveTable(30);
  CIconView view(*table);
  view.resize(410, 290);
  view.show();
  EXPECT_EQ(view.OffscreenImage().size(), QSize(410, 290));
  view.resize(1025, 580);  // 5 x 4: cell 19 now exists
  EXPECT_EQ(view.OffscreenImage().size(), QSize(1025, 580));
  EXPECT_EQ(Pixel(view, OuterFillPoint(19, 5)), Rgb(tiles::kOuterFill));
}

// With VELTRANE_SCREENSHOT_DIR set, saves a page of demo tiles for a look by eye.
TEST_F(IconViewTest, Screenshot) {
  const QByteArray dir = qgetenv("VELTRANE_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "VELTRANE_SCREENSHOT_DIR not set";
  auto table = MakeLiveTable(12);
  table->records[0].deviceName = platform::ToGbk(QStringLiteral("一号冷库东侧温湿度监测点很长的名字"));
  table->records[1].AppendSample({31.2f, kAlarmHigh, 82.5f, kAlarmHigh, 33.0f, 12.1f, kPowerMains, 38.0f});
  table->records[2].AppendSample({-5.0f, kAlarmLow, 20.0f, kAlarmLow, 10.0f, 3.6f, kPowerBattery, 12.0f});
  table->records[3].AppendSample({0.0f, kAlarmSensorOffline, 45.0f, 0, 25.0f, 12.0f, kPowerMains, 40.0f});
  table->records[4].changeTick = kNow - 200'000;  // silent for 200 s
  table->records[5].AppendSample({22.0f, 0, 0.0f, kAlarmNoValue, 24.0f, 12.0f, kPowerMains, 40.0f});
  CIconView view(*table);
  view.resize(1240, 600);
  view.show();
  EXPECT_TRUE(view.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("tile_view.png")));
}
