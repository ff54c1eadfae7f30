// The table query of the history dialog and the filters of its table page, against the
// private server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "AlarmRecordTemplate.h"
#include "AlarmRecords.h"
#include "CAlarmRecordDlg.h"
#include "CHistoryStatisticsDlg.h"
#include "CHistoryTablePage.h"
#include "HistoryStatements.h"
#include "HistorySummaryExport.h"
#include "HistoryTablePageTemplate.h"
#include "HistoryTableQuery.h"
#include "HistoryTestData.h"
#include "ScriptedMessageBoxes.h"

using namespace history_test;

namespace {

const QDate kDay(2024, 5, 1);

class HistoryTableQuery : public SharedDatabaseTest<HistoryTableQuery> {
 protected:
  // D000000001: 3 readings on the day (one high, one low temperature), plus one at each
  // neighbouring day's edge. D000000002: 5 readings on the day. D'00000005: 2 readings.
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_history_table")) return;
    WriteCatalogue(*db_);
    WriteReading(*db_, {"D000000001", "2024-04-30 23:59:59"});
    WriteReading(*db_, {"D000000001", "2024-05-01 00:00:00", "30.5", 1, "90.0", 1});
    WriteReading(*db_, {"D000000001", "2024-05-01 12:00:00", "-5.0", 2, "20.0", 2});
    WriteReading(*db_, {"D000000001", "2024-05-01 23:59:59", "21.0", 3, "55.0", 4, "3.7", 0});
    WriteReading(*db_, {"D000000001", "2024-05-02 00:00:00"});
    for (int i = 0; i < 5; ++i)
      WriteReading(*db_, {"D000000002", "2024-05-01 0" + std::to_string(i) + ":00:00", "22.0", i == 4 ? 1 : 0});
    WriteReading(*db_, {"D'00000005", "2024-05-01 08:00:00"}, "0002", "01");
    WriteReading(*db_, {"D'00000005", "2024-05-01 09:00:00"}, "0002", "01");
    // D000000004, on the day after next only: SQL NULL values with code 0, as collectors write them.
    WriteReading(*db_, {"D000000004", "2024-05-03 10:00:00", "NULL", 0, "60.0"}, "0002", "01");
    WriteReading(*db_, {"D000000004", "2024-05-03 10:10:00", "4.5", 0, "NULL"}, "0002", "01");
    db_->ConnectProcessSession();
  }
  void SetUp() override {
    REQUIRE_DB(*db_);
    SetDates(dlg_, kDay, kDay);
  }

  res::ReportListView& List() { return *dlg_.TablePage()->ResultList(); }
  QString ResultText() { return dlg_.TablePage()->GetDlgItemText(res::IDC_HT_RESULT); }
  QStringList Column(int column) {
    QStringList texts;
    for (int r = 0; r < List().GetItemCount(); ++r) texts << List().GetItemText(r, column);
    return texts;
  }
  void ClickFilter(int id) { QTest::mouseClick(res::Control<QRadioButton>(dlg_.TablePage(), id), Qt::LeftButton); }
  void Query() { QTest::mouseClick(res::Control<QPushButton>(&dlg_, res::IDC_HQ_QUERY), Qt::LeftButton); }

  CHistoryQueryDlg dlg_{Db(), kAdminLogin};
  ScriptedMessageBoxes boxes_;
};

TEST_F(HistoryTableQuery, RowsOfEveryDeviceInListOrderForTheWholeDay) {
  AddQueryRow(dlg_, "D000000001");
  AddQueryRow(dlg_, "D000000002");
  Query();
  ASSERT_EQ(List().GetItemCount(), 8);
  EXPECT_EQ(ResultText(), QString::fromUtf8("查询结果：8条记录"));
  EXPECT_EQ(Column(0).mid(0, 3), QStringList(3, "D000000001"));
  EXPECT_EQ(Column(0).mid(3), QStringList(5, "D000000002"));
  // Equal dates: from 00:00:00 up to 23:59:59, neither neighbouring day.
  QStringList first = Column(4).mid(0, 3);
  first.sort();
  EXPECT_EQ(first, QStringList({"2024-05-01 00:00:00", "2024-05-01 12:00:00", "2024-05-01 23:59:59"}));
  EXPECT_EQ(boxes_.Count(), 0);

  // A second query replaces the rows.
  Query();
  EXPECT_EQ(List().GetItemCount(), 8);
}

TEST_F(HistoryTableQuery, CellsComeFromTheRightColumnsOfTheStatement) {
  AddQueryRow(dlg_, "D000000001");
  ClickFilter(res::IDC_HT_TEMP_ANY);
  ASSERT_EQ(List().GetItemCount(), 3);
  int row = 0;
  while (row < 3 && List().GetItemText(row, 4) != "2024-05-01 23:59:59") ++row;
  ASSERT_LT(row, 3);
  QStringList cells;
  for (int c = 0; c < List().ColumnCount(); ++c) cells << List().GetItemText(row, c);
  EXPECT_EQ(cells, QStringList({"D000000001", "一号探头", "华东公司", "仓库一", "2024-05-01 23:59:59", " 21.0   ", "--",
                                "30.0", "3.7 电池", "12.0", "传感器掉线"}));
}

