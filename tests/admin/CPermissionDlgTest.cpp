// The user permission dialog against the private server: listing, search, choosing user,
// company and department, grant and withdraw, and what reaches permission_tab.
#include <QLabel>
#include <QPushButton>

#include "CPermissionDlg.h"
#include "PermissionTemplate.h"
#include "ScriptedMessageBoxes.h"
#include "UserPermissionTestSupport.h"

using namespace res;
using namespace user_permission_test;

namespace {

struct PermissionGroup {
  static constexpr const char* kDatabaseName = "t_permission";
};

class PermissionTest : public ScratchDatabaseTest<PermissionGroup> {
 protected:
  // Two companies with a department of the same name and number in each, so a wrong company
  // number shows up as a wrong row.
  void SeedDemo() {
    db().Exec("insert into company_tab values ('0001'," + Lit("华东公司") + "),('0002'," + Lit("华南公司") + ")");
    db().Exec("insert into department_tab values ('01','0001'," + Lit("研发部") + "),('02','0001'," +
              Lit("销售部") + "),('01','0002'," + Lit("研发部") + ")");
    db().Exec("insert into user_tab values ('alice','p',2),('ad','p',2),('admin','p',1),('bob','p',2)");
    // The last grant names a company that no longer exists: it is not listed.
    db().Exec("insert into permission_tab values ('alice','0001','01'),('bob','0002','01'),"
              "('ad','0001','02'),('carl','0009','01')");
  }
  QStringList GrantsInDb() {
    QStringList grants;
    for (const DbRow& r : db().Query("select user_name,company_num,department_num from permission_tab "
                                     "order by user_name,company_num,department_num").rows) {
      grants << platform::FromGbk(r[0] + "/" + r[1] + "/" + r[2]);
    }
    return grants;
  }

  static QComboBox* Combo(CPermissionDlg& dlg, int id) { return Control<QComboBox>(&dlg, id); }
  static QString Text(CPermissionDlg& dlg, int id) { return dlg.GetDlgItemText(id); }
  static ReportListView* List(CPermissionDlg& dlg) { return Control<ReportListView>(&dlg, IDC_PERM_LIST); }
  static void Press(CPermissionDlg& dlg, int id) { QTest::mouseClick(Control<QPushButton>(&dlg, id), Qt::LeftButton); }
  static QStringList Rows(CPermissionDlg& dlg) {
    QStringList rows;
    for (int r = 0; r < List(dlg)->GetItemCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < 5; ++c) cells << List(dlg)->GetItemText(r, c);
      rows << cells.join('|');
    }
    rows.sort();
    return rows;
  }
  static QStringList Search(CPermissionDlg& dlg, const char* field, const char* key) {
    if (*field) Choose(Combo(dlg, IDC_PERM_FIELD), Q(field));
    ReplaceText(Control<QLineEdit>(&dlg, IDC_PERM_KEY), Q(key));
    Press(dlg, IDC_PERM_FIND);
    QStringList users = ListColumn(List(dlg), 0);
    users.sort();
    return users;
  }
  static void ChooseGrant(CPermissionDlg& dlg, const char* user, const char* company, const char* department) {
    Choose(Combo(dlg, IDC_PERM_USER), Q(user));
    Choose(Combo(dlg, IDC_PERM_COMPANY), Q(company));
    Choose(Combo(dlg, IDC_PERM_DEPARTMENT), Q(department));
  }
};

TEST_F(PermissionTest, OpensWithTheJoinedGrantsAndNothingChosen) {
  SeedDemo();
  CPermissionDlg dlg;
  EXPECT_EQ(Rows(dlg), (QStringList{Q("ad|0001|华东公司|02|销售部"), Q("alice|0001|华东公司|01|研发部"),
                                    Q("bob|0002|华南公司|01|研发部")}));
  EXPECT_EQ(ComboEntries(Combo(dlg, IDC_PERM_FIELD)),
            (QStringList{Q("用户名"), Q("公司编号"), Q("公司名称"), Q("部门编号"), Q("部门名称")}));
  EXPECT_EQ(ComboEntries(Combo(dlg, IDC_PERM_USER)),
            FirstColumn(db(), "select * from user_tab")) << "result order, not sorted";
  EXPECT_EQ(ComboEntries(Combo(dlg, IDC_PERM_COMPANY)).size(), 2);
  EXPECT_EQ(Combo(dlg, IDC_PERM_DEPARTMENT)->count(), 0);
  for (int id : {IDC_PERM_FIELD, IDC_PERM_USER, IDC_PERM_COMPANY}) EXPECT_EQ(Combo(dlg, id)->currentIndex(), -1) << id;
  EXPECT_EQ(Text(dlg, IDC_PERM_COMPANY_NUM), "");
  EXPECT_EQ(Text(dlg, IDC_PERM_DEPARTMENT_NUM), "");
  EXPECT_FALSE(dlg.GetDlgItem(IDC_PERM_COMPANY_NUM)->isEnabled());
}

