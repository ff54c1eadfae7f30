// The user and permission dialogs with demo-like rows.
#include <QPushButton>

#include "CPermissionDlg.h"
#include "CUserManageDlg.h"
#include "PermissionTemplate.h"
#include "ScreenshotDir.h"
#include "ScriptedMessageBoxes.h"
#include "UserManageTemplate.h"
#include "UserPermissionTestSupport.h"

using namespace res;
using namespace user_permission_test;

namespace {

struct ShotsGroup {
  static constexpr const char* kDatabaseName = "t_user_permission_shots";
};

class UserPermissionShots : public ScratchDatabaseTest<ShotsGroup> {
 protected:
  void AddUser(const char* name, int role) {
    db().Exec("insert into user_tab values (" + Lit(name) + ",'pw2024'," + std::to_string(role) + ")");
  }
  static void Press(QWidget* dialog, int id) { QTest::mouseClick(Control<QPushButton>(dialog, id), Qt::LeftButton); }
  ScriptedMessageBoxes boxes_;
};

TEST_F(UserPermissionShots, UserManageDialog) {
  for (const char* name : {"admin", "张工", "李工", "O'Brien"}) AddUser(name, name[0] == 'a' ? 1 : 2);
  CUserManageDlg dlg(Db(), "admin");
  dlg.show();
  ClickRow(Control<ReportListView>(&dlg, IDC_USER_LIST), 1);
  ReplaceText(Control<QLineEdit>(&dlg, IDC_USER_NAME), Q("王工"));
  ReplaceText(Control<QLineEdit>(&dlg, IDC_USER_PASSWORD), "wg");
  ReplaceText(Control<QLineEdit>(&dlg, IDC_USER_PASSWORD_AGAIN), "wg");
  Press(&dlg, IDC_USER_ADD);
  SAVE_SCREENSHOT(dlg, "user_manage_dialog.png");
}

// Two companies with a department of the same name and number in each.
TEST_F(UserPermissionShots, PermissionDialog) {
  db().Exec("insert into company_tab values ('0001'," + Lit("华东公司") + "),('0002'," + Lit("华南公司") + ")");
  db().Exec("insert into department_tab values ('01','0001'," + Lit("研发部") + "),('02','0001'," + Lit("销售部") +
            "),('01','0002'," + Lit("研发部") + ")");
  db().Exec("insert into user_tab values ('alice','p',2),('ad','p',2),('admin','p',1),('bob','p',2)");
  db().Exec(
      "insert into permission_tab values ('alice','0001','01'),('bob','0002','01'),"
      "('ad','0001','02'),('carl','0009','01')");
  CPermissionDlg dlg(Db(), "admin");
  dlg.show();
  Choose(Control<QComboBox>(&dlg, IDC_PERM_FIELD), Q("用户名"));
  ReplaceText(Control<QLineEdit>(&dlg, IDC_PERM_KEY), Q("a"));
  Press(&dlg, IDC_PERM_FIND);
  ClickRow(Control<ReportListView>(&dlg, IDC_PERM_LIST), 0);
  Choose(Control<QComboBox>(&dlg, IDC_PERM_USER), "admin");
  Press(&dlg, IDC_PERM_ADD);
  SAVE_SCREENSHOT(dlg, "permission_dialog.png");
}

}  // namespace
