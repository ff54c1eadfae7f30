#pragma once
// "历史数据查询": the user narrows the device catalogue by company and department, collects
// devices into a query list, picks a date range and queries into the table page or plots a
// day on the curve page. The main frame holds the database session while the dialog is open.
#include <QDate>
#include <QRect>
#include <string>
#include <vector>

#include "AlarmRecords.h"
#include "DialogBase.h"
#include "HistoryQueryContext.h"
#include "LoginState.h"

class CHistoryCurvePage;
class CHistoryTablePage;
class DbSession;
class QTabBar;
namespace res {
class ReportListView;
}

class CHistoryQueryDlg : public res::DialogBase, public HistoryQueryContext {
  Q_OBJECT
 public:
  // The company and department lists are limited by `login`'s role.
  CHistoryQueryDlg(DbSession& db, Login login, QWidget* parent = nullptr);

  CHistoryTablePage* TablePage() const { return tablePage_; }
  CHistoryCurvePage* CurvePage() const { return curvePage_; }
  res::ReportListView* DeviceList() const { return deviceList_; }
  res::ReportListView* QueryList() const { return queryList_; }

  // Company and department choice; lists limited by the logged-in user's role.
  void FillCompanyCombo();
  void OnCompanyChanged();
  void FillDepartmentCombo();
  void OnDepartmentChanged();
  void FillDeviceChoices();

  // Query list.
  void AddSelectedToQuery();
  void AddAllToQuery();
  void RemoveFromQuery();
  void ClearQueryList();
  void UpdateQueryCount();

  // Fills the visible page.
  void OnQuery();
  // Every query-list device's readings in the date range, filtered by the table page's
  // radio buttons, appended in list order.
  void RunTableQuery();
  void OnTabChanged(int index);

  std::vector<std::string> QueryDeviceIds() const override;
  QDate StartDate() const override;
  QDate EndDate() const;

 private:
  void AddToQuery(int deviceRow);
  // "报警记录" of the rows shown: found on every reading of the last query, chosen by its filters.
  std::vector<history::AlarmRecord> AlarmRecordsOfLastQuery();

  DbSession& db_;
  const Login login_;
  QTabBar* tabs_;
  QRect tabClientRect_;
  CHistoryTablePage* tablePage_;
  CHistoryCurvePage* curvePage_;
  res::ReportListView* deviceList_;
  res::ReportListView* queryList_;
  struct LastQuery {
    std::vector<std::string> deviceIds;
    QDate from, to;
    int temperatureFilter = 3, humidityFilter = 3;
  } lastQuery_;
};
