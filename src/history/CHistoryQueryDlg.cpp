#include "CHistoryQueryDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTabBar>
#include <algorithm>

#include "AlarmRecords.h"
#include "CHistoryCurvePage.h"
#include "CHistoryTablePage.h"
#include "Catalogue.h"
#include "CompanyCombo.h"
#include "DbSession.h"
#include "Gbk.h"
#include "HistoryQueryTemplate.h"
#include "HistoryRowModel.h"
#include "HistoryStatements.h"
#include "HistoryTableQuery.h"
#include "LocalTime.h"
#include "LoginState.h"
#include "MessageBox.h"
#include "QueryProgress.h"
#include "ReportListView.h"

namespace {

// A department entry with this text lists every device of the company.
constexpr const char* kAllDepartmentsText = "所有部门";

constexpr const char* kTableTabText = "表格";
constexpr const char* kCurveTabText = "曲线";
constexpr const char* kQueryCountFormat = "查询设备个数:%d";
constexpr const char* kClearQuestion = "确认清空查询列表?";
constexpr const char* kClearCaption = "清空";
constexpr const char* kDateRangeError = "时间段选择错误!";

struct DeviceColumn {
  const char* title;
  int widthPixels;
};
constexpr DeviceColumn kDeviceColumns[] = {{"设备ID", 80}, {"设备名称", 200}, {"公司名称", 150}, {"部门名称", 150}};
constexpr int kDeviceColumnCount = 4;

// Pages sit inside the tab control's area, below its tabs.
constexpr int kPageLeft = 10, kPageTop = 20, kPageRightMargin = 20, kPageBottomMargin = 30;

std::string ComboTextGbk(const QComboBox* combo) { return platform::ToGbk(combo->currentText()); }

void InsertDeviceColumns(res::ReportListView* list) {
  for (int i = 0; i < kDeviceColumnCount; ++i)
    list->InsertColumn(i, QString::fromUtf8(kDeviceColumns[i].title), kDeviceColumns[i].widthPixels);
  list->setShowGrid(true);
}

QDate Today() {
  const platform::LocalTime now = platform::GetLocalTime();
  return QDate(now.year, now.month, now.day);
}

}  // namespace

CHistoryQueryDlg::CHistoryQueryDlg(DbSession& db, Login login, QWidget* parent)
    : res::DialogBase(res::kHistoryQueryDialog, parent, kFilterEnter | kFilterEscape),
      db_(db),
      login_(std::move(login)),
      tabs_(Item<QTabBar>(res::IDC_HQ_TABS)),
      deviceList_(Item<res::ReportListView>(res::IDC_HQ_DEVICE_LIST)),
      queryList_(Item<res::ReportListView>(res::IDC_HQ_QUERY_LIST)) {
  tabClientRect_ = tabs_->geometry();
  tabs_->addTab(QString::fromUtf8(kTableTabText));
  tabs_->addTab(QString::fromUtf8(kCurveTabText));

  // The pages are the dialog's children laid over the tab control: wheel events over a page
  // must not reach the tab bar, which would switch tabs.
  // Below the tabs even where the platform draws them taller than the 20 pixels planned.
  const int top = std::max(kPageTop, tabs_->tabRect(0).height() + 2);
  const QRect pageRect(tabClientRect_.x() + kPageLeft, tabClientRect_.y() + top,
                       tabClientRect_.width() - kPageRightMargin,
                       tabClientRect_.height() - kPageBottomMargin - (top - kPageTop));
  tablePage_ = new CHistoryTablePage(this);
  tablePage_->SetAlarmRecordSource([this] { return AlarmRecordsOfLastQuery(); });
  curvePage_ = new CHistoryCurvePage(db_, this, this);
  for (QWidget* page : {static_cast<QWidget*>(tablePage_), static_cast<QWidget*>(curvePage_)}) {
    page->setGeometry(pageRect);
    page->raise();
  }
  tablePage_->show();
  curvePage_->hide();

  InsertDeviceColumns(deviceList_);
  InsertDeviceColumns(queryList_);
  Item<QDateEdit>(res::IDC_HQ_START_DATE)->setDate(Today());
  Item<QDateEdit>(res::IDC_HQ_END_DATE)->setDate(Today());

  connect(Item<QComboBox>(res::IDC_HQ_COMPANY), &QComboBox::activated, this, &CHistoryQueryDlg::OnCompanyChanged);
  connect(Item<QComboBox>(res::IDC_HQ_DEPARTMENT), &QComboBox::activated, this, &CHistoryQueryDlg::OnDepartmentChanged);
  const auto onClick = [this](int id, void (CHistoryQueryDlg::*handler)()) {
    connect(Item<QAbstractButton>(id), &QAbstractButton::clicked, this, handler);
  };
  onClick(res::IDC_HQ_ADD_SELECTED, &CHistoryQueryDlg::AddSelectedToQuery);
  onClick(res::IDC_HQ_ADD_ALL, &CHistoryQueryDlg::AddAllToQuery);
  onClick(res::IDC_HQ_REMOVE, &CHistoryQueryDlg::RemoveFromQuery);
  onClick(res::IDC_HQ_CLEAR, &CHistoryQueryDlg::ClearQueryList);
  onClick(res::IDC_HQ_QUERY, &CHistoryQueryDlg::OnQuery);
  onClick(res::IDC_HQ_EXIT, &QDialog::reject);
  connect(tabs_, &QTabBar::currentChanged, this, &CHistoryQueryDlg::OnTabChanged);
  connect(tablePage_, &CHistoryTablePage::filterClicked, this, &CHistoryQueryDlg::RunTableQuery);

  FillCompanyCombo();
}

