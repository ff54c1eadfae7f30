#include "CPermissionDlg.h"

#include <QComboBox>
#include <QPushButton>

#include "AdminStatusTexts.h"
#include "CompanyDeviceCombos.h"
#include "DbSession.h"
#include "FieldRules.h"
#include "Gbk.h"
#include "MessageBox.h"
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
constexpr const char* kUserNamesQuery = "select * from user_tab";
constexpr const char* kDepartmentNamesTemplate =
    "select department_tab.department_name from department_tab where department_tab.company_num ='%s'";
constexpr const char* kDepartmentNumberTemplate =
    "select department_tab.department_num from department_tab where department_name ='%s' and company_num='%s'";
constexpr const char* kGrantTemplate =
    "insert into permission_tab (user_name,company_num,department_num) values('%s','%s','%s')";
constexpr const char* kWithdrawTemplate =
    "delete  from permission_tab where user_name='%s' and company_num='%s' and department_num='%s'";

struct SearchField {
  const char* item;    // entry of the search field combo
  const char* column;  // column the key is matched against
};
constexpr SearchField kSearchFields[] = {
    {"用户名", "permission_tab.user_name"},
    {"公司编号", "permission_tab.company_num"},
    {"公司名称", "company_tab.company_name"},
    {"部门编号", "permission_tab.department_num"},
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

std::string FirstColumnOfFirstRow(const DbResult& result) {
  if (result.rows.empty() || result.rows.front().empty()) return {};
  return result.rows.front().front();
}

void AddFirstColumns(QComboBox* combo, const DbResult& result) {
  for (const DbRow& row : result.rows) {
    if (!row.empty()) combo->addItem(platform::FromGbk(row.front()));
  }
}

// Shows the entry named exactly `name`. A mere prefix match could show another user (say
// "admin" for "ad"), and grant and withdraw take the user from this combo. The server compares
// names without regard to case, so a case-blind match is the fallback. No match: no selection.
void SelectEntryNamed(QComboBox* combo, const QString& name) {
  int index = combo->findText(name, Qt::MatchFixedString | Qt::MatchCaseSensitive);
  if (index < 0) index = combo->findText(name, Qt::MatchFixedString);
  combo->setCurrentIndex(index);
}

}  // namespace

CPermissionDlg::CPermissionDlg(QWidget* parent)
    : DialogBase(kPermissionDialog, parent),
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

void CPermissionDlg::FillPermissionList(const std::string& query) {
  if (!Db().connected) return;
  list_->DeleteAllItems();
  if (query.empty()) return;
  DbResult result = Db().Select(query, DbFetch::Use);
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
  if (!Db().connected) return;
  admin::LoadCompanyCombo(*companyCombo_, Db());
}

void CPermissionDlg::LoadUserNames() {
  if (!Db().connected) return;
  userCombo_->clear();
  // Added in result order although the combo is a sorted one.
  AddFirstColumns(userCombo_, Db().Select(kUserNamesQuery, DbFetch::Use));
}

void CPermissionDlg::LoadDepartmentNames() {
  if (Db().connected) {
    departmentCombo_->clear();
    // The department number belongs to the departments just dropped: never keep it for
    // another company's number.
    SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, QString());
    const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
    if (companyNum.empty()) return;
    const DbResult result = Db().Select(Db().Format(kDepartmentNamesTemplate, {companyNum}), DbFetch::Use);
    if (!result.ok) return;
    AddFirstColumns(departmentCombo_, result);
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
    listQuery_ += std::string(" and ") + column + Db().Format(kLikeKeyTemplate, {admin::LikeKeyFromTyped(key)});
  }
  FillPermissionList(listQuery_);
}

void CPermissionDlg::OnListClick(int row) {
  if (row < 0) return;
  SelectEntryNamed(userCombo_, list_->GetItemText(row, kListUser));
  SetDlgItemText(IDC_PERM_COMPANY_NUM, list_->GetItemText(row, kListCompanyNum));
  // By number: two companies may share a name.
  if (admin::SelectCompanyByNumber(*companyCombo_, list_->GetItemText(row, kListCompanyNum)) < 0)
    companyCombo_->setCurrentIndex(-1);
  LoadDepartmentNames();
  SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, list_->GetItemText(row, kListDepartmentNum));
  SelectEntryNamed(departmentCombo_, list_->GetItemText(row, kListDepartmentName));
}

void CPermissionDlg::OnCompanyChosen() {
  SetStatus(QString());
  if (Db().connected) {
    // The entry carries its company's number: no lookup by name, which twins would confuse.
    const QString number = admin::CompanyNumberAt(*companyCombo_, companyCombo_->currentIndex());
    if (number.isEmpty()) return;
    SetDlgItemText(IDC_PERM_COMPANY_NUM, number);
  }
  LoadDepartmentNames();
}

void CPermissionDlg::OnDepartmentChosen() {
  SetStatus(QString());
  if (!Db().connected) return;
  const std::string departmentName = platform::ToGbk(departmentCombo_->currentText());
  const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
  if (departmentName.empty()) return;
  const DbResult result =
      Db().Select(Db().Format(kDepartmentNumberTemplate, {departmentName, companyNum}), DbFetch::Use);
  if (!result.rows.empty()) SetDlgItemText(IDC_PERM_DEPARTMENT_NUM, platform::FromGbk(FirstColumnOfFirstRow(result)));
}

void CPermissionDlg::OnGrant() {
  const std::string user = platform::ToGbk(userCombo_->currentText());
  const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
  const std::string departmentNum = platform::ToGbk(GetDlgItemText(IDC_PERM_DEPARTMENT_NUM));
  if (user.empty() || companyNum.empty() || departmentNum.empty()) return;
  if (!Db().Execute(Db().Format(kGrantTemplate, {user, companyNum, departmentNum}))) {
    SetStatus(admin::kAddFailedText);
    return;
  }
  FillPermissionList(listQuery_);
  SetStatus(admin::kAddedText);
}

void CPermissionDlg::OnWithdraw() {
  if (platform::MessageBox(this, kWithdrawQuestion, admin::kDeleteCaptionText, platform::MB_YESNO) != platform::IDYES) return;
  const std::string user = platform::ToGbk(userCombo_->currentText());
  const std::string companyNum = platform::ToGbk(GetDlgItemText(IDC_PERM_COMPANY_NUM));
  const std::string departmentNum = platform::ToGbk(GetDlgItemText(IDC_PERM_DEPARTMENT_NUM));
  if (user.empty() || companyNum.empty() || departmentNum.empty()) return;
  if (!Db().Execute(Db().Format(kWithdrawTemplate, {user, companyNum, departmentNum}))) {
    SetStatus(admin::kDeleteFailedText);
    return;
  }
  // A withdrawal that matched no row is still accepted by the server, and reported as such.
  FillPermissionList(listQuery_);
  SetStatus(admin::kDeletedText);
}
