// Pictures of the history dialog with demo-like readings: a collector outage (a gap) and an
// hour of sensor-offline readings, the "统计" window, and a freezer beside a hot room.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <cmath>

#include "CHistoryCurvePage.h"
#include "CHistoryStatisticsDlg.h"
#include "CHistoryTablePage.h"
#include "HistoryExport.h"
#include "HistoryTablePageTemplate.h"
#include "HistoryTestData.h"
#include "ScreenshotDir.h"

using namespace history_test;

namespace {

TEST(HistoryScreenshots, TableAndCurvePages) {
  const QString dir = ScreenshotDir();
  ASSERT_FALSE(dir.isEmpty());
  TestDatabase db("t_history_shots");
  REQUIRE_DB(db);
  WriteCatalogue(db);
  std::string values;
  for (int d = 1; d <= 4; ++d) {
    const std::string id = "D00000000" + std::to_string(d);
    for (int m = 0; m < 24 * 60; m += 5) {
      if (d == 1 && m >= 9 * 60 && m < 12 * 60) continue;          // a collector outage: a gap
      const bool offline = d == 2 && m >= 15 * 60 && m < 16 * 60;  // stored as 0 with code 3
      const double phase = (m / 1440.0) * 2 * M_PI + d;
      const double t = 22 + 6 * std::sin(phase) + d;
      const double h = 55 + 15 * std::cos(phase * 1.3) - 3 * d;
      const int tAlarm = offline ? 3 : t > 30 ? 1 : (t < 14 ? 2 : 0);
      const int hAlarm = h > 70 ? 1 : (h < 40 ? 2 : 0);
      const std::string company = d == 4 ? "0002" : "0001";
      const std::string dept = d == 3 ? "02" : "01";
      if (!values.empty()) values += ",";
      values += "('" + id + "','" + company + "','" + dept + "','" +
                QString::asprintf("2024-05-01 %02d:%02d:00", m / 60, m % 60).toStdString() + "'," +
                QString::asprintf("%.1f,%d,%.1f,%d,%.1f,%.1f,%d,%.1f", offline ? 0.0 : t, tAlarm, h, hAlarm, t + 8,
                                  3.4 + 0.1 * d, d % 2, 11.5 + d)
                    .toStdString() +
                ")";
    }
  }
  db.Exec("insert into history_tab values " + values);
  db.ConnectProcessSession();

  CHistoryQueryDlg dlg(Db(), kAdminLogin);
  SetDates(dlg, QDate(2024, 5, 1), QDate(2024, 5, 1));
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华东公司");
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_ALL), Qt::LeftButton);
  ChooseCombo(dlg, res::IDC_HQ_DEPARTMENT, "仓库二");
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_ALL), Qt::LeftButton);
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华南公司");
  dlg.DeviceList()->SelectRow(0);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_SELECTED), Qt::LeftButton);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_QUERY), Qt::LeftButton);
  QTest::qWait(50);
  EXPECT_TRUE(dlg.grab().save(dir + "/history-table.png"));

  QTest::mouseClick(res::Control<QPushButton>(dlg.TablePage(), res::IDC_HT_STATISTICS), Qt::LeftButton);
  CHistoryStatisticsDlg* statistics = dlg.TablePage()->StatisticsDialog();
  ASSERT_NE(statistics, nullptr);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(statistics));
  QTest::qWait(50);
  EXPECT_TRUE(statistics->grab().save(dir + "/history-statistics.png"));
  statistics->close();

  res::Control<QTabBar>(&dlg, res::IDC_HQ_TABS)->setCurrentIndex(1);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_QUERY), Qt::LeftButton);
  QTest::qWait(50);
  EXPECT_TRUE(dlg.grab().save(dir + "/history-curve.png"));
}

// The curve page with a freezer at -25 °C and a hot room at +45 °C all day, on screen and as
// its PDF: no control may hide a curve.
TEST(HistoryScreenshots, CurvePageWithAFreezerAndAHotRoom) {
  const QString dir = ScreenshotDir();
  ASSERT_FALSE(dir.isEmpty());
  TestDatabase db("t_history_shots_extremes");
  REQUIRE_DB(db);
  WriteCatalogue(db);
  std::string values;
  for (const auto& [device, base] : {std::pair{"D000000001", -25.0}, {"D000000004", 45.0}})
    for (int m = 0; m < 24 * 60; m += 5)
      values += QString::asprintf("%s('%s','0001','01','2024-05-01 %02d:%02d:00',%.1f,0,50.0,0,30.0,3.6,1,12.0)",
                                  values.empty() ? "" : ",", device, m / 60, m % 60, base + std::sin(m / 90.0))
                    .toStdString();
  db.Exec("insert into history_tab values " + values);
  db.ConnectProcessSession();

  CHistoryQueryDlg dlg(Db(), kAdminLogin);
  SetDates(dlg, QDate(2024, 5, 1), QDate(2024, 5, 1));
  AddQueryRow(dlg, "D000000001");
  AddQueryRow(dlg, "D000000004");
  res::Control<QTabBar>(&dlg, res::IDC_HQ_TABS)->setCurrentIndex(1);
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_QUERY), Qt::LeftButton);
  QTest::qWait(50);
  EXPECT_TRUE(dlg.grab().save(dir + "/history-curve-extremes.png"));
  EXPECT_TRUE(
      ExportCurvePdf(nullptr, dlg.CurvePage()->PdfImage(), (dir + "/history-curve-extremes.pdf").toStdString()).ok);
}

}  // namespace