void CHistoryQueryDlg::FillCompanyCombo() {
  auto* combo = Item<QComboBox>(res::IDC_HQ_COMPANY);
  combo->clear();
  if (!db_.LastConnectSucceeded()) return;
  // Each entry carries its number: two companies may share a name.
  res::FillCompanyCombo(*combo, catalogue::CompaniesSeenBy(db_, login_.role, login_.userName).rows);
}

void CHistoryQueryDlg::OnCompanyChanged() {
  if (!db_.LastConnectSucceeded()) {
    FillDepartmentCombo();
    FillDeviceChoices();
    OnDepartmentChanged();
    return;
  }
  const auto* combo = Item<QComboBox>(res::IDC_HQ_COMPANY);
  const QString number = res::CompanyNumberAt(*combo, combo->currentIndex());
  if (number.isEmpty()) return;
  SetDlgItemText(res::IDC_HQ_COMPANY_NUM, number);
  FillDepartmentCombo();
  FillDeviceChoices();
  OnDepartmentChanged();
}

void CHistoryQueryDlg::FillDepartmentCombo() {
  auto* combo = Item<QComboBox>(res::IDC_HQ_DEPARTMENT);
  if (!db_.LastConnectSucceeded()) {
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
    return;
  }
  combo->clear();
  const std::string companyNum = platform::ToGbk(GetDlgItemText(res::IDC_HQ_COMPANY_NUM));
  if (companyNum.empty()) return;
  const DbResult result = catalogue::DepartmentNamesSeenBy(db_, login_.role, login_.userName, companyNum);
  if (!result.ok) return;
  for (const DbRow& row : result.rows) combo->addItem(platform::FromGbk(row.empty() ? "" : row[0]));
  combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

void CHistoryQueryDlg::OnDepartmentChanged() {
  if (!db_.LastConnectSucceeded()) {
    FillDeviceChoices();
    return;
  }
  const std::string department = ComboTextGbk(Item<QComboBox>(res::IDC_HQ_DEPARTMENT));
  const std::string companyNum = platform::ToGbk(GetDlgItemText(res::IDC_HQ_COMPANY_NUM));
  if (department.empty()) return;
  const DbResult result = catalogue::DepartmentNumbersNamed(db_, department, companyNum);
  if (!result.ok) return;
  const bool found = !result.rows.empty() && !result.rows[0].empty();
  SetDlgItemText(res::IDC_HQ_DEPARTMENT_NUM, found ? platform::FromGbk(result.rows[0][0]) : QString());
  FillDeviceChoices();
}

void CHistoryQueryDlg::FillDeviceChoices() {
  if (!db_.LastConnectSucceeded()) return;  // the list stays as it is
  const std::string companyNum = platform::ToGbk(GetDlgItemText(res::IDC_HQ_COMPANY_NUM));
  const std::string departmentNum = platform::ToGbk(GetDlgItemText(res::IDC_HQ_DEPARTMENT_NUM));
  const QString department = Item<QComboBox>(res::IDC_HQ_DEPARTMENT)->currentText();
  const bool wholeCompany = department == QString::fromUtf8(kAllDepartmentsText);
  if (!wholeCompany && (companyNum.empty() || departmentNum.empty())) return;
  deviceList_->DeleteAllItems();
  const DbResult devices = wholeCompany ? catalogue::DevicesOfCompany(db_, companyNum)
                                        : catalogue::DevicesOfDepartment(db_, companyNum, departmentNum);
  std::vector<QStringList> rows;
  for (const DbRow& row : devices.rows) {
    QStringList texts;
    for (int c = 0; c < kDeviceColumnCount; ++c)
      texts << platform::FromGbk(static_cast<std::size_t>(c) < row.size() ? row[static_cast<std::size_t>(c)] : "");
    rows.push_back(std::move(texts));
  }
  deviceList_->Model()->AppendRows(std::move(rows));
}

void CHistoryQueryDlg::AddToQuery(int deviceRow) {
  const QString id = deviceList_->GetItemText(deviceRow, 0);
  // Ids are compared whole: a prefix search would take "A1" for a listed "A10".
  for (int i = 0; i < queryList_->GetItemCount(); ++i) {
    if (queryList_->GetItemText(i, 0) == id) {
      queryList_->selectionModel()->setCurrentIndex(queryList_->Model()->index(i, 0), QItemSelectionModel::NoUpdate);
      return;
    }
  }
  QStringList texts;
  for (int c = 0; c < kDeviceColumnCount; ++c) texts << deviceList_->GetItemText(deviceRow, c);
  queryList_->AppendRow(texts);
}

void CHistoryQueryDlg::AddSelectedToQuery() {
  for (int row : deviceList_->SelectedRows()) AddToQuery(row);
  UpdateQueryCount();
}

void CHistoryQueryDlg::AddAllToQuery() {
  for (int row = 0; row < deviceList_->GetItemCount(); ++row) AddToQuery(row);
  UpdateQueryCount();
}

void CHistoryQueryDlg::RemoveFromQuery() {
  const std::vector<int> rows = queryList_->SelectedRows();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) queryList_->DeleteItem(*it);
  UpdateQueryCount();
}

