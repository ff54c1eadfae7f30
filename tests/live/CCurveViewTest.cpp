#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "CCurveView.h"
#include "CurveRules.h"
#include "LiveGlobals.h"
#include "LiveViewTestTable.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFF;

class CurveViewTest : public ::testing::Test {
 protected:
  void SetUp() override { CurveGroupIndex = 0; }
  void TearDown() override { CurveGroupIndex = 0; }

  static std::unique_ptr<CCurveView> ShowView(DeviceLiveTable& table) {
    auto view = std::make_unique<CCurveView>(table);
    view->resize(1050, 650);
    view->show();
    return view;
  }
  static QRgb Pixel(const CCurveView& view, QPoint p) { return view.OffscreenImage().pixel(p) & 0xFFFFFFu; }
  static QRgb LegendPixel(const CCurveView& view, int slot) { return Pixel(view, curves::LegendBar(slot).center()); }
  static QRgb Slot(int slot) { return curves::SlotColour(slot) & 0xFFFFFFu; }
  static void Click(CCurveView& view, QPoint p) { QTest::mouseClick(&view, Qt::LeftButton, {}, p); }
  static constexpr QPoint kPrevious{5, 100};
  static constexpr QPoint kNext{104, 569};
};

}  // namespace

TEST_F(CurveViewTest, ButtonsStepThroughThreeGroupsAndNoFurther) {
  auto table = MakeLiveTable(25);
  auto view = ShowView(*table);
  EXPECT_EQ(LegendPixel(*view, 9), Slot(9));

  Click(*view, kPrevious);
  EXPECT_EQ(CurveGroupIndex, 0);
  Click(*view, kNext);
  Click(*view, kNext);
  EXPECT_EQ(CurveGroupIndex, 2);
  EXPECT_EQ(LegendPixel(*view, 4), Slot(4));  // the last group holds 5 devices
  EXPECT_EQ(LegendPixel(*view, 5), kWhite);
  Click(*view, kNext);
  EXPECT_EQ(CurveGroupIndex, 2);
  Click(*view, {105, 100});  // just right of the previous button
  EXPECT_EQ(CurveGroupIndex, 2);
  Click(*view, {104, 149});
  EXPECT_EQ(CurveGroupIndex, 1);
}

TEST_F(CurveViewTest, GroupSurvivesRecreatingTheView) {
  auto table = MakeLiveTable(25);
  {
    auto view = ShowView(*table);
    Click(*view, kNext);
  }
  auto again = ShowView(*table);
  EXPECT_EQ(CurveGroupIndex, 1);
  EXPECT_EQ(LegendPixel(*again, 9), Slot(9));
}

TEST_F(CurveViewTest, RecordsWithoutPresentTakeNoSlot) {
  auto table = MakeLiveTable(3);
  table->records[1].present = 0;
  auto view = ShowView(*table);
  EXPECT_EQ(LegendPixel(*view, 1), Slot(1));
  EXPECT_EQ(LegendPixel(*view, 2), kWhite);
}

TEST_F(CurveViewTest, CurveSkipsOutOfRangePointsAndJoinsItsNeighbours) {
  auto table = MakeLiveTable(1);
  DeviceLiveRecord& r = table->records[0];
  r.ringStart = r.ringWrite = 0;
  for (float t : {20.0f, 90.0f, 30.0f}) r.AppendSample(NormalSample(t));
  LiveSample battery = NormalSample();
  battery.voltage = 3.6f;
  r.AppendSample(battery);
  auto view = ShowView(*table);
  const QRgb red = Slot(0);
  EXPECT_EQ(Pixel(*view, {150, 180}), red);  // 20 ℃
  EXPECT_EQ(Pixel(*view, {151, 170}), red);  // the joining line passes where 90 ℃ was skipped
  EXPECT_EQ(Pixel(*view, {152, 160}), red);  // 30 ℃
  EXPECT_NE(Pixel(*view, {151, 40}), red);
  EXPECT_EQ(Pixel(*view, {603, 564}), red);  // 3.6 V, fourth sample
}

TEST_F(CurveViewTest, UncheckingDevicesMovesBackToTheLastGroup) {
  auto table = MakeLiveTable(25);
  auto view = ShowView(*table);
  Click(*view, kNext);
  Click(*view, kNext);
  for (int i = 0; i < 10; ++i) table->records[static_cast<std::size_t>(i)].shown = 0;
  view->DrawCurveGroup(CCurveView::kRedraw);
  EXPECT_EQ(CurveGroupIndex, 1);
  EXPECT_EQ(LegendPixel(*view, 4), Slot(4));  // records 20..24
  EXPECT_EQ(LegendPixel(*view, 5), kWhite);
}

TEST_F(CurveViewTest, EmptyTableShowsTheChartFrame) {
  CurveGroupIndex = 4;
  auto table = MakeLiveTable(0);
  auto view = ShowView(*table);
  EXPECT_EQ(CurveGroupIndex, 0);
  EXPECT_EQ(Pixel(*view, {150, 200}), 0u);  // vertical axis of the temperature panel
  EXPECT_EQ(Pixel(*view, {50, 102}), qRgb(212, 212, 212) & 0xFFFFFFu);  // previous button
  EXPECT_EQ(LegendPixel(*view, 0), kWhite);
}

TEST_F(CurveViewTest, ImageFollowsTheViewSize) {
  auto table = MakeLiveTable(2);
  auto view = ShowView(*table);
  view->resize(1300, 700);
  EXPECT_EQ(view->OffscreenImage().size(), QSize(1300, 700));
  EXPECT_EQ(Pixel(*view, {1250, 650}), kWhite);
}

// With VELTRANE_SCREENSHOT_DIR set, saves a group of demo curves for a look by eye.
TEST_F(CurveViewTest, Screenshot) {
  const QByteArray dir = qgetenv("VELTRANE_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "VELTRANE_SCREENSHOT_DIR not set";
  auto table = MakeLiveTable(12);
  for (int d = 0; d < 12; ++d) {
    DeviceLiveRecord& r = table->records[static_cast<std::size_t>(d)];
    for (int i = 0; i < 300; ++i) {
      LiveSample s = NormalSample(float(5 * d - 20 + 8 * std::sin((i + 20 * d) / 30.0)));
      s.humidity = float(30 + 4 * d + 6 * std::cos((i + 10 * d) / 25.0));
      s.internalTemperature = s.temperature + 6;
      s.voltage = d % 3 == 0 ? 3.6f : 12.0f + float(d) / 4;
      r.AppendSample(s);
    }
  }
  auto view = ShowView(*table);
  EXPECT_TRUE(view->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("curve_view.png")));
}
