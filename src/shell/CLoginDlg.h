#pragma once
// The login dialog: user name, password and role, checked against user_tab. A successful
// login sets currentUserName and currentUserRole and ends the dialog with OK. Enter logs in
// from any field; Escape does nothing; the close box and "取消" cancel.
#include "DialogBase.h"

class CLoginDlg : public res::DialogBase {
  Q_OBJECT
 public:
  explicit CLoginDlg(QWidget* parent = nullptr);

  // The login procedure of the "登陆" button and the Enter key.
  void OnLogin();

 protected:
  void OnFilteredKey(int key) override;
};
