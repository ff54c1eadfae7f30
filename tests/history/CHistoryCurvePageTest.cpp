// The curve page of the history dialog: a day's curves per group of ten devices, against
// the private server.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <memory>

#include "CHistoryCurvePage.h"
#include "CHistoryTablePage.h"
#include "HistoryChartPainter.h"
#include "HistoryCurvePageTemplate.h"
#include "HistoryTestData.h"

using namespace history_test;

namespace {

const QDate kDay(2024, 5, 1);
const char* const kFreezer = "F000000001";
const char* const kHotRoom = "F000000002";

std::string DeviceId(int i) { return QString::asprintf("C%09d", i).toStdString(); }

class HistoryCurvePage : public SharedDatabaseTest<HistoryCurvePage> {
 protected:
  // C000000000: four readings on 2024-05-01, three of them within one pixel column.
  // C000000011: one reading per hour on 2024-05-01 (second group).
  // C000000000: two readings on 2024-06-01 (the day after 05-31).
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_history_curve")) return;
    WriteCatalogue(*db_);
    WriteReading(*db_, {DeviceId(0), "2024-05-01 12:00:00", "25.0", 0, "50.0"});
    WriteReading(*db_, {DeviceId(0), "2024-05-01 12:00:30", "26.0", 0, "52.0"});
    WriteReading(*db_, {DeviceId(0), "2024-05-01 12:01:10", "27.0", 0, "54.0"});
    WriteReading(*db_, {DeviceId(0), "2024-05-01 13:00:00", "-10.0", 0, "60.0", 0, "3.5"});
    WriteReading(*db_, {DeviceId(0), "2024-05-02 00:00:00", "99.0"});
    for (int h = 0; h < 24; ++h)
      WriteReading(*db_, {DeviceId(11), QString::asprintf("2024-05-01 %02d:00:00", h).toStdString()});
    WriteReading(*db_, {DeviceId(0), "2024-06-01 06:00:00", "10.0"});
    WriteReading(*db_, {DeviceId(0), "2024-06-01 07:00:00", "11.0"});
    // C000000001: every 10 minutes from 10:00 to 11:00; 10:30 offline (stored as 0), 10:40
    // without a humidity value.
    for (int m = 0; m <= 60; m += 10)
      WriteReading(*db_, {DeviceId(1), QString::asprintf("2024-05-01 %02d:%02d:00", 10 + m / 60, m % 60).toStdString(),
                          m == 30 ? "0.0" : "20.0", m == 30 ? 3 : 0, "50.0", m == 40 ? 4 : 0});
    // A freezer at -25 °C and a hot room at +45 °C, every 10 minutes of 2024-05-01.
    std::string values;
    for (const auto& [device, tempe] : {std::pair{kFreezer, "-25.0"}, {kHotRoom, "45.0"}})
      for (int m = 0; m < 24 * 60; m += 10)
        values += QString::asprintf("%s('%s','0001','01','2024-05-01 %02d:%02d:00',%s,0,50.0,0,30.0,3.6,1,12.0)",
                                    values.empty() ? "" : ",", device, m / 60, m % 60, tempe)
                      .toStdString();
    db_->Exec("insert into history_tab values " + values);
    db_->ConnectProcessSession();
  }
  void SetUp() override {
    REQUIRE_DB(*db_);
    SetDates(dlg_, kDay, kDay);
    res::Control<QTabBar>(&dlg_, res::IDC_HQ_TABS)->setCurrentIndex(1);
  }
  void AddDevices(int count) {
    for (int i = 0; i < count; ++i) AddQueryRow(dlg_, DeviceId(i).c_str());
  }
  void Click(int id) { QTest::mouseClick(res::Control<QAbstractButton>(Page(), id), Qt::LeftButton); }
  void Query() { QTest::mouseClick(res::Control<QPushButton>(&dlg_, res::IDC_HQ_QUERY), Qt::LeftButton); }
  CHistoryCurvePage* Page() { return dlg_.CurvePage(); }
  const history::ChartSeries& Series(int slot) { return Page()->Chart().series[static_cast<std::size_t>(slot)]; }
  // Every point drawn, strokes joined.
  std::vector<QPoint> Trace(int slot) {
    std::vector<QPoint> all;
    for (const auto& stroke : Series(slot).segments) all.insert(all.end(), stroke.begin(), stroke.end());
    return all;
  }
  QDate PickerDate() { return res::Control<QDateEdit>(Page(), res::IDC_HC_DATE)->date(); }

