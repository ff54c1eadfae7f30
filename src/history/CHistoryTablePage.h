#pragma once
// The "表格" page of the history query dialog: one list row per stored reading, the alarm
// filters that re-run the query, the result count and the export buttons. The results are kept
// once, in the list's model (HistoryRowModel over its compact HistoryRowStore); the exports read
// them back as shown (ResultList()).
#include <QPointer>
#include <functional>
#include <vector>

#include "AlarmRecords.h"
#include "DbSession.h"
#include "DialogBase.h"
#include "ReportListView.h"

class CAlarmRecordDlg;
class CHistoryStatisticsDlg;
namespace history {
class HistoryRowModel;
}

class CHistoryTablePage : public res::DialogBase {
  Q_OBJECT
 public:
  explicit CHistoryTablePage(QWidget* parent = nullptr);

  res::ReportListView* ResultList() const { return list_; }
  // The rows of the list, kept compactly (the list shows them through this model).
  history::HistoryRowModel& Rows() const { return *rows_; }

  // Appends one list row per row of a table-query result (thirteen columns), in order. The
  // query streams into Rows() instead (QueryHistoryIntoRows).
  void AppendHistoryRows(const std::vector<DbRow>& rows);
  // "查询结果：%d条记录"
  void ShowResultCount(int total);

  // Reads the radio buttons into the filters: the checked button's position in its group
  // (0 正常, 1 高, 2 低, 3 不限), -1 when none is checked.
  void PullFilters();
  int temperatureFilter = -1;
  int humidityFilter = -1;

  // Export hooks. A handler set on the page wins; otherwise the process-wide one runs.
  using ExportHandler = std::function<void(CHistoryTablePage&)>;
  static void SetDefaultExportHandlers(ExportHandler pdf, ExportHandler excel);
  void SetExportHandlers(ExportHandler pdf, ExportHandler excel);
  void ExportPdf();
  void ExportExcel();

  // "统计": opens the figures of the rows shown, per device (window-modal, not blocking).
  void ShowStatistics();
  CHistoryStatisticsDlg* StatisticsDialog() const;
  // "报警记录": opens the excursions of the query shown (window-modal, not blocking).
  void ShowAlarmRecords();
  CAlarmRecordDlg* AlarmRecordDialog() const;
  // Finds the records of the last query with who acknowledged them (the dialog passes one on its
  // session); without one, the excursions of the rows shown.
  using AlarmRecordSource = std::function<std::vector<history::AlarmRecord>()>;
  void SetAlarmRecordSource(AlarmRecordSource source) { alarmRecordSource_ = std::move(source); }

 signals:
  // Any filter button was clicked: the dialog re-runs its table query.
  void filterClicked();
  void exportPdfRequested();
  void exportExcelRequested();

 private:
  void PushFilters();

  res::ReportListView* list_;
  history::HistoryRowModel* rows_;
  ExportHandler exportPdf_, exportExcel_;
  QPointer<CHistoryStatisticsDlg> statistics_;
  QPointer<CAlarmRecordDlg> alarmRecords_;
  AlarmRecordSource alarmRecordSource_;
};
