#pragma once
// The login dialog: user name, password and role, checked against user_tab. A successful
// login ends the dialog with OK and is kept as LoggedIn(). Enter logs in
// from any field; Escape does nothing; the close box and "取消" cancel.
#include <optional>

#include "DialogBase.h"
#include "LoginState.h"

class CLoginDlg : public res::DialogBase {
  Q_OBJECT
 public:
  explicit CLoginDlg(QWidget* parent = nullptr);

  // The login procedure of the "登陆" button and the Enter key.
  void OnLogin();
  // The accepted login; an empty one (role kRoleNone) until a login succeeds.
  const Login& LoggedIn() const { return login_; }
  // Whether the database keeps the audit trail (asked at the first answered attempt).
  bool AuditTrail() const { return auditTrail_.value_or(false); }

 protected:
  void OnFilteredKey(int key) override;

 private:
  Login login_;
  std::optional<bool> auditTrail_;
};