  CHistoryQueryDlg dlg_{Db(), kAdminLogin};
};

TEST_F(HistoryCurvePage, QueryDrawsTheStartDayOnePointPerPixelColumn) {
  AddDevices(1);
  SetDates(dlg_, kDay, kDay.addDays(-5));  // the end date plays no part here
  Query();
  EXPECT_EQ(dlg_.TablePage()->ResultList()->GetItemCount(), 0);  // only the visible page is filled
  EXPECT_EQ(Page()->CurveDate(), kDay);
  EXPECT_EQ(PickerDate(), kDay);
  EXPECT_EQ(Series(0).name, DeviceId(0));
  // 12:00 to 13:00 is a gap for readings 30 to 40 s apart: two lone points, no line.
  using Strokes = std::vector<std::vector<QPoint>>;
  EXPECT_EQ(Series(0).segments, (Strokes{{QPoint(460, 161)}, {QPoint(490, 220)}}));
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第1/1组"));
  EXPECT_EQ(Page()->Image().pixelColor(460, 161), history::kSeriesColours[0]);

  Click(res::IDC_HC_HUMIDITY);  // same day and group, new channel
  EXPECT_EQ(Page()->Channel(), history::kChannelHumidity);
  EXPECT_EQ(Series(0).segments, (Strokes{{QPoint(460, 170)}, {QPoint(490, 150)}}));
  Click(res::IDC_HC_VOLTAGE);
  EXPECT_EQ(Trace(0).back(), QPoint(490, 235));
}

TEST_F(HistoryCurvePage, ReadingsWithoutAValueBreakTheirChannelsLine) {
  AddDevices(2);
  Query();
  ASSERT_EQ(Series(1).segments.size(), 2u);  // 10:00-10:20, 10:40-11:00; no dive to 0 °C
  EXPECT_EQ(Series(1).segments[1].front(), QPoint(420, 170));
  for (const QPoint& p : Trace(1)) EXPECT_EQ(p.y(), 170);
  Click(res::IDC_HC_HUMIDITY);
  EXPECT_EQ(Series(1).segments.size(), 2u);  // humidity breaks at 10:40 instead
  EXPECT_EQ(Series(1).segments[1].front(), QPoint(425, 170));
  Click(res::IDC_HC_VOLTAGE);  // no code for the voltage: one line
  EXPECT_EQ(Series(1).segments.size(), 1u);
}

TEST_F(HistoryCurvePage, GroupsOfTenStepForwardAndBack) {
  AddDevices(25);
  Query();
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第1/3组"));
  const QImage first = Page()->Image();
  Click(res::IDC_HC_PREV_GROUP);  // already on the first group: nothing changes
  EXPECT_EQ(Page()->GroupIndex(), 0);
  EXPECT_EQ(Page()->Image(), first);

  Click(res::IDC_HC_NEXT_GROUP);
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第2/3组"));
  EXPECT_EQ(Series(0).name, DeviceId(10));
  // May 1st has a one-digit month and day: the bounds must still find the readings.
  EXPECT_EQ(Trace(1).size(), 24u);
  Click(res::IDC_HC_NEXT_GROUP);
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第3/3组"));
  EXPECT_EQ(Series(4).name, DeviceId(24));
  for (int slot = 5; slot < 10; ++slot) EXPECT_TRUE(Series(slot).name.empty());
  const QImage last = Page()->Image();
  Click(res::IDC_HC_NEXT_GROUP);
  EXPECT_EQ(Page()->GroupIndex(), 2);
  EXPECT_EQ(Page()->Image(), last);
  Click(res::IDC_HC_PREV_GROUP);
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第2/3组"));
}

TEST_F(HistoryCurvePage, KeptGroupIndexStaysWithinTheList) {
  Page()->SetGroupIndex(2);  // left by an earlier, longer list
  AddDevices(5);
  Query();
  EXPECT_EQ(Page()->GroupIndex(), 0);
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第1/1组"));
  EXPECT_EQ(Series(0).name, DeviceId(0));

  dlg_.QueryList()->DeleteAllItems();
  Query();
  EXPECT_EQ(Page()->Chart().groupLabel, QString::fromUtf8("第0/0组"));
  EXPECT_TRUE(Series(0).name.empty());
}