TEST_F(HistoryTableQuery, EveryFilterClickRequeriesWithItsAlarmCondition) {
  AddQueryRow(dlg_, "D000000001");
  AddQueryRow(dlg_, "D000000002");
  ClickFilter(res::IDC_HT_TEMP_HIGH);
  EXPECT_EQ(dlg_.TablePage()->temperatureFilter, 1);
  EXPECT_EQ(Column(4), QStringList({"2024-05-01 00:00:00", "2024-05-01 04:00:00"}));
  EXPECT_EQ(ResultText(), QString::fromUtf8("查询结果：2条记录"));

  ClickFilter(res::IDC_HT_HUM_HIGH);  // both conditions
  EXPECT_EQ(Column(4), QStringList({"2024-05-01 00:00:00"}));

  ClickFilter(res::IDC_HT_TEMP_NORMAL);  // 正常 is code 0 although "不限" sits left of it
  EXPECT_EQ(dlg_.TablePage()->temperatureFilter, 0);
  EXPECT_EQ(List().GetItemCount(), 0);
  ClickFilter(res::IDC_HT_HUM_ANY);
  EXPECT_EQ(dlg_.TablePage()->humidityFilter, 3);
  EXPECT_EQ(List().GetItemCount(), 4);  // the normal readings of D000000002

  ClickFilter(res::IDC_HT_TEMP_LOW);
  EXPECT_EQ(Column(4), QStringList({"2024-05-01 12:00:00"}));
  ClickFilter(res::IDC_HT_TEMP_ANY);
  EXPECT_EQ(List().GetItemCount(), 8);
}

TEST_F(HistoryTableQuery, StatisticsButtonShowsTheFiguresOfTheRowsShown) {
  AddQueryRow(dlg_, "D000000001");
  AddQueryRow(dlg_, "D000000002");
  ClickFilter(res::IDC_HT_TEMP_ANY);
  QTest::mouseClick(res::Control<QPushButton>(dlg_.TablePage(), res::IDC_HT_STATISTICS), Qt::LeftButton);
  CHistoryStatisticsDlg* statistics = dlg_.TablePage()->StatisticsDialog();
  ASSERT_NE(statistics, nullptr);
  EXPECT_TRUE(statistics->isVisible());
  ASSERT_EQ(statistics->List()->GetItemCount(), 2);
  // D000000001: 30.5 (high), -5.0 (low) and an offline reading that counts but has no value.
  const auto cell = [&](int r, int c) { return statistics->List()->GetItemText(r, c); };
  EXPECT_EQ(cell(0, 0), "D000000001");
  EXPECT_EQ(cell(0, 2), "3");
  EXPECT_EQ(cell(0, 5), "-5.00");
  EXPECT_EQ(cell(0, 6), "30.50");
  EXPECT_EQ(cell(0, 9), "1");
  EXPECT_EQ(cell(1, 2), "5");
  EXPECT_TRUE(statistics->TabSeparatedText().startsWith(QString::fromUtf8("设备ID\t设备名称\t")));
  statistics->close();
}

// The filters choose among the events found on every reading; they never cut one short: with
// only the readings above the limit shown, the excursion still ends at the reading at noon.
TEST_F(HistoryTableQuery, FiltersChooseAmongTheAlarmRecordsOfEveryReading) {
  std::vector<history::AlarmRecord> all, high;
  ASSERT_TRUE(history::QueryAlarmRecords(Db(), {"D000000001"}, kDay, kDay, 3, 3, all));
  ASSERT_TRUE(history::QueryAlarmRecords(Db(), {"D000000001"}, kDay, kDay, 1, 3, high));
  const auto lines = [](const std::vector<history::AlarmRecord>& records) {
    QStringList out;
    for (const auto& r : records) out << history::AlarmRecordCells(r).mid(4, 3).join('|');
    return out;
  };
  EXPECT_EQ(lines(high), (QStringList{QString::fromUtf8("温度超上限|2024-05-01 00:00:00|2024-05-01 12:00:00"),
                                      QString::fromUtf8("湿度超上限|2024-05-01 00:00:00|2024-05-01 12:00:00")}));
  for (const QString& line : lines(high)) EXPECT_TRUE(lines(all).contains(line)) << line.toStdString();
}