TEST_F(PermissionTest, SearchByFieldWithWildcardsAndNoInjection) {
  SeedDemo();
  CPermissionDlg dlg;
  EXPECT_EQ(Search(dlg, "", "alice").size(), 3) << "no field chosen: every grant";
  EXPECT_EQ(Search(dlg, "用户名", "a"), (QStringList{"ad", "alice"}));
  EXPECT_EQ(Search(dlg, "用户名", "").size(), 3);
  EXPECT_EQ(Search(dlg, "公司名称", "华南"), QStringList{"bob"});
  EXPECT_EQ(Search(dlg, "公司编号", "0001"), (QStringList{"ad", "alice"}));
  EXPECT_EQ(Search(dlg, "部门编号", "2"), QStringList{"ad"});
  EXPECT_EQ(Search(dlg, "部门名称", "研发"), (QStringList{"alice", "bob"}));
  EXPECT_EQ(Search(dlg, "用户名", "a_").size(), 2) << "_ stays a wildcard";
  EXPECT_TRUE(Search(dlg, "用户名", "' or '1'='1").isEmpty());
  EXPECT_EQ(Search(dlg, "用户名", "%").size(), 3);
}

TEST_F(PermissionTest, ChoosingACompanyLoadsItsDepartmentsAndForgetsTheDepartmentNumber) {
  SeedDemo();
  ScriptedMessageBoxes boxes;
  CPermissionDlg dlg;
  ChooseGrant(dlg, "bob", "华东公司", "销售部");
  EXPECT_EQ(Text(dlg, IDC_PERM_COMPANY_NUM), "0001");
  EXPECT_EQ(Text(dlg, IDC_PERM_DEPARTMENT_NUM), "02");

  Choose(Combo(dlg, IDC_PERM_COMPANY), Q("华南公司"));
  EXPECT_EQ(Text(dlg, IDC_PERM_COMPANY_NUM), "0002");
  EXPECT_EQ(ComboEntries(Combo(dlg, IDC_PERM_DEPARTMENT)), QStringList{Q("研发部")});
  EXPECT_EQ(Combo(dlg, IDC_PERM_DEPARTMENT)->currentIndex(), -1);
  EXPECT_EQ(Text(dlg, IDC_PERM_DEPARTMENT_NUM), "");
  Press(dlg, IDC_PERM_ADD);  // no department: silently ignored
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), "");
  EXPECT_EQ(GrantsInDb().size(), 4);

  // Same department name in both companies: the number is the chosen company's.
  Choose(Combo(dlg, IDC_PERM_DEPARTMENT), Q("研发部"));
  EXPECT_EQ(Text(dlg, IDC_PERM_DEPARTMENT_NUM), "01");
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(PermissionTest, GrantAddsTheRowRefreshesTheListAndRefusesADuplicate) {
  SeedDemo();
  CPermissionDlg dlg;
  Search(dlg, "用户名", "bob");
  ChooseGrant(dlg, "bob", "华东公司", "研发部");
  Press(dlg, IDC_PERM_ADD);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("添加成功！"));
  EXPECT_TRUE(GrantsInDb().contains("bob/0001/01"));
  EXPECT_EQ(ListColumn(List(dlg), 0), (QStringList{"bob", "bob"})) << "the search stays in force";

  Press(dlg, IDC_PERM_ADD);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("添加失败！"));
  Choose(Combo(dlg, IDC_PERM_USER), "alice");
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), "") << "choosing a user clears the status line";
}

TEST_F(PermissionTest, ClickingAGrantChoosesExactlyItAndWithdrawRemovesOnlyThatRow) {
  SeedDemo();
  ScriptedMessageBoxes boxes;
  CPermissionDlg dlg;
  dlg.show();
  const int adRow = ListColumn(List(dlg), 0).indexOf("ad");
  ClickRow(List(dlg), adRow);
  EXPECT_EQ(Combo(dlg, IDC_PERM_USER)->currentText(), "ad") << "not the prefix match admin";
  EXPECT_EQ(Combo(dlg, IDC_PERM_COMPANY)->currentText(), Q("华东公司"));
  EXPECT_EQ(Combo(dlg, IDC_PERM_DEPARTMENT)->currentText(), Q("销售部"));
  EXPECT_EQ(ComboEntries(Combo(dlg, IDC_PERM_DEPARTMENT)), (QStringList{Q("研发部"), Q("销售部")}));
  EXPECT_EQ(Text(dlg, IDC_PERM_COMPANY_NUM), "0001");
  EXPECT_EQ(Text(dlg, IDC_PERM_DEPARTMENT_NUM), "02");

  boxes.QueueAnswer(platform::IDNO);
  Press(dlg, IDC_PERM_DELETE);
  EXPECT_EQ(boxes.LastCaption(), Q("删除确认"));
  EXPECT_EQ(boxes.LastText(), Q("确认删除此设备？"));
  EXPECT_EQ(GrantsInDb().size(), 4);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), "");

  boxes.QueueAnswer(platform::IDYES);
  Press(dlg, IDC_PERM_DELETE);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("删除成功！"));
  EXPECT_EQ(GrantsInDb(), (QStringList{"alice/0001/01", "bob/0002/01", "carl/0009/01"}));
  EXPECT_EQ(List(dlg)->GetItemCount(), 2);

  // The same withdrawal again matches nothing; the server accepts it all the same.
  Press(dlg, IDC_PERM_DELETE);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("删除成功！"));
  EXPECT_EQ(GrantsInDb().size(), 3);
}