TEST_F(HistoryCurvePage, DayButtonsCrossMonthEnds) {
  AddDevices(1);
  SetDates(dlg_, QDate(2024, 5, 31), QDate(2024, 5, 31));
  Query();
  EXPECT_TRUE(Trace(0).empty());
  Click(res::IDC_HC_NEXT_DAY);
  EXPECT_EQ(PickerDate(), QDate(2024, 6, 1));
  EXPECT_EQ(Trace(0), (std::vector<QPoint>{QPoint(280, 186), QPoint(310, 185)}));
  Click(res::IDC_HC_PREV_DAY);
  Click(res::IDC_HC_PREV_DAY);
  Click(res::IDC_HC_PREV_DAY);
  Click(res::IDC_HC_PREV_DAY);
  EXPECT_EQ(PickerDate(), QDate(2024, 5, 28));
}

TEST_F(HistoryCurvePage, GroupStepTakesTheStartDateBeforeTheFirstLoadAndTheDayShownAfter) {
  AddDevices(12);
  Click(res::IDC_HC_NEXT_GROUP);
  EXPECT_EQ(Page()->GroupIndex(), 1);
  EXPECT_EQ(PickerDate(), kDay);
  EXPECT_EQ(Trace(1).size(), 24u);

  Click(res::IDC_HC_PREV_DAY);
  SetDates(dlg_, QDate(2024, 6, 1), QDate(2024, 6, 1));  // no longer the day shown
  Click(res::IDC_HC_PREV_GROUP);
  EXPECT_EQ(PickerDate(), kDay.addDays(-1));
  Click(res::IDC_HC_NEXT_GROUP);
  EXPECT_TRUE(Trace(1).empty());
  Click(res::IDC_HC_NEXT_DAY);
  EXPECT_EQ(Trace(1).size(), 24u);
}

// Every control of the page stays off the chart, its legend and the group label, and a freezer's
// and a hot room's whole day show on the page as drawn.
TEST_F(HistoryCurvePage, NoControlCoversTheChartOrTheGroupLabel) {
  AddQueryRow(dlg_, kFreezer);
  AddQueryRow(dlg_, kHotRoom);
  Query();
  const QPoint toPage(0, CHistoryCurvePage::kImageTop);
  const QRect chart = history::ChartFrame().translated(toPage);
  const QRect legend = history::LegendFrame().translated(toPage);
  std::vector<QRect> labels;
  for (const char* text : {"第1/1组", "第10/12组"})
    labels.push_back(history::GroupLabelRect(QString::fromUtf8(text)).translated(toPage));
  EXPECT_EQ(labels[0], history::GroupLabelRect(Page()->Chart().groupLabel).translated(toPage));
  const res::DialogUnits units(res::DialogFont(res::kHistoryCurvePage));
  for (const res::ControlTemplate& c : res::kHistoryCurvePage.controls) {
    const QRect control = units.ToPixels(c.x, c.y, c.w, c.h);
    EXPECT_EQ(res::FindControl(Page(), c.id)->geometry(), control) << c.id;  // as the factory placed it
    EXPECT_FALSE(control.intersects(chart)) << c.id << " covers the chart";
    EXPECT_FALSE(control.intersects(legend)) << c.id << " covers the legend";
    for (const QRect& label : labels) EXPECT_FALSE(control.intersects(label)) << c.id << " covers the group label";
  }
  for (const QRect& label : labels) EXPECT_FALSE(label.intersects(chart));
  const QRect picture = history::ChartPicture(Page()->Image().size()).translated(toPage);
  for (const QRect& drawn : {chart, legend, labels[1]}) EXPECT_TRUE(picture.contains(drawn)) << "cut from the PDF";
  EXPECT_EQ(Page()->PdfImage().size(), picture.size());

  const QImage shown = Page()->grab().toImage();
  for (int slot : {0, 1}) {
    ASSERT_EQ(Trace(slot).size(), 144u) << slot;
    EXPECT_EQ(Trace(slot).front().y(), history::CurveY(history::kChannelTemperature, slot == 0 ? -25.0 : 45.0));
    for (const QPoint& p : Trace(slot))
      ASSERT_EQ(shown.pixelColor(p + toPage), history::kSeriesColours[static_cast<std::size_t>(slot)])
          << slot << " at " << p.x();
  }
}

TEST_F(HistoryCurvePage, ImageFollowsThePageSize) {
  AddDevices(1);
  Query();
  dlg_.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg_));
  Page()->resize(1200, 500);
  EXPECT_EQ(Page()->Image().size(), QSize(1200, 500));
  EXPECT_EQ(Page()->Image().pixelColor(460, 161), history::kSeriesColours[0]);  // redrawn, not blank
  Page()->resize(400, 300);
  EXPECT_EQ(Page()->Image().size(), QSize(400, 300));
}

}  // namespace
