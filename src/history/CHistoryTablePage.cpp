#include "CHistoryTablePage.h"

#include <QAbstractButton>

#include "AlarmRecords.h"
#include "CAlarmRecordDlg.h"
#include "CHistoryStatisticsDlg.h"
#include "HistoryCells.h"
#include "HistoryExport.h"
#include "HistoryRowModel.h"
#include "HistoryStatements.h"
#include "HistoryTablePageTemplate.h"

namespace {

constexpr const char* kResultCountFormat = "查询结果：%d条记录";
constexpr int kFilterButtons = 4;

CHistoryTablePage::ExportHandler& DefaultPdfExport() {
  static CHistoryTablePage::ExportHandler handler;
  return handler;
}
CHistoryTablePage::ExportHandler& DefaultExcelExport() {
  static CHistoryTablePage::ExportHandler handler;
  return handler;
}

}  // namespace

CHistoryTablePage::CHistoryTablePage(QWidget* parent)
    : res::DialogBase(res::kHistoryTablePage, parent, kFilterEnter | kFilterEscape, /*asChildPage=*/true),
      list_(Item<res::ReportListView>(res::IDC_HT_LIST)),
      rows_(new history::HistoryRowModel(this)) {
  for (int i = 0; i < history::kHistoryListColumnCount; ++i) {
    const auto& column = history::kHistoryListColumns[static_cast<std::size_t>(i)];
    list_->InsertColumn(i, QString::fromUtf8(column.title), column.widthPixels);
  }
  list_->UseRows(rows_);
  list_->setShowGrid(true);
  for (int id = res::IDC_HT_TEMP_NORMAL; id <= res::IDC_HT_HUM_ANY; ++id)
    connect(Item<QAbstractButton>(id), &QAbstractButton::clicked, this, &CHistoryTablePage::filterClicked);
  connect(Item<QAbstractButton>(res::IDC_HT_EXPORT_PDF), &QAbstractButton::clicked, this,
          &CHistoryTablePage::ExportPdf);
  connect(Item<QAbstractButton>(res::IDC_HT_EXPORT_EXCEL), &QAbstractButton::clicked, this,
          &CHistoryTablePage::ExportExcel);
  connect(Item<QAbstractButton>(res::IDC_HT_STATISTICS), &QAbstractButton::clicked, this,
          &CHistoryTablePage::ShowStatistics);
  connect(Item<QAbstractButton>(res::IDC_HT_ALARM_RECORDS), &QAbstractButton::clicked, this,
          &CHistoryTablePage::ShowAlarmRecords);
  temperatureFilter = history::kFilterAny;
  humidityFilter = history::kFilterAny;
  PushFilters();
}

void CHistoryTablePage::AppendHistoryRows(const std::vector<DbRow>& rows) {
  for (const DbRow& row : rows) rows_->Stage(row);
  rows_->Publish();
}

void CHistoryTablePage::ShowResultCount(int total) {
  SetDlgItemText(res::IDC_HT_RESULT, QString::asprintf(kResultCountFormat, total));
}

void CHistoryTablePage::PullFilters() {
  const auto checked = [this](int first) {
    for (int i = 0; i < kFilterButtons; ++i)
      if (Item<QAbstractButton>(first + i)->isChecked()) return i;
    return -1;
  };
  temperatureFilter = checked(res::IDC_HT_TEMP_NORMAL);
  humidityFilter = checked(res::IDC_HT_HUM_NORMAL);
}

void CHistoryTablePage::PushFilters() {
  const auto check = [this](int first, int filter) {
    for (int i = 0; i < kFilterButtons; ++i) Item<QAbstractButton>(first + i)->setChecked(i == filter);
  };
  check(res::IDC_HT_TEMP_NORMAL, temperatureFilter);
  check(res::IDC_HT_HUM_NORMAL, humidityFilter);
}

void CHistoryTablePage::SetDefaultExportHandlers(ExportHandler pdf, ExportHandler excel) {
  DefaultPdfExport() = std::move(pdf);
  DefaultExcelExport() = std::move(excel);
}

void CHistoryTablePage::SetExportHandlers(ExportHandler pdf, ExportHandler excel) {
  exportPdf_ = std::move(pdf);
  exportExcel_ = std::move(excel);
}

void CHistoryTablePage::ExportPdf() {
  emit exportPdfRequested();
  if (const ExportHandler& run = exportPdf_ ? exportPdf_ : DefaultPdfExport())
    run(*this);
  else
    ::ExportPdf(this, *rows_);
}

void CHistoryTablePage::ExportExcel() {
  emit exportExcelRequested();
  if (const ExportHandler& run = exportExcel_ ? exportExcel_ : DefaultExcelExport())
    run(*this);
  else
    ::ExportExcel(this, *rows_);
}

void CHistoryTablePage::ShowStatistics() {
  if (statistics_) statistics_->close();
  statistics_ = new CHistoryStatisticsDlg(history::SummariseRows(rows_->Store()),
                                          static_cast<long long>(rows_->rowCount()), this);
  statistics_->setAttribute(Qt::WA_DeleteOnClose);
  statistics_->open();
}

CHistoryStatisticsDlg* CHistoryTablePage::StatisticsDialog() const { return statistics_.data(); }

void CHistoryTablePage::ShowAlarmRecords() {
  if (alarmRecords_) alarmRecords_->close();
  std::vector<history::AlarmRecord> records =
      alarmRecordSource_ ? alarmRecordSource_() : history::AlarmRecordsOfRows(rows_->Store());
  alarmRecords_ = new CAlarmRecordDlg(std::move(records), this);
  alarmRecords_->setAttribute(Qt::WA_DeleteOnClose);
  alarmRecords_->open();
}

CAlarmRecordDlg* CHistoryTablePage::AlarmRecordDialog() const { return alarmRecords_.data(); }