void CHistoryQueryDlg::ClearQueryList() {
  if (platform::MessageBox(this, QString::fromUtf8(kClearQuestion), QString::fromUtf8(kClearCaption),
                           platform::MB_YESNO) == platform::IDYES)
    queryList_->DeleteAllItems();
  UpdateQueryCount();
}

void CHistoryQueryDlg::UpdateQueryCount() {
  SetDlgItemText(res::IDC_HQ_QUERY_COUNT, QString::asprintf(kQueryCountFormat, queryList_->GetItemCount()));
}

void CHistoryQueryDlg::OnQuery() {
  if (!tablePage_->isHidden()) RunTableQuery();
  if (!curvePage_->isHidden()) {
    curvePage_->SetCurveDate(StartDate());
    curvePage_->LoadCurves();
  }
}

void CHistoryQueryDlg::RunTableQuery() {
  const QDate from = StartDate();
  const QDate to = EndDate();
  tablePage_->PullFilters();
  if (to < from) {
    platform::MessageBox(this, QString::fromUtf8(kDateRangeError));
    return;
  }
  // Sent even when the last connect failed: the statement reconnects once on its own, and a
  // failure must not leave the previous rows and count standing.
  tablePage_->ResultList()->DeleteAllItems();
  const std::vector<std::string> ids = QueryDeviceIds();
  history::QueryProgress progress(this, static_cast<int>(ids.size()));
  lastQuery_ = {ids, from, to, tablePage_->temperatureFilter, tablePage_->humidityFilter};
  const HistoryTableQueryOutcome outcome =
      QueryHistoryIntoRows(db_, tablePage_->Rows(), ids, from, to, tablePage_->temperatureFilter,
                           tablePage_->humidityFilter, [&](int done) { progress.DeviceDone(done); });
  // A failed device fails the whole query: half a result would pass for the full one.
  if (!outcome.ok) tablePage_->ResultList()->DeleteAllItems();
  tablePage_->ShowResultCount(outcome.ok ? static_cast<int>(outcome.rowCount) : 0);
}

std::vector<history::AlarmRecord> CHistoryQueryDlg::AlarmRecordsOfLastQuery() {
  std::vector<history::AlarmRecord> records;
  const LastQuery& q = lastQuery_;
  if (history::NormalisedFilter(q.temperatureFilter) == history::kFilterAny &&
      history::NormalisedFilter(q.humidityFilter) == history::kFilterAny) {
    // Every reading is in the rows shown already.
    records = history::AlarmRecordsOfRows(tablePage_->Rows().Store());
    history::AttachAcknowledgements(db_, records);
  } else if (!history::QueryAlarmRecords(db_, q.deviceIds, q.from, q.to, q.temperatureFilter, q.humidityFilter,
                                         records)) {
    // The filters hide readings the events are found on: those are read again.
    records.clear();
  }
  return records;
}

void CHistoryQueryDlg::OnTabChanged(int index) {
  tablePage_->setVisible(index == 0);
  curvePage_->setVisible(index == 1);
}

std::vector<std::string> CHistoryQueryDlg::QueryDeviceIds() const {
  std::vector<std::string> ids;
  ids.reserve(static_cast<std::size_t>(queryList_->GetItemCount()));
  for (int i = 0; i < queryList_->GetItemCount(); ++i) ids.push_back(platform::ToGbk(queryList_->GetItemText(i, 0)));
  return ids;
}

QDate CHistoryQueryDlg::StartDate() const { return Item<QDateEdit>(res::IDC_HQ_START_DATE)->date(); }
QDate CHistoryQueryDlg::EndDate() const { return Item<QDateEdit>(res::IDC_HQ_END_DATE)->date(); }