// The window lists what the headless export's query finds: D000000001 goes high, low, offline
// and on battery (the last two and the humidity below still open); D000000002 ends high.
TEST_F(HistoryTableQuery, AlarmRecordsOfTheWindowAreThoseOfTheStreamedQuery) {
  AddQueryRow(dlg_, "D000000001");
  AddQueryRow(dlg_, "D000000002");
  ClickFilter(res::IDC_HT_TEMP_ANY);
  QTest::mouseClick(res::Control<QPushButton>(dlg_.TablePage(), res::IDC_HT_ALARM_RECORDS), Qt::LeftButton);
  CAlarmRecordDlg* window = dlg_.TablePage()->AlarmRecordDialog();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());

  std::vector<history::AlarmRecord> streamed;
  ASSERT_TRUE(history::QueryAlarmRecords(Db(), {"D000000001", "D000000002"}, kDay, kDay, 3, 3, streamed));
  ASSERT_EQ(streamed.size(), 7u);
  const auto cells = [](const std::vector<history::AlarmRecord>& records) {
    QStringList lines;
    for (const auto& r : records) lines << history::AlarmRecordCells(r).join('|');
    return lines;
  };
  EXPECT_EQ(cells(window->Shown()), cells(streamed));
  const auto row = [&](int r) {
    QStringList cells;
    for (int c = 0; c < window->List()->ColumnCount(); ++c) cells << window->List()->GetItemText(r, c);
    return cells.join('|');
  };
  EXPECT_EQ(row(3), QString::fromUtf8("D000000001|一号探头|华东公司|仓库一|湿度超下限|2024-05-01 12:00:00|持续中|"
                                      "11:59:59|1|20.00|||"));
  EXPECT_EQ(row(6), QString::fromUtf8("D000000002|二号探头|华东公司|仓库一|温度超上限|2024-05-01 04:00:00|持续中|"
                                      "0:00:00|1|22.00|||"));

  res::Control<QComboBox>(window, res::IDC_AR_KIND)->setCurrentIndex(1 + 5);  // 供电中断
  ASSERT_EQ(window->List()->GetItemCount(), 1);
  EXPECT_EQ(row(0).section('|', 9, 9), "3.70");
  QTest::mouseClick(res::Control<QPushButton>(window, res::IDC_AR_COPY), Qt::LeftButton);
  const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2);
  EXPECT_TRUE(lines[0].startsWith(QString::fromUtf8("设备ID\t设备名称\t公司\t部门\t报警类型")));
  EXPECT_EQ(lines[1].split('\t').size(), history::kAlarmRecordColumnCount);

  res::Control<QComboBox>(window, res::IDC_AR_KIND)->setCurrentIndex(0);
  window->SortBy(history::kArColDuration);
  window->SortBy(history::kArColDuration);  // longest first
  EXPECT_EQ(window->List()->GetItemText(0, history::kArColDuration), "12:00:00");
  window->close();
}

TEST_F(HistoryTableQuery, SummaryOfEveryDeviceNamesAlsoThoseWithoutReadings) {
  std::vector<history::DeviceSummary> summaries;
  const QDate day(2024, 5, 3);
  ASSERT_TRUE(history::SummariseQuery(Db(), {"D000000004", "D000000003", "D999999999"}, day, day, 3, 3, summaries));
  ASSERT_EQ(summaries.size(), 3u);
  const QStringList nulls = history::SummaryCells(summaries[0]);
  EXPECT_EQ(nulls.mid(2, 1) + nulls.mid(5, 3) + nulls.mid(13, 3),
            QStringList({"2", "4.50", "4.50", "4.50", "60.00", "60.00", "60.00"}));
  EXPECT_EQ(nulls.mid(22), QStringList({"1", "1"}));
  const QStringList none = history::SummaryCells(summaries[1]);
  EXPECT_EQ(none.mid(0, 4), QStringList({"D000000003", QString::fromUtf8("三号探头"), "0", "--"}));
  EXPECT_EQ(history::SummaryCells(summaries[2]).mid(0, 3), QStringList({"D999999999", "", "0"}));  // no such device
}

TEST_F(HistoryTableQuery, EndBeforeStartIsRefusedAndKeepsTheRows) {
  AddQueryRow(dlg_, "D000000002");
  Query();
  ASSERT_EQ(List().GetItemCount(), 5);
  SetDates(dlg_, kDay, kDay.addDays(-1));
  Query();
  EXPECT_EQ(boxes_.LastText(), QString::fromUtf8("时间段选择错误!"));
  EXPECT_EQ(boxes_.LastCaption(), QString::fromUtf8("客户端"));
  ClickFilter(res::IDC_HT_TEMP_HIGH);
  EXPECT_EQ(boxes_.Count(), 2);
  EXPECT_EQ(List().GetItemCount(), 5);
  EXPECT_EQ(ResultText(), QString::fromUtf8("查询结果：5条记录"));
}

