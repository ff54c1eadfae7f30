// The user permission dialog against the private server.
#include <QPushButton>

#include "CPermissionDlg.h"
#include "DbSessionTestSeam.h"
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
  // number shows up as a wrong row. carl's grant names a company that no longer exists.
  void SeedDemo() {
    db().Exec("insert into company_tab values ('0001'," + Lit("华东公司") + "),('0002'," + Lit("华南公司") + ")");
    db().Exec("insert into department_tab values ('01','0001'," + Lit("研发部") + "),('02','0001'," + Lit("销售部") +
              "),('01','0002'," + Lit("研发部") + ")");
    db().Exec("insert into user_tab values ('alice','p',2),('ad','p',2),('admin','p',1),('bob','p',2)");
    db().Exec(
        "insert into permission_tab values ('alice','0001','01'),('bob','0002','01'),"
        "('ad','0001','02'),('carl','0009','01')");
  }
  QStringList GrantsInDb() {
    QStringList grants;
    for (const DbRow& r : db().Query("select * from permission_tab order by 1,2,3").rows) {
      grants << platform::FromGbk(r[0] + "/" + r[1] + "/" + r[2]);
    }
    return grants;
  }

  QComboBox* Combo(int id) { return Control<QComboBox>(&dlg(), id); }
  QString Text(int id) { return dlg().GetDlgItemText(id); }
  ReportListView* List() { return Control<ReportListView>(&dlg(), IDC_PERM_LIST); }
  void Press(int id) { QTest::mouseClick(Control<QPushButton>(&dlg(), id), Qt::LeftButton); }
  QStringList Search(const char* field, const char* key) {
    if (*field) Choose(Combo(IDC_PERM_FIELD), Q(field));
    ReplaceText(Control<QLineEdit>(&dlg(), IDC_PERM_KEY), Q(key));
    Press(IDC_PERM_FIND);
    QStringList users = ListColumn(List(), 0);
    users.sort();
    return users;
  }
  void ChooseGrant(const char* user, const char* company, const char* department) {
    Choose(Combo(IDC_PERM_USER), Q(user));
    Choose(Combo(IDC_PERM_COMPANY), Q(company));
    Choose(Combo(IDC_PERM_DEPARTMENT), Q(department));
  }
  ScriptedMessageBoxes boxes_;
  DialogOnFirstUse<CPermissionDlg> dlg;
};

TEST_F(PermissionTest, OpensWithTheJoinedGrantsNothingChosenAndSearchesByField) {
  SeedDemo();
  QStringList listed = ListColumn(List(), 0);
  listed.sort();
  EXPECT_EQ(listed, (QStringList{"ad", "alice", "bob"})) << "carl's company is gone";
  const int bob = ListColumn(List(), 0).indexOf("bob");
  EXPECT_EQ(List()->GetItemText(bob, 2), Q("华南公司"));
  EXPECT_EQ(List()->GetItemText(bob, 4), Q("研发部"));
  EXPECT_EQ(ComboEntries(Combo(IDC_PERM_USER)), FirstColumn(db(), "select * from user_tab")) << "result order";
  for (int id : {IDC_PERM_FIELD, IDC_PERM_USER, IDC_PERM_COMPANY}) EXPECT_EQ(Combo(id)->currentIndex(), -1) << id;
  EXPECT_EQ(Text(IDC_PERM_COMPANY_NUM), "");

  EXPECT_EQ(Search("", "alice").size(), 3) << "no field chosen: every grant";
  EXPECT_EQ(Search("用户名", "a"), (QStringList{"ad", "alice"}));
  EXPECT_EQ(Search("用户名", "").size(), 3);
  EXPECT_EQ(Search("公司名称", "华南"), QStringList{"bob"});
  EXPECT_EQ(Search("部门编号", "2"), QStringList{"ad"});
  EXPECT_EQ(Search("部门名称", "研发"), (QStringList{"alice", "bob"}));
  EXPECT_EQ(Search("用户名", "a_").size(), 2) << "_ stays a wildcard";
  EXPECT_TRUE(Search("用户名", "' or '1'='1").isEmpty());
}

