#include "CPermissionDlg.h"

#include <QComboBox>
#include <QPushButton>

#include "AdminChanges.h"
#include "Catalogue.h"
#include "ChangeReport.h"
#include "CompanyCombo.h"
#include "CompanyDeviceCombos.h"
#include "DbSession.h"
#include "FieldRules.h"
#include "Gbk.h"
#include "PermissionTemplate.h"
#include "ReportListView.h"
#include "UserPermissionSearch.h"

using namespace res;

namespace {

constexpr const char* kPermissionListQuery =
    "select permission_tab.user_name,permission_tab.company_num,company_tab.company_name,"
    "permission_tab.department_num,department_tab.department_name\t\t\t\tfrom permission_tab,company_tab,"
    "department_tab \t\t\t\twhere permission_tab.company_num=company_tab.company_num \t\t\t\tand "
    "permission_tab.company_num=department_tab.company_num \t\t\t\tand "
    "permission_tab.department_num=department_tab.department_num";
// Appended after " and " + column.
constexpr const char* kLikeKeyTemplate = " like '%%%s%%'";

struct SearchField {
  const char* item;    // entry of the search field combo
  const char* column;  // column the key is matched against
};
constexpr SearchField kSearchFields[] = {
    {"用户名", "permission_tab.user_name"},         {"公司编号", "permission_tab.company_num"},
    {"公司名称", "company_tab.company_name"},       {"部门编号", "permission_tab.department_num"},
    {"部门名称", "department_tab.department_name"},
};

struct ListColumn {
  const char* title;
  int width;
};
// Filled from result columns 0 to 4 in the same order.
constexpr ListColumn kListColumns[] = {
    {"用户名", 100}, {"公司编号", 80}, {"公司名称", 150}, {"部门编号", 80}, {"部门名称", 150},
};
constexpr int kListUser = 0;
constexpr int kListCompanyNum = 1;
constexpr int kListDepartmentNum = 3;
constexpr int kListDepartmentName = 4;

const QString kWithdrawQuestion = QStringLiteral("确认删除此设备？");

// Shows the entry named exactly `name`. A mere prefix match could show another user (say
// "admin" for "ad"), and grant and withdraw take the user from this combo. The server compares
// names without regard to case, so a case-blind match is the fallback. No match: no selection.
void SelectEntryNamed(QComboBox* combo, const QString& name) {
  int index = combo->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (index < 0) index = combo->findText(name, Qt::MatchFixedString);
  combo->setCurrentIndex(index);
}

}  // namespace

CPermissionDlg::CPermissionDlg(DbSession& db, Actor actingUser, QWidget* parent)
    : DialogBase(kPermissionDialog, parent),
      db_(db),
      actingUser_(std::move(actingUser)),
      userCombo_(Item<QComboBox>(IDC_PERM_USER)),
      companyCombo_(Item<QComboBox>(IDC_PERM_COMPANY)),
      departmentCombo_(Item<QComboBox>(IDC_PERM_DEPARTMENT)),
      list_(Item<ReportListView>(IDC_PERM_LIST)) {
  list_->setShowGrid(true);
  for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
    list_->InsertColumn(i, QString::fromUtf8(kListColumns[i].title), kListColumns[i].width);
  }
  auto* fieldCombo = Item<QComboBox>(IDC_PERM_FIELD);
  for (const SearchField& field : kSearchFields) fieldCombo->addItem(QString::fromUtf8(field.item));
  fieldCombo->setCurrentIndex(-1);

  connect(Item<QPushButton>(IDC_PERM_FIND), &QPushButton::clicked, this, &CPermissionDlg::OnFind);
  connect(list_, &ReportListView::rowClicked, this, &CPermissionDlg::OnListClick);
  // "activated" is the user's choice only, like a selection-change notification; selections
  // made by the dialog itself do not trigger these handlers.
  connect(companyCombo_, &QComboBox::activated, this, &CPermissionDlg::OnCompanyChosen);
  connect(departmentCombo_, &QComboBox::activated, this, &CPermissionDlg::OnDepartmentChosen);
  connect(userCombo_, &QComboBox::activated, this, [this] { SetStatus(QString()); });
  connect(Item<QPushButton>(IDC_PERM_ADD), &QPushButton::clicked, this, &CPermissionDlg::OnGrant);
  connect(Item<QPushButton>(IDC_PERM_DELETE), &QPushButton::clicked, this, &CPermissionDlg::OnWithdraw);
  connect(Item<QPushButton>(IDC_PERM_EXIT), &QPushButton::clicked, this, &QDialog::reject);

  listQuery_ = kPermissionListQuery;
  FillPermissionList(listQuery_);
  LoadCompanyNames();
  LoadUserNames();
  // Nothing is chosen at start (a combo would otherwise show its first entry).
  companyCombo_->setCurrentIndex(-1);
  userCombo_->setCurrentIndex(-1);
}

void CPermissionDlg::SetStatus(const QString& text) { SetDlgItemText(IDC_PERM_STATUS, text); }

void CPermissionDlg::Report(admin::Change change, const admin::ChangeOutcome& outcome) {
  admin::ReportChange(*this, IDC_PERM_STATUS, change, outcome, [this] { FillPermissionList(listQuery_); });
}

