#include "CDepartmentPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "AdminStatusTexts.h"
#include "CompanyDeviceCombos.h"
#include "DbSession.h"
#include "DepartmentPageTemplate.h"
#include "Gbk.h"
#include "MessageBox.h"
#include "ReportListView.h"

namespace {
using namespace res;

constexpr std::size_t kDepartmentNumberBytes = 2;

constexpr const char* kCompanyNamesQuery = "select company_tab.company_name from company_tab";
constexpr const char* kCompanyNumberQuery = "select company_tab.company_num from company_tab where company_name='%s'";
constexpr const char* kDepartmentsQuery =
    "select department_num,department_name from department_tab where company_num='%s'";
constexpr const char* kInsertDepartment =
    "insert into department_tab (department_num,company_num,department_name) values ('%s','%s','%s')";
constexpr const char* kRenameDepartment =
    "update department_tab set department_name='%s' where department_num='%s' and company_num='%s'";
constexpr const char* kDeleteDepartment = "delete  from department_tab where department_num='%s' and company_num='%s'";
// Rows hanging off the department, deleted after it in this order.
constexpr const char* kCascadeDeletes[] = {
    "delete  from device_tab where department_num='%s' and company_num='%s'",
    "delete  from permission_tab where department_num='%s' and company_num='%s'",
};

const QString kNumberRule = QStringLiteral("部门编号必须是2个字符！");
const QString kDeleteQuestion =
    QStringLiteral("确认删除部门？删除此公司部门后将同时删除'设备表','用户权限表'中与此公司部门相关的记录");
}  // namespace

CDepartmentPage::CDepartmentPage(DbSession& db, QWidget* parent)
    : DialogBase(kDepartmentPage, parent, kFilterEnter | kFilterEscape, /*asChildPage=*/true),
      db_(db),
      list_(Item<ReportListView>(IDC_DEPT_LIST)),
      companies_(Item<QComboBox>(IDC_DEPT_COMPANY_COMBO)) {
  admin::FitComboHeights(this);
  list_->SetSingleSelection(true);
  list_->setShowGrid(true);
  list_->InsertColumn(0, QStringLiteral("部门编号"), 100);
  list_->InsertColumn(1, QStringLiteral("部门名称"), 150);

  // `activated` comes from the user only, never from refilling the list.
  connect(companies_, &QComboBox::activated, this, [this] { FillDepartmentList(); });
  connect(list_, &ReportListView::rowClicked, this, &CDepartmentPage::OnListClicked);
  connect(Item<QPushButton>(IDC_DEPT_ADD), &QPushButton::clicked, this, &CDepartmentPage::OnAdd);
  connect(Item<QPushButton>(IDC_DEPT_RENAME), &QPushButton::clicked, this, &CDepartmentPage::OnRename);
  connect(Item<QPushButton>(IDC_DEPT_DELETE), &QPushButton::clicked, this, &CDepartmentPage::OnDelete);
  for (int id : {IDC_DEPT_NUMBER, IDC_DEPT_NAME})
    connect(Item<QLineEdit>(id), &QLineEdit::textChanged, this, [this] { SetStatus({}); });

  LoadCompanyNames();
  if (companies_->count() > 0) companies_->setCurrentIndex(0);
  LookUpCompanyNumber();
  FillDepartmentList();
}

void CDepartmentPage::SetStatus(const QString& text) { SetDlgItemText(IDC_DEPT_STATUS, text); }

void CDepartmentPage::LoadCompanyNames() {
  if (!db_.connected) return;
  admin::RefillCombo(*companies_, db_, kCompanyNamesQuery);
}

void CDepartmentPage::LookUpCompanyNumber() {
  const QString name = companies_->currentText();
  if (name.isEmpty() || !db_.connected) return;
  // No match keeps the previous number; of two companies with one name the first row wins.
  if (auto number = admin::FirstValue(db_, db_.Format(kCompanyNumberQuery, {platform::ToGbk(name)})))
    SetDlgItemText(IDC_DEPT_COMPANY_NUMBER, platform::FromGbk(*number));
}

void CDepartmentPage::FillDepartmentList() {
  LookUpCompanyNumber();
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  if (company.isEmpty() || !db_.connected) return;
  list_->DeleteAllItems();
  const DbResult result = db_.Select(db_.Format(kDepartmentsQuery, {platform::ToGbk(company)}), DbFetch::Use);
  std::vector<QStringList> rows;
  rows.reserve(result.rows.size());
  for (const DbRow& row : result.rows)
    rows.push_back({platform::FromGbk(row.size() > 0 ? row[0] : ""), platform::FromGbk(row.size() > 1 ? row[1] : "")});
  list_->Model()->AppendRows(std::move(rows));
}

void CDepartmentPage::OnListClicked(int row) {
  if (row < 0) return;
  SetDlgItemText(IDC_DEPT_NUMBER, list_->GetItemText(row, 0));
  SetDlgItemText(IDC_DEPT_NAME, list_->GetItemText(row, 1));
}

bool CDepartmentPage::CheckDepartmentNumber(const QString& number) {
  if (platform::GbkByteLength(number) == kDepartmentNumberBytes) return true;
  platform::MessageBox(this, kNumberRule);
  return false;
}

void CDepartmentPage::OnAdd() {
  const QString number = GetDlgItemText(IDC_DEPT_NUMBER);
  const QString name = GetDlgItemText(IDC_DEPT_NAME);
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  if (number.isEmpty() || name.isEmpty() || company.isEmpty()) return;
  if (!CheckDepartmentNumber(number)) return;
  const std::string sql =
      db_.Format(kInsertDepartment, {platform::ToGbk(number), platform::ToGbk(company), platform::ToGbk(name)});
  if (!db_.Execute(sql)) {
    SetStatus(admin::kAddFailedText);
    return;
  }
  FillDepartmentList();
  SetStatus(admin::kAddedText);
}

void CDepartmentPage::OnRename() {
  const QString number = GetDlgItemText(IDC_DEPT_NUMBER);
  const QString name = GetDlgItemText(IDC_DEPT_NAME);
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  if (number.isEmpty() || name.isEmpty()) return;
  if (!CheckDepartmentNumber(number)) return;
  const std::string sql =
      db_.Format(kRenameDepartment, {platform::ToGbk(name), platform::ToGbk(number), platform::ToGbk(company)});
  if (!db_.Execute(sql)) {
    SetStatus(admin::kRenameFailedText);
    return;
  }
  FillDepartmentList();
  SetStatus(admin::kRenamedText);
}

void CDepartmentPage::OnDelete() {
  if (platform::MessageBox(this, kDeleteQuestion, admin::kDeleteCaptionText, platform::MB_YESNO) != platform::IDYES) return;
  const QString number = GetDlgItemText(IDC_DEPT_NUMBER);
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  if (number.isEmpty() || company.isEmpty()) return;
  if (!CheckDepartmentNumber(number)) return;
  const std::string gbkNumber = platform::ToGbk(number);
  const std::string gbkCompany = platform::ToGbk(company);
  // A refused department delete must leave its devices and grants alone.
  if (!db_.Execute(db_.Format(kDeleteDepartment, {gbkNumber, gbkCompany}))) {
    SetStatus(admin::kDeleteFailedText);
    return;
  }
  for (const char* cascade : kCascadeDeletes) db_.Execute(db_.Format(cascade, {gbkNumber, gbkCompany}));
  FillDepartmentList();
  SetStatus(admin::kDeletedText);
}