TEST_F(PermissionTest, QuotesAndGbkTrailBytesTravelAsTyped) {
  // "運誠" is a 4-byte company number and "誠" a 2-byte department number; both end in 0x5C.
  db().Exec("insert into company_tab values (" + Lit("運誠") + "," + Lit("O'Neil \\ 運") + ")");
  db().Exec("insert into department_tab values (" + Lit("誠") + "," + Lit("運誠") + "," + Lit("誠'部") + ")");
  db().Exec("insert into user_tab values (" + Lit("O'Brien") + ",'p',2),(" + Lit("' or '1'='1") + ",'p',2)");
  ScriptedMessageBoxes boxes;
  CPermissionDlg dlg;
  dlg.show();
  ChooseGrant(dlg, "O'Brien", "O'Neil \\ 運", "誠'部");
  EXPECT_EQ(Text(dlg, IDC_PERM_COMPANY_NUM), Q("運誠"));
  EXPECT_EQ(Text(dlg, IDC_PERM_DEPARTMENT_NUM), Q("誠"));
  Press(dlg, IDC_PERM_ADD);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("添加成功！"));
  Choose(Combo(dlg, IDC_PERM_USER), Q("' or '1'='1"));
  Press(dlg, IDC_PERM_ADD);
  EXPECT_EQ(GrantsInDb(), (QStringList{Q("' or '1'='1/運誠/誠"), Q("O'Brien/運誠/誠")}));
  EXPECT_EQ(Rows(dlg).size(), 2);
  EXPECT_EQ(Search(dlg, "公司名称", "\\ 運"), (QStringList{"' or '1'='1", "O'Brien"}));

  ClickRow(List(dlg), ListColumn(List(dlg), 0).indexOf("' or '1'='1"));
  Press(dlg, IDC_PERM_DELETE);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("删除成功！"));
  EXPECT_EQ(GrantsInDb(), QStringList{Q("O'Brien/運誠/誠")});
}

TEST_F(PermissionTest, NotConnectedLeavesListsAloneAndStatementsReportFailure) {
  SeedDemo();
  ScriptedMessageBoxes boxes;
  CPermissionDlg dlg;
  ChooseGrant(dlg, "bob", "华东公司", "销售部");

  // The flag is 0 while the link still works: the grant goes through, the list stays.
  Db().connected = 0;
  Press(dlg, IDC_PERM_ADD);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("添加成功！"));
  EXPECT_TRUE(GrantsInDb().contains("bob/0001/02"));
  EXPECT_EQ(List(dlg)->GetItemCount(), 3);
  Press(dlg, IDC_PERM_FIND);
  EXPECT_EQ(List(dlg)->GetItemCount(), 3);

  ConnectToNowhere();
  Choose(Combo(dlg, IDC_PERM_USER), "alice");
  Press(dlg, IDC_PERM_ADD);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("添加失败！"));
  Press(dlg, IDC_PERM_DELETE);
  EXPECT_EQ(Text(dlg, IDC_PERM_STATUS), Q("删除失败！"));
  EXPECT_EQ(List(dlg)->GetItemCount(), 3);

  CPermissionDlg unloaded;
  EXPECT_EQ(List(unloaded)->GetItemCount(), 0);
  EXPECT_EQ(Combo(unloaded, IDC_PERM_USER)->count(), 0);
  EXPECT_EQ(Combo(unloaded, IDC_PERM_COMPANY)->count(), 0);
}

TEST_F(PermissionTest, ReturnNeitherGrantsNorCloses) {
  SeedDemo();
  CPermissionDlg dlg;
  dlg.show();
  ChooseGrant(dlg, "bob", "华东公司", "销售部");
  auto* key = Control<QLineEdit>(&dlg, IDC_PERM_KEY);
  key->setFocus();
  QTest::keyClick(key, Qt::Key_Return);
  QTest::keyClick(Combo(dlg, IDC_PERM_USER), Qt::Key_Return);
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(GrantsInDb().size(), 4);
  Press(dlg, IDC_PERM_EXIT);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

}  // namespace

namespace {

TEST_F(PermissionTest, ScreenshotWithDemoData) {
  SeedDemo();
  CPermissionDlg dlg;
  dlg.show();
  Search(dlg, "用户名", "a");
  ClickRow(List(dlg), 0);
  Choose(Combo(dlg, IDC_PERM_USER), "admin");
  Press(dlg, IDC_PERM_ADD);
  SAVE_SCREENSHOT_OR_SKIP(dlg, "permission_dialog.png");
}

}  // namespace
