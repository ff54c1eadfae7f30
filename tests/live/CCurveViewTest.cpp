#include <gtest/gtest.h>

#include <QTest>

#include "CCurveView.h"
#include "CurveRules.h"
#include "LiveViewTestTable.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QPoint kPrevious{5, 100};
constexpr QPoint kNext{104, 569};

class CurveViewTest : public ::testing::Test {
 protected:
  static std::unique_ptr<CCurveView> ShowView(DeviceLiveTable& table) {
    auto view = std::make_unique<CCurveView>(table);
    view->resize(1050, 650);
    view->show();
    return view;
  }
  static QRgb Pixel(const CCurveView& view, QPoint p) { return view.OffscreenImage().pixel(p) & 0xFFFFFFu; }
  static QRgb Legend(const CCurveView& view, int slot) { return Pixel(view, curves::LegendBar(slot).center()); }
  static QRgb Slot(int slot) { return curves::SlotColour(slot) & 0xFFFFFFu; }
  static void Click(CCurveView& view, QPoint p) { QTest::mouseClick(&view, Qt::LeftButton, {}, p); }
};

}  // namespace

TEST_F(CurveViewTest, ButtonsStepThroughThreeGroupsAndTheGroupCanBeCarriedToTheNextView) {
  auto table = MakeLiveTable(25);
  auto view = ShowView(*table);
  Click(*view, kPrevious);
  EXPECT_EQ(view->GroupIndex(), 0);
  Click(*view, kNext);
  Click(*view, kNext);
  Click(*view, kNext);
  EXPECT_EQ(view->GroupIndex(), 2);
  EXPECT_EQ(Legend(*view, 4), Slot(4));  // the last group holds 5 devices
  EXPECT_EQ(Legend(*view, 5), kWhite);
  Click(*view, {105, 100});  // just right of the previous button
  EXPECT_EQ(view->GroupIndex(), 2);
  Click(*view, {104, 149});
  EXPECT_EQ(view->GroupIndex(), 1);

  const std::int32_t kept = view->GroupIndex();
  view = ShowView(*table);
  view->SetGroupIndex(kept);
  view->DrawCurveGroup(CCurveView::kRedraw);
  EXPECT_EQ(view->GroupIndex(), 1);
  EXPECT_EQ(Legend(*view, 9), Slot(9));
}

TEST_F(CurveViewTest, CurvesSkipOutOfRangePointsBreakAtMissingReadingsAndAbsentRecordsTakeNoSlot) {
  auto table = MakeLiveTable(3);
  DeviceLiveRecord& r = table->records[0];
  r.ringStart = r.ringWrite = 0;
  for (float t : {20.0f, 90.0f, 30.0f}) r.AppendSample(NormalSample(t));
  LiveSample battery = NormalSample();
  battery.voltage = 3.6f;
  r.AppendSample(battery);
  LiveSample offline = NormalSample(0);
  offline.temperatureAlarm = kAlarmSensorOffline;
  r.AppendSample(offline);
  r.AppendSample(NormalSample(-30));
  table->records[1].present = 0;

  auto view = ShowView(*table);
  EXPECT_EQ(Pixel(*view, {150, 180}), Slot(0));  // 20 ℃
  EXPECT_EQ(Pixel(*view, {151, 170}), Slot(0));  // the line over the skipped 90 ℃
  EXPECT_EQ(Pixel(*view, {152, 160}), Slot(0));  // 30 ℃
  EXPECT_EQ(Pixel(*view, {603, 564}), Slot(0));  // 3.6 V, fourth sample
  // The sensor-offline fifth sample has no point and nothing crosses it to the sixth.
  EXPECT_EQ(Pixel(*view, {154, 225}), kWhite);
  EXPECT_EQ(Pixel(*view, {154, 235}), kWhite);
  EXPECT_EQ(Pixel(*view, {155, 280}), Slot(0));  // -30 ℃ starts a new run
  EXPECT_EQ(Legend(*view, 1), Slot(1));          // record 2
  EXPECT_EQ(Legend(*view, 2), kWhite);
}

TEST_F(CurveViewTest, UncheckedDevicesMoveBackToTheLastGroupAndAnEmptyTableShowsTheFrame) {
  auto table = MakeLiveTable(25);
  auto view = ShowView(*table);
  Click(*view, kNext);
  Click(*view, kNext);
  for (int i = 0; i < 10; ++i) table->records[static_cast<std::size_t>(i)].shown = 0;
  view->DrawCurveGroup(CCurveView::kRedraw);
  EXPECT_EQ(view->GroupIndex(), 1);
  EXPECT_EQ(Legend(*view, 4), Slot(4));  // records 20..24, not the stale group
  EXPECT_EQ(Legend(*view, 5), kWhite);

  auto empty = MakeLiveTable(0);
  auto frameOnly = ShowView(*empty);
  EXPECT_EQ(frameOnly->GroupIndex(), 0);
  EXPECT_EQ(Pixel(*frameOnly, {150, 200}), 0u);                              // the temperature axis
  EXPECT_EQ(Pixel(*frameOnly, {50, 102}), qRgb(212, 212, 212) & 0xFFFFFFu);  // previous button
  EXPECT_EQ(Legend(*frameOnly, 0), kWhite);
}