void CPermissionDlg::FillPermissionList(const std::string& query) {
  if (!db_.LastConnectSucceeded()) return;
  list_->DeleteAllItems();
  if (query.empty()) return;
  DbResult result = db_.Select(query);
  if (!result.ok) return;
  std::vector<QStringList> rows;
  rows.reserve(result.rows.size());
  for (const DbRow& row : result.rows) {
    QStringList texts;
    for (std::size_t column = 0; column < std::size(kListColumns); ++column) {
      texts << (column < row.size() ? platform::FromGbk(row[column]) : QString());
    }
    rows.push_back(std::move(texts));
  }
  list_->Model()->AppendRows(std::move(rows));
}

void CPermissionDlg::LoadCompanyNames() {
  if (!db_.LastConnectSucceeded()) return;
  admin::LoadCompanyCombo(*companyCombo_, db_);
}

void CPermissionDlg::LoadUserNames() {
  if (!db_.LastConnectSucceeded()) return;
  // Added in result order although the combo is a sorted one.
  admin::RefillCombo(*userCombo_, catalogue::Users(db_));
}

void CPermissionDlg::LoadDepartmentNames() {
  if (db_.LastConnectSucceeded()) {
    departmentCombo_->clear();
    // The department number belongs to the departments just dropped: never keep it for
    // another company's number.
    SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, QString());
    const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
    if (companyNum.empty()) return;
    if (!admin::RefillCombo(*departmentCombo_, catalogue::DepartmentNames(db_, companyNum))) return;
  }
  if (departmentCombo_->count() > 0) departmentCombo_->setCurrentIndex(-1);
  SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, QString());
}

void CPermissionDlg::OnFind() {
  const QString fieldItem = GetDlgItemText(IDC_PERM_FIELD);
  const char* column = nullptr;
  for (const SearchField& field : kSearchFields) {
    if (fieldItem == QString::fromUtf8(field.item)) column = field.column;
  }
  const QString key = GetDlgItemText(IDC_PERM_KEY);
  if (const QString refused = admin::UnsearchableKeyMessage(key); !refused.isEmpty()) {
    SetStatus(refused);
    return;
  }
  listQuery_ = kPermissionListQuery;
  if (column && !key.isEmpty()) {
    listQuery_ += std::string(" and ") + column + db_.Format(kLikeKeyTemplate, {admin::LikeKeyFromTyped(key)});
  }
  FillPermissionList(listQuery_);
}

void CPermissionDlg::OnListClick(int row) {
  if (row < 0) return;
  SelectEntryNamed(userCombo_, list_->GetItemText(row, kListUser));
  SetDlgItemText(IDC_PERM_COMPANY_NUM, list_->GetItemText(row, kListCompanyNum));
  // By number: two companies may share a name.
  if (res::SelectCompanyByNumber(*companyCombo_, list_->GetItemText(row, kListCompanyNum)) < 0)
    companyCombo_->setCurrentIndex(-1);
  LoadDepartmentNames();
  SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, list_->GetItemText(row, kListDepartmentNum));
  SelectEntryNamed(departmentCombo_, list_->GetItemText(row, kListDepartmentName));
}

void CPermissionDlg::OnCompanyChosen() {
  SetStatus(QString());
  if (db_.LastConnectSucceeded()) {
    // The entry carries its company's number: no lookup by name, which twins would confuse.
    const QString number = res::CompanyNumberAt(*companyCombo_, companyCombo_->currentIndex());
    if (number.isEmpty()) return;
    SetDlgItemText(IDC_PERM_COMPANY_NUM, number);
  }
  LoadDepartmentNames();
}

void CPermissionDlg::OnDepartmentChosen() {
  SetStatus(QString());
  if (!db_.LastConnectSucceeded()) return;
  const std::string departmentName = platform::ToGbk(departmentCombo_->currentText());
  const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
  if (departmentName.empty()) return;
  if (const auto number = admin::FirstValue(catalogue::DepartmentNumbersNamed(db_, departmentName, companyNum)))
    SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, platform::FromGbk(*number));
}

void CPermissionDlg::OnGrant() {
  const std::string user = platform::ToGbk(userCombo_->currentText());
  const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
  const std::string departmentNum = platform::ToGbk(GetDlgItemText(IDC_PERM_DEPARTMENT_NUM));
  if (user.empty() || companyNum.empty() || departmentNum.empty()) return;
  // Refused when the user, the company or the department was deleted since the combos were filled.
  Report(admin::Change::kAdd, admin::GrantPermission(db_, actingUser_, {user, companyNum, departmentNum}));
}

void CPermissionDlg::OnWithdraw() {
  if (!admin::ConfirmDelete(this, kWithdrawQuestion)) return;
  const std::string user = platform::ToGbk(userCombo_->currentText());
  const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
  const std::string departmentNum = platform::ToGbk(GetDlgItemText(IDC_PERM_DEPARTMENT_NUM));
  if (user.empty() || companyNum.empty() || departmentNum.empty()) return;
  // A withdrawal that matched no row is still accepted by the server, and reported as such.
  Report(admin::Change::kDelete, admin::RevokePermission(db_, actingUser_, {user, companyNum, departmentNum}));
}