TEST_F(PermissionTest, ChoosingFillsTheNumbersAndGrantAddsOnceUnderTheSearch) {
  SeedDemo();
  Search("用户名", "bob");
  ChooseGrant("bob", "华东公司", "销售部");
  EXPECT_EQ(Text(IDC_PERM_COMPANY_NUM), "0001");
  EXPECT_EQ(Text(IDC_PERM_DEPARTMENT_NUM), "02");

  Choose(Combo(IDC_PERM_COMPANY), Q("华南公司"));
  EXPECT_EQ(Text(IDC_PERM_COMPANY_NUM), "0002");
  EXPECT_EQ(ComboEntries(Combo(IDC_PERM_DEPARTMENT)), QStringList{Q("研发部")});
  EXPECT_EQ(Combo(IDC_PERM_DEPARTMENT)->currentIndex(), -1);
  EXPECT_EQ(Text(IDC_PERM_DEPARTMENT_NUM), "");
  Press(IDC_PERM_ADD);  // no department chosen: silently ignored
  EXPECT_EQ(Text(IDC_PERM_STATUS), "");

  ChooseGrant("bob", "华东公司", "研发部");  // same name in both companies
  EXPECT_EQ(Text(IDC_PERM_DEPARTMENT_NUM), "01");
  Press(IDC_PERM_ADD);
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("添加成功！"));
  EXPECT_TRUE(GrantsInDb().contains("bob/0001/01"));
  EXPECT_EQ(ListColumn(List(), 0), (QStringList{"bob", "bob"})) << "the search stays in force";
  Press(IDC_PERM_ADD);
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("添加失败！"));
  Choose(Combo(IDC_PERM_USER), "alice");
  EXPECT_EQ(Text(IDC_PERM_STATUS), "");
  EXPECT_EQ(boxes_.Count(), 0);
}

TEST_F(PermissionTest, AGrantForWhatWasDeletedMeanwhileIsRefusedAndInsertsNothing) {
  SeedDemo();
  // Deleted by another station after the combos were filled; the department's row may outlive its company.
  const struct {
    const char* what;
    std::string deletion, restore;
  } cases[] = {
      {"department", "delete from department_tab where company_num='0001' and department_num='02'",
       "insert into department_tab values ('02','0001'," + Lit("销售部") + ")"},
      {"company", "delete from company_tab where company_num='0001'",
       "insert into company_tab values ('0001'," + Lit("华东公司") + ")"},
      {"user", "delete from user_tab where user_name='bob'", "insert into user_tab values ('bob','p',2)"},
  };
  for (const auto& c : cases) {
    dlg.Reopen();
    ChooseGrant("bob", "华东公司", "销售部");
    ASSERT_EQ(Text(IDC_PERM_COMPANY_NUM) + Text(IDC_PERM_DEPARTMENT_NUM), "000102") << c.what;
    db().Exec(c.deletion);
    const QStringList before = GrantsInDb();
    Press(IDC_PERM_ADD);
    EXPECT_EQ(Text(IDC_PERM_STATUS), Q("添加失败！")) << c.what;
    EXPECT_EQ(GrantsInDb(), before) << c.what;
    db().Exec(c.restore);
  }
}

TEST_F(PermissionTest, ClickingAGrantChoosesExactlyItAndWithdrawRemovesOnlyThatRow) {
  SeedDemo();
  dlg().show();
  ClickRow(List(), ListColumn(List(), 0).indexOf("ad"));
  EXPECT_EQ(Combo(IDC_PERM_USER)->currentText(), "ad") << "not admin, which merely begins with it";
  EXPECT_EQ(Combo(IDC_PERM_COMPANY)->currentText(), Q("华东公司"));
  EXPECT_EQ(Combo(IDC_PERM_DEPARTMENT)->currentText(), Q("销售部"));
  EXPECT_EQ(Text(IDC_PERM_COMPANY_NUM) + Text(IDC_PERM_DEPARTMENT_NUM), "000102");

  boxes_.QueueAnswer(platform::IDNO);
  Press(IDC_PERM_DELETE);
  EXPECT_EQ(boxes_.LastCaption(), Q("删除确认"));
  EXPECT_EQ(boxes_.LastText(), Q("确认删除此设备？"));
  EXPECT_EQ(GrantsInDb().size(), 4);

  Press(IDC_PERM_DELETE);
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("删除成功！"));
  EXPECT_EQ(GrantsInDb(), (QStringList{"alice/0001/01", "bob/0002/01", "carl/0009/01"}));
  EXPECT_EQ(List()->GetItemCount(), 2);
  dlg().SetDlgItemText(IDC_PERM_STATUS, "");
  Press(IDC_PERM_DELETE);  // matches nothing now; still accepted
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("删除成功！"));
}

