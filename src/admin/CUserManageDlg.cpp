#include "CUserManageDlg.h"

#include <QLineEdit>
#include <QPushButton>

#include "AdminChanges.h"
#include "Catalogue.h"
#include "ChangeReport.h"
#include "DbSession.h"
#include "FieldRules.h"
#include "Gbk.h"
#include "MessageBox.h"
#include "ReportListView.h"
#include "UserManageTemplate.h"
#include "UserPermissionSearch.h"

using namespace res;

namespace {

constexpr const char* kFindUsersTemplate = "select * from user_tab where user_name like '%%%s%%'";

// Result columns of "select * from user_tab".
constexpr int kNameColumn = 0;
constexpr int kPasswordColumn = 1;
constexpr int kRoleColumn = 2;

// List columns.
constexpr int kListName = 0;
constexpr int kListRole = 1;
constexpr int kListPassword = 2;
constexpr int kListColumnWidth = 100;

const QString kFieldName = QStringLiteral("用户名");
const QString kFieldPassword = QStringLiteral("密码");
const QString kAdministratorText = QStringLiteral("管理员");
const QString kNormalUserText = QStringLiteral("普通用户");
const QString kUndefinedRoleText = QStringLiteral("类型未定义");

const QString kConnectedText = QStringLiteral("数据库已连接");
const QString kNotConnectedText = QStringLiteral("数据库未连接");

const QString kPasswordsDifferText = QStringLiteral("两次输入密码不同,添加失败");
const QString kEmptyFieldsText = QStringLiteral("用户名密码不能为空");

const QString kAddCaption = QStringLiteral("添加");
const QString kAddAsNormalUserQuestion = QStringLiteral("注意，添加新用户的类型是‘普通用户’，确认添加？");
const QString kDeleteUserQuestion = QStringLiteral("确认删除此用户？");

QString RoleText(const std::string& code) {
  if (code == "1") return kAdministratorText;
  if (code == "2") return kNormalUserText;
  return kUndefinedRoleText;
}

std::string Field(const DbRow& row, int column) {
  return column < static_cast<int>(row.size()) ? row[static_cast<std::size_t>(column)] : std::string();
}

}  // namespace

CUserManageDlg::CUserManageDlg(DbSession& db, Actor actingUser, QWidget* parent)
    : DialogBase(kUserManageDialog, parent),
      db_(db),
      actingUser_(std::move(actingUser)),
      list_(Item<ReportListView>(IDC_USER_LIST)) {
  list_->setShowGrid(true);
  list_->InsertColumn(kListName, QStringLiteral("用户名"), kListColumnWidth);
  list_->InsertColumn(kListRole, QStringLiteral("用户类型"), kListColumnWidth);
  list_->InsertColumn(kListPassword, QStringLiteral("密码"), kListColumnWidth);
  SetDlgItemText(IDC_USER_DB_STATE, db_.LastConnectSucceeded() ? kConnectedText : kNotConnectedText);

  connect(list_, &ReportListView::rowClicked, this, &CUserManageDlg::OnListClick);
  connect(Item<QPushButton>(IDC_USER_FIND), &QPushButton::clicked, this, &CUserManageDlg::OnFind);
  connect(Item<QPushButton>(IDC_USER_ADD), &QPushButton::clicked, this, &CUserManageDlg::OnAdd);
  connect(Item<QPushButton>(IDC_USER_DELETE), &QPushButton::clicked, this, &CUserManageDlg::OnDelete);
  connect(Item<QPushButton>(IDC_USER_EXIT), &QPushButton::clicked, this, &QDialog::reject);
  for (int id : {IDC_USER_NAME, IDC_USER_PASSWORD, IDC_USER_PASSWORD_AGAIN}) {
    connect(Item<QLineEdit>(id), &QLineEdit::textChanged, this, [this] { SetStatus(QString()); });
  }

  listQuery_ = catalogue::kAllUsersSql;
  FillUserList(listQuery_);
}

void CUserManageDlg::SetStatus(const QString& text) { SetDlgItemText(IDC_USER_STATUS, text); }

