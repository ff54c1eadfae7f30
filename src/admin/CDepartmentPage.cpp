#include "CDepartmentPage.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "AdminChanges.h"
#include "Catalogue.h"
#include "CompanyCombo.h"
#include "CompanyDeviceCombos.h"
#include "DbSession.h"
#include "DepartmentPageTemplate.h"
#include "Gbk.h"
#include "RecordForm.h"
#include "ReportListView.h"

namespace {
using namespace res;

const QString kFieldNumber = QStringLiteral("部门编号");
const QString kFieldName = QStringLiteral("部门名称");
const admin::NumberRule kNumberRule{kFieldNumber, 2, QStringLiteral("部门编号必须是2个字符！")};
const QString kDeleteQuestion =
    QStringLiteral("确认删除部门？删除此公司部门后将同时删除'设备表','用户权限表'中与此公司部门相关的记录");
}  // namespace

CDepartmentPage::CDepartmentPage(DbSession& db, Actor actingUser, QWidget* parent)
    : DialogBase(kDepartmentPage, parent, kFilterEnter | kFilterEscape, /*asChildPage=*/true),
      db_(db),
      actingUser_(std::move(actingUser)),
      list_(Item<ReportListView>(IDC_DEPT_LIST)),
      form_(*this, {IDC_DEPT_NUMBER, IDC_DEPT_NAME, IDC_DEPT_STATUS}, kNumberRule, kFieldName,
            [this] { FillDepartmentList(); }),
      companies_(Item<QComboBox>(IDC_DEPT_COMPANY_COMBO)) {
  list_->SetSingleSelection(true);
  list_->setShowGrid(true);
  list_->InsertColumn(0, kFieldNumber, 100);
  list_->InsertColumn(1, kFieldName, 150);

  // `activated` comes from the user only, never from refilling the list.
  connect(companies_, &QComboBox::activated, this, [this] { FillDepartmentList(); });
  connect(list_, &ReportListView::rowClicked, this, [this](int row) { form_.ShowListRow(*list_, row); });
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
  if (!db_.LastConnectSucceeded()) return;
  admin::LoadCompanyCombo(*companies_, db_);
}

void CDepartmentPage::LookUpCompanyNumber() {
  const int index = companies_->currentIndex();
  if (index < 0 || !db_.LastConnectSucceeded()) return;
  // Entries carry their company's number, so of two companies with one name the chosen one wins.
  SetDlgItemText(IDC_DEPT_COMPANY_NUMBER, res::CompanyNumberAt(*companies_, index));
  companyName_ = res::CompanyNameAt(*companies_, index);
}

void CDepartmentPage::ForgetCompany() {
  SetDlgItemText(IDC_DEPT_COMPANY_NUMBER, {});
  companyName_.clear();
  list_->DeleteAllItems();
  LoadCompanyNames();
}

void CDepartmentPage::FillDepartmentList() {
  LookUpCompanyNumber();
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  if (company.isEmpty() || !db_.LastConnectSucceeded()) return;
  const std::string gbkCompany = platform::ToGbk(company);
  // Whether the company is still there under the name it was chosen by.
  const DbResult named = catalogue::CompanyName(db_, gbkCompany);
  const auto name = admin::FirstValue(named);
  if (named.ok && (!name || platform::FromGbk(*name) != companyName_)) {
    // Deleted or renamed since it was chosen: the page must not go on adding to it.
    ForgetCompany();
    return;
  }
  list_->DeleteAllItems();
  const DbResult result = catalogue::Departments(db_, gbkCompany);
  std::vector<QStringList> rows;
  rows.reserve(result.rows.size());
  for (const DbRow& row : result.rows)
    rows.push_back({platform::FromGbk(row.size() > 0 ? row[0] : ""), platform::FromGbk(row.size() > 1 ? row[1] : "")});
  list_->Model()->AppendRows(std::move(rows));
}

void CDepartmentPage::OnAdd() {
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  const auto typed = form_.Take(/*nameRequired=*/true, !company.isEmpty());
  if (!typed) return;
  // Refused when the company is gone.
  const admin::ChangeOutcome added = admin::AddDepartment(
      db_, actingUser_, {platform::ToGbk(company), platform::ToGbk(typed->number)}, platform::ToGbk(typed->name));
  form_.Report(admin::Change::kAdd, added);
  if (!added.Succeeded()) FillDepartmentList();  // forgets the company if it is gone
}

void CDepartmentPage::OnRename() {
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  const auto typed = form_.Take(/*nameRequired=*/true);
  if (!typed) return;
  form_.Report(admin::Change::kRename,
               admin::RenameDepartment(db_, actingUser_, {platform::ToGbk(company), platform::ToGbk(typed->number)},
                                       platform::ToGbk(typed->name)));
}

void CDepartmentPage::OnDelete() {
  if (!admin::ConfirmDelete(this, kDeleteQuestion)) return;
  const QString company = GetDlgItemText(IDC_DEPT_COMPANY_NUMBER);
  const auto number = form_.TakeNumber(!company.isEmpty());
  if (!number) return;
  // A refused statement anywhere leaves the department and its rows in place.
  form_.Report(admin::Change::kDelete,
               admin::DeleteDepartment(db_, actingUser_, {platform::ToGbk(company), platform::ToGbk(*number)}));
}