TEST_F(PermissionTest, TwinCompanyNamesAreToldApartByNumber) {
  SeedDemo();
  db().Exec("update company_tab set company_name=" + Lit("华东公司") + " where company_num='0002'");
  ChooseGrant("alice", "华东公司 (0002)", "研发部");
  EXPECT_EQ(Text(IDC_PERM_COMPANY_NUM), "0002");
  Press(IDC_PERM_ADD);
  EXPECT_TRUE(GrantsInDb().contains("alice/0002/01"));

  ClickRow(List(), ListColumn(List(), 0).indexOf("bob"));
  EXPECT_EQ(Combo(IDC_PERM_COMPANY)->currentText(), Q("华东公司 (0002)"));
}

TEST_F(PermissionTest, QuotesAndGbkTrailBytesTravelAsTyped) {
  // "運誠" is a 4-byte company number and "誠" a 2-byte department number; both end in 0x5C.
  db().Exec("insert into company_tab values (" + Lit("運誠") + "," + Lit("O'Neil \\ 運") + ")");
  db().Exec("insert into department_tab values (" + Lit("誠") + "," + Lit("運誠") + "," + Lit("誠'部") + ")");
  db().Exec("insert into user_tab values (" + Lit("O'Brien") + ",'p',2),(" + Lit("' or '1'='1") + ",'p',2)");
  dlg().show();
  ChooseGrant("O'Brien", "O'Neil \\ 運", "誠'部");
  EXPECT_EQ(Text(IDC_PERM_COMPANY_NUM) + Text(IDC_PERM_DEPARTMENT_NUM), Q("運誠誠"));
  Press(IDC_PERM_ADD);
  Choose(Combo(IDC_PERM_USER), Q("' or '1'='1"));
  Press(IDC_PERM_ADD);
  EXPECT_EQ(GrantsInDb(), (QStringList{Q("' or '1'='1/運誠/誠"), Q("O'Brien/運誠/誠")}));
  EXPECT_EQ(Search("公司名称", "\\ 運").size(), 2);

  ClickRow(List(), ListColumn(List(), 0).indexOf("' or '1'='1"));
  Press(IDC_PERM_DELETE);
  EXPECT_EQ(GrantsInDb(), QStringList{Q("O'Brien/運誠/誠")});
}

TEST_F(PermissionTest, NotConnectedLeavesListsAloneAndStatementsReportFailure) {
  SeedDemo();
  ChooseGrant("bob", "华东公司", "销售部");
  DbSessionTestSeam::ForgetConnectOutcome(Db());  // the flag is 0 while the link still works
  Press(IDC_PERM_ADD);
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("添加成功！"));
  EXPECT_TRUE(GrantsInDb().contains("bob/0001/02"));
  EXPECT_EQ(List()->GetItemCount(), 3);

  ConnectToNowhere();
  Press(IDC_PERM_ADD);
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("添加失败！"));
  Press(IDC_PERM_DELETE);
  EXPECT_EQ(Text(IDC_PERM_STATUS), Q("删除失败！"));
  EXPECT_EQ(List()->GetItemCount(), 3);

  dlg.Reopen();
  EXPECT_EQ(List()->GetItemCount() + Combo(IDC_PERM_USER)->count() + Combo(IDC_PERM_COMPANY)->count(), 0);
}

}  // namespace