void CUserManageDlg::Report(admin::Change change, const admin::ChangeOutcome& outcome) {
  admin::ReportChange(*this, IDC_USER_STATUS, change, outcome, [this] { FillUserList(listQuery_); });
}

void CUserManageDlg::FillUserList(const std::string& query) {
  if (query.empty() || !db_.LastConnectSucceeded()) return;
  list_->DeleteAllItems();
  DbResult result = db_.Select(query);
  if (!result.ok) return;
  // Every row goes to the top, so the list shows the result in reverse order.
  std::vector<QStringList> rows;
  rows.reserve(result.rows.size());
  for (auto it = result.rows.rbegin(); it != result.rows.rend(); ++it) {
    QStringList texts;
    texts << platform::FromGbk(Field(*it, kNameColumn)) << RoleText(Field(*it, kRoleColumn))
          << platform::FromGbk(Field(*it, kPasswordColumn));
    rows.push_back(std::move(texts));
  }
  list_->Model()->AppendRows(std::move(rows));
}

void CUserManageDlg::OnListClick(int row) {
  if (row < 0) return;
  // The confirmation field stays as it is: an add straight after a click needs it retyped.
  SetDlgItemText(IDC_USER_NAME, list_->GetItemText(row, kListName));
  SetDlgItemText(IDC_USER_PASSWORD, list_->GetItemText(row, kListPassword));
  SetDlgItemText(IDC_USER_TYPE, list_->GetItemText(row, kListRole));
}

void CUserManageDlg::OnFind() {
  const QString key = GetDlgItemText(IDC_USER_FIND_KEY);
  if (!db_.LastConnectSucceeded()) return;
  if (const QString refused = admin::UnsearchableKeyMessage(key); !refused.isEmpty()) {
    SetStatus(refused);
    return;
  }
  list_->DeleteAllItems();
  listQuery_ = key.isEmpty() ? std::string(catalogue::kAllUsersSql)
                             : db_.Format(kFindUsersTemplate, {admin::LikeKeyFromTyped(key)});
  FillUserList(listQuery_);
}

void CUserManageDlg::OnAdd() {
  const std::string name = platform::ToGbk(GetDlgItemText(IDC_USER_NAME));
  const std::string password = platform::ToGbk(GetDlgItemText(IDC_USER_PASSWORD));
  const std::string passwordAgain = platform::ToGbk(GetDlgItemText(IDC_USER_PASSWORD_AGAIN));
  const QString typeShown = GetDlgItemText(IDC_USER_TYPE);

  // The password comparison comes first: it is the message even when the name is empty.
  if (password != passwordAgain) {
    SetStatus(kPasswordsDifferText);
    return;
  }
  if (name.empty() || password.empty() || passwordAgain.empty()) {
    SetStatus(kEmptyFieldsText);
    return;
  }
  // Both passwords were compared as GBK, where two different unsavable characters look alike.
  const QString refused = admin::UnsavableFieldMessage({{kFieldName, GetDlgItemText(IDC_USER_NAME)},
                                                        {kFieldPassword, GetDlgItemText(IDC_USER_PASSWORD)},
                                                        {kFieldPassword, GetDlgItemText(IDC_USER_PASSWORD_AGAIN)}});
  if (!refused.isEmpty()) {
    SetStatus(refused);
    return;
  }
  if (typeShown == kAdministratorText &&
      platform::MessageBox(this, kAddAsNormalUserQuestion, kAddCaption, platform::MB_YESNO) != platform::IDYES) {
    return;
  }
  Report(admin::Change::kAdd, admin::AddUser(db_, actingUser_, name, password));
}

void CUserManageDlg::OnDelete() {
  if (!admin::ConfirmDelete(this, kDeleteUserQuestion)) return;
  // The name field decides, not the list selection.
  const QString typedName = GetDlgItemText(IDC_USER_NAME);
  if (typedName.isEmpty()) return;
  if (const QString refused = admin::UnsavableFieldMessage({{kFieldName, typedName}}); !refused.isEmpty()) {
    SetStatus(refused);  // "kr??" could name another account
    return;
  }
  // The account and its grants go together; a name that matched no row still succeeds.
  Report(admin::Change::kDelete, admin::DeleteUser(db_, actingUser_, platform::ToGbk(typedName)));
}