TEST_F(HistoryTableQuery, EmptyQueryListEmptiesTheTable) {
  AddQueryRow(dlg_, "D000000002");
  Query();
  dlg_.QueryList()->DeleteAllItems();
  ClickFilter(res::IDC_HT_TEMP_ANY);
  EXPECT_EQ(List().GetItemCount(), 0);
  EXPECT_EQ(ResultText(), QString::fromUtf8("查询结果：0条记录"));
}

TEST_F(HistoryTableQuery, DeviceIdWithAQuoteFindsItsOwnRowsOnly) {
  CHistoryQueryDlg dlg(Db(), TestLogin("张三", kRoleNormalUser));
  SetDates(dlg, kDay, kDay);
  ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华南公司");
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_ADD_ALL), Qt::LeftButton);
  ASSERT_EQ(dlg.QueryList()->GetItemCount(), 2);
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_QUERY), Qt::LeftButton);
  auto* list = dlg.TablePage()->ResultList();
  ASSERT_EQ(list->GetItemCount(), 2);
  EXPECT_EQ(list->GetItemText(0, 0), "D'00000005");
  EXPECT_EQ(list->GetItemText(1, 1), QString::fromUtf8("引号探头"));

  AddQueryRow(dlg, "x' or '1'='1");
  QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_HQ_QUERY), Qt::LeftButton);
  EXPECT_EQ(list->GetItemCount(), 2);
}

TEST_F(HistoryTableQuery, ExportButtonsReachTheirHandlers) {
  int pdf = 0, excel = 0;
  CHistoryTablePage::SetDefaultExportHandlers([&](CHistoryTablePage&) { ++pdf; }, [&](CHistoryTablePage&) { ++excel; });
  CHistoryTablePage* page = dlg_.TablePage();
  QTest::mouseClick(res::Control<QPushButton>(page, res::IDC_HT_EXPORT_PDF), Qt::LeftButton);
  QTest::mouseClick(res::Control<QPushButton>(page, res::IDC_HT_EXPORT_EXCEL), Qt::LeftButton);
  EXPECT_EQ(pdf, 1);
  EXPECT_EQ(excel, 1);

  int own = 0;
  page->SetExportHandlers([&](CHistoryTablePage& p) { own += p.ResultList() == page->ResultList(); }, {});
  QTest::mouseClick(res::Control<QPushButton>(page, res::IDC_HT_EXPORT_PDF), Qt::LeftButton);
  QTest::mouseClick(res::Control<QPushButton>(page, res::IDC_HT_EXPORT_EXCEL), Qt::LeftButton);
  EXPECT_EQ(own, 1);
  EXPECT_EQ(pdf, 1);
  EXPECT_EQ(excel, 2);
  CHistoryTablePage::SetDefaultExportHandlers({}, {});
}

}  // namespace

namespace {

// The collector decides the column type of history_tab.datetime: the day range must select the
// same readings from a text column and from a DATETIME column.
TEST(HistoryDayRange, TextAndDatetimeColumnsSelectTheSameReadings) {
  for (const char* columnType : {"", "DATETIME NOT NULL"}) {
    SCOPED_TRACE(*columnType ? columnType : "CHAR(19) text");
    TestDatabase db("t_history_datetime");
    REQUIRE_DB(db);
    WriteCatalogue(db);
    if (*columnType) db.Exec(std::string("alter table history_tab modify datetime ") + columnType);
    for (const char* t : {"2024-04-30 23:59:59", "2024-05-01 00:00:00", "2024-05-01 23:59:59", "2024-05-02 00:00:00"})
      WriteReading(db, {"D000000001", t});
    db.ConnectProcessSession();

    CHistoryTablePage page;
    const auto rows = [&](const QDate& from, const QDate& to) {
      page.ResultList()->DeleteAllItems();
      const HistoryTableQueryOutcome outcome = QueryHistoryIntoRows(Db(), page.Rows(), {"D000000001"}, from, to, 3, 3);
      EXPECT_TRUE(outcome.ok) << Db().LastError();
      QStringList times;
      for (int r = 0; r < page.ResultList()->GetItemCount(); ++r) times << page.ResultList()->GetItemText(r, 4);
      times.sort();
      return times;
    };
    EXPECT_EQ(rows(kDay, kDay), QStringList({"2024-05-01 00:00:00", "2024-05-01 23:59:59"}));
    EXPECT_EQ(rows(kDay, kDay.addDays(1)),
              QStringList({"2024-05-01 00:00:00", "2024-05-01 23:59:59", "2024-05-02 00:00:00"}));
    // The curve statements share the bounds.
    const auto escape = [](std::string_view t) { return Db().Escape(t); };
    const DbResult curve = Db().Select(
        history::CurveStatement(escape, 0, "D000000001", history::DayStartText(kDay), history::DayEndText(kDay)));
    EXPECT_EQ(curve.rows.size(), 2u);
  }
}

}  // namespace
