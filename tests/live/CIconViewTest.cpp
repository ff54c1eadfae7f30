#include <gtest/gtest.h>

#include "CIconView.h"
#include "LiveViewTestTable.h"
#include "TickCount.h"
#include "TileRules.h"

namespace {

QRgb Rgb(QRgb c) { return c & 0xFFFFFFu; }
// Probes: the top edge of a cell's inner panel, and the outer fill below that panel.
QRgb InnerBorder(const CIconView& v, int cell, int columns) {
  return Rgb(v.OffscreenImage().pixel(tiles::CellOrigin(cell, columns) + QPoint(100, 30)));
}
QRgb OuterFill(const CIconView& v, int cell, int columns) {
  return Rgb(v.OffscreenImage().pixel(tiles::CellOrigin(cell, columns) + QPoint(5, 125)));
}

}  // namespace

TEST(IconView, TilesShowAlarmsAndPagesWalkOverShownRecords) {
  platform::SetTickSource([] { return 1000u; });
  auto table = MakeLiveTable(40);
  LiveSample alarm = NormalSample();
  alarm.humidityAlarm = kAlarmHigh;
  table->records[1].AppendSample(alarm);
  table->records[2].shown = 0;  // takes no cell
  LiveSample noValue = NormalSample();
  noValue.temperatureAlarm = kAlarmNoValue;
  table->records[3].AppendSample(noValue);
  table->records[4].changeTick = 1000u + 500'000u;  // silent for far longer than the time-out

  CIconView view(*table);
  view.resize(820, 600);  // 4 x 4
  view.show();
  EXPECT_EQ(InnerBorder(view, 0, 4), Rgb(tiles::kInnerBorderNormal));
  EXPECT_EQ(InnerBorder(view, 1, 4), Rgb(tiles::kInnerBorderAlarm));
  EXPECT_EQ(InnerBorder(view, 2, 4), Rgb(tiles::kInnerBorderNormal)) << "no value is no alarm";
  EXPECT_EQ(Rgb(view.OffscreenImage().pixel(tiles::CellOrigin(3, 4) + QPoint(100, 32))), Rgb(tiles::kInnerBorderLost))
      << "communication lost: a wide border of its own";
  EXPECT_EQ(Rgb(view.OffscreenImage().pixel(207, 300)), Rgb(tiles::kViewBackground));  // between columns

  view.DrawTilePage(CIconView::kPrevious);
  EXPECT_EQ(view.FirstRecord(), 0);
  view.DrawTilePage(CIconView::kNext);
  EXPECT_EQ(view.FirstRecord(), 17);
  view.DrawTilePage(CIconView::kNext);
  EXPECT_EQ(view.FirstRecord(), 33);  // the last 7 shown records
  EXPECT_EQ(OuterFill(view, 6, 4), Rgb(tiles::kOuterFill));
  EXPECT_EQ(OuterFill(view, 7, 4), Rgb(tiles::kViewBackground));
  view.DrawTilePage(CIconView::kNext);
  EXPECT_EQ(view.FirstRecord(), 33);
  view.DrawTilePage(CIconView::kPrevious);
  EXPECT_EQ(view.FirstRecord(), 17);
  platform::SetTickSource({});
}

TEST(IconView, OnlyBackgroundWithoutRoomOrShownDevicesAndImageFollowsTheSize) {
  auto table = MakeLiveTable(30);
  CIconView view(*table);
  view.resize(200, 600);  // narrower than a cell
  view.show();
  EXPECT_EQ(OuterFill(view, 0, 1), Rgb(tiles::kViewBackground));

  view.resize(1025, 580);  // 5 x 4
  EXPECT_EQ(view.OffscreenImage().size(), QSize(1025, 580));
  EXPECT_EQ(OuterFill(view, 19, 5), Rgb(tiles::kOuterFill));

  for (auto& r : table->records) r.shown = 0;
  view.DrawTilePage(CIconView::kRedraw);
  EXPECT_EQ(OuterFill(view, 0, 5), Rgb(tiles::kViewBackground));
}
