#include "CLoginDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "AuditTrail.h"
#include "Diagnostic.h"
#include "Gbk.h"
#include "LoginCheck.h"
#include "LoginDialogTemplate.h"
#include "LoginState.h"
#include "StationDb.h"

namespace {

const QString kRoleNormalText = QStringLiteral("普通用户");
const QString kRoleAdminText = QStringLiteral("管理员");
const QString kDbConnectedText = QStringLiteral("数据库已成功连接!");
const QString kDbUnreachableAtStartText = QStringLiteral("数据库连接失败,请重新设置数据库参数并重起!");
const QString kDbUnreachableText = QStringLiteral("数据库连接失败!");
const QString kWrongCredentialsText = QStringLiteral("用户名或密码错误!");
const QString kUnknownNameCharsText = QStringLiteral("用户名含有无法识别的字符");
const QString kUnknownPasswordCharsText = QStringLiteral("密码含有无法识别的字符");

}  // namespace

CLoginDlg::CLoginDlg(QWidget* parent) : res::DialogBase(res::kLoginDialog, parent, kFilterEnter | kFilterEscape) {
  if (auto* role = Item<QComboBox>(res::IDC_LOGIN_ROLE)) {
    role->addItems({kRoleNormalText, kRoleAdminText});
    role->setCurrentIndex(0);
    // The template's height is the drop-down's; the closed box keeps the edits' height.
    if (auto* user = Item<QLineEdit>(res::IDC_LOGIN_USER))
      role->setGeometry(role->x(), role->y(), role->width(), std::max(user->height(), role->sizeHint().height()));
  }
  if (auto* ok = Item<QPushButton>(res::IDC_LOGIN_OK)) connect(ok, &QPushButton::clicked, this, &CLoginDlg::OnLogin);
  if (auto* cancel = Item<QPushButton>(res::IDC_LOGIN_CANCEL))
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  SetDlgItemText(res::IDC_LOGIN_STATUS, Db().Ping() == 0 ? kDbConnectedText : kDbUnreachableAtStartText);
}

void CLoginDlg::OnFilteredKey(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) OnLogin();
  // Escape: swallowed without action, so it never closes the dialog.
}

void CLoginDlg::OnLogin() {
  // A character without a GBK form would reach the server as "?" and could match another account.
  if (!platform::GbkCanHold(GetDlgItemText(res::IDC_LOGIN_USER))) {
    SetDlgItemText(res::IDC_LOGIN_STATUS, kUnknownNameCharsText);
    return;
  }
  if (!platform::GbkCanHold(GetDlgItemText(res::IDC_LOGIN_PASSWORD))) {
    SetDlgItemText(res::IDC_LOGIN_STATUS, kUnknownPasswordCharsText);
    return;
  }
  const std::string name = platform::ToGbk(GetDlgItemText(res::IDC_LOGIN_USER));
  const std::string password = platform::ToGbk(GetDlgItemText(res::IDC_LOGIN_PASSWORD));
  const int role = GetDlgItemText(res::IDC_LOGIN_ROLE) == kRoleAdminText ? kRoleAdministrator : kRoleNormalUser;

  const LoginCheckResult result = CheckLogin(Db(), name, password, role);
  if (result == LoginCheckResult::kAccepted || result == LoginCheckResult::kRefused) {
    // Asked once, on the first attempt the server answered.
    if (!auditTrail_) auditTrail_ = AuditTablesPresent(Db());
    const bool accepted = result == LoginCheckResult::kAccepted;
    const Actor who{name, StationHostName(), *auditTrail_};
    // A login whose record failed still goes ahead: the trail must not lock the operators out.
    if (!RecordAudit(Db(), who, accepted ? AuditAction::kLoginAccepted : AuditAction::kLoginRefused, name, {},
                     std::to_string(role)))
      platform::Diagnostic("登录记录未能写入审计表");
  }
  switch (result) {
    case LoginCheckResult::kAccepted: break;
    case LoginCheckResult::kDatabaseUnreachable: SetDlgItemText(res::IDC_LOGIN_STATUS, kDbUnreachableText); return;
    case LoginCheckResult::kRefused: SetDlgItemText(res::IDC_LOGIN_STATUS, kWrongCredentialsText); return;
    case LoginCheckResult::kQueryFailed: return;  // nothing is reported
  }
  login_ = {name, role};
  accept();
}
