// The user management dialog against the private server.
#include <QLabel>
#include <QPushButton>

#include "CUserManageDlg.h"
#include "DbSessionTestSeam.h"
#include "ScriptedMessageBoxes.h"
#include "UserManageTemplate.h"
#include "UserPermissionTestSupport.h"

using namespace res;
using namespace user_permission_test;

namespace {

struct UserGroup {
  static constexpr const char* kDatabaseName = "t_user_manage";
};

class UserManageTest : public ScratchDatabaseTest<UserGroup> {
 protected:
  void AddUserRow(const char* name, const char* password, int role) {
    db().Exec("insert into user_tab values (" + Lit(name) + "," + Lit(password) + "," + std::to_string(role) + ")");
  }
  QStringList UserNamesInDb() { return FirstColumn(db(), "select user_name from user_tab order by user_name"); }

  QLineEdit* Edit(int id) { return Control<QLineEdit>(&dlg(), id); }
  QString Status() { return dlg().GetDlgItemText(IDC_USER_STATUS); }
  ReportListView* List() { return Control<ReportListView>(&dlg(), IDC_USER_LIST); }
  void Press(int id) { QTest::mouseClick(Control<QPushButton>(&dlg(), id), Qt::LeftButton); }
  void FillAddFields(const QString& name, const QString& password, const QString& again) {
    ReplaceText(Edit(IDC_USER_NAME), name);
    ReplaceText(Edit(IDC_USER_PASSWORD), password);
    ReplaceText(Edit(IDC_USER_PASSWORD_AGAIN), again);
  }
  QStringList Find(const char* key) {
    ReplaceText(Edit(IDC_USER_FIND_KEY), Q(key));
    Press(IDC_USER_FIND);
    QStringList names = ListColumn(List(), 0);
    names.sort();
    return names;
  }
  ScriptedMessageBoxes boxes_;
  DialogOnFirstUse<CUserManageDlg> dlg;
};

TEST_F(UserManageTest, ListIsTheResultReversedWithRoleTextsAndSearchMatchesSubstrings) {
  AddUserRow("alice", "a1", 1);
  AddUserRow("bob", "b2", 2);
  AddUserRow("carol", "c3", 0);
  for (const char* name : {"admin", "a_b", "a\\b", "ab", "運誠"}) AddUserRow(name, "p", 2);
  QStringList reversed;
  for (const DbRow& row : db().Query("select * from user_tab").rows) reversed.prepend(platform::FromGbk(row[0]));
  EXPECT_EQ(ListColumn(List(), 0), reversed);
  const auto row = [&](const char* name) { return reversed.indexOf(Q(name)); };
  EXPECT_EQ(List()->GetItemText(row("alice"), 1), Q("管理员"));
  EXPECT_EQ(List()->GetItemText(row("bob"), 1), Q("普通用户"));
  EXPECT_EQ(List()->GetItemText(row("carol"), 1), Q("类型未定义"));
  EXPECT_EQ(List()->GetItemText(row("carol"), 2), "c3");
  EXPECT_EQ(dlg().GetDlgItemText(IDC_USER_DB_STATE), Q("数据库已连接"));

  EXPECT_EQ(Find("ad"), QStringList{"admin"});
  EXPECT_EQ(Find("").size(), 8);
  EXPECT_EQ(Find("a_b"), (QStringList{"a\\b", "a_b"})) << "_ stays a wildcard";
  EXPECT_EQ(Find("%").size(), 8) << "% stays a wildcard";
  EXPECT_EQ(Find("a\\b"), QStringList{"a\\b"}) << "a backslash is found as typed";
  EXPECT_EQ(Find("誠"), QStringList{Q("運誠")});
  EXPECT_TRUE(Find("' or '1'='1").isEmpty());
}

TEST_F(UserManageTest, AddChecksPasswordsFirstThenEmptyFieldsBeforeSending) {
  const char* cases[][4] = {
      {"", "a", "b", "两次输入密码不同,添加失败"}, {"eve", "a", "A", "两次输入密码不同,添加失败"},
      {"", "", "", "用户名密码不能为空"},          {"", "p", "p", "用户名密码不能为空"},
      {"eve", "", "", "用户名密码不能为空"},
  };
  for (const auto& c : cases) {
    FillAddFields(Q(c[0]), Q(c[1]), Q(c[2]));
    Press(IDC_USER_ADD);
    EXPECT_EQ(Status(), Q(c[3])) << c[0] << "/" << c[1] << "/" << c[2];
  }
  EXPECT_TRUE(UserNamesInDb().isEmpty());
  EXPECT_EQ(boxes_.Count(), 0);
}

TEST_F(UserManageTest, TextWithoutAGbkFormIsRefusedBeforeAnyStatement) {
  const char* cases[][4] = {
      {"kr한국", "pw", "pw", "用户名含有无法保存的字符"},
      {"kim", "비밀", "비번", "密码含有无法保存的字符"},  // both read "??" in GBK
  };
  for (const auto& c : cases) {
    FillAddFields(Q(c[0]), Q(c[1]), Q(c[2]));
    Press(IDC_USER_ADD);
    EXPECT_EQ(Status(), Q(c[3])) << c[0];
  }
  EXPECT_TRUE(UserNamesInDb().isEmpty());
  AddUserRow("kr??", "pw", 2);
  ReplaceText(Edit(IDC_USER_NAME), Q("kr한국"));
  Press(IDC_USER_DELETE);
  EXPECT_EQ(UserNamesInDb(), QStringList({"kr??"}));  // not taken for another account
}

TEST_F(UserManageTest, AddAfterClickingAnAdministratorAsksAndCreatesANormalUserUnderTheSearch) {
  AddUserRow("root", "secret", 1);
  AddUserRow("zoe", "x", 2);
  dlg().show();
  Find("o");
  ClickRow(List(), ListColumn(List(), 0).indexOf("root"));
  EXPECT_EQ(Edit(IDC_USER_PASSWORD)->text(), "secret");
  EXPECT_EQ(dlg().GetDlgItemText(IDC_USER_TYPE), Q("管理员"));
  Press(IDC_USER_ADD);  // the confirmation field was left empty
  EXPECT_EQ(Status(), Q("两次输入密码不同,添加失败"));

  FillAddFields("otto", "pw", "pw");
  boxes_.QueueAnswer(platform::IDNO);
  Press(IDC_USER_ADD);
  EXPECT_EQ(boxes_.LastCaption(), Q("添加"));
  EXPECT_EQ(boxes_.LastText(), Q("注意，添加新用户的类型是‘普通用户’，确认添加？"));
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(UserNamesInDb().size(), 2);

  Press(IDC_USER_ADD);  // answered yes
  EXPECT_EQ(Status(), Q("添加成功！"));
  EXPECT_EQ(db().Query("select user_passwd,user_permission from user_tab where user_name='otto'").rows.at(0),
            (DbRow{"pw", "2"}));
  EXPECT_EQ(Find("o"), (QStringList{"otto", "root", "zoe"}));
  FillAddFields("ann", "pw", "pw");
  Press(IDC_USER_ADD);
  EXPECT_FALSE(ListColumn(List(), 0).contains("ann")) << "the search stays in force";
  FillAddFields("otto", "other", "other");
  Press(IDC_USER_ADD);
  EXPECT_EQ(Status(), Q("添加失败！"));
}

TEST_F(UserManageTest, DeleteAsksFirstRemovesTheNamedUserAndWithdrawsItsGrants) {
  AddUserRow("alice", "p", 2);
  AddUserRow("bob", "p", 2);
  db().Exec("insert into permission_tab values ('alice','0001','01'),('alice','0002','01'),('bob','0001','01')");
  Press(IDC_USER_DELETE);  // empty name: asked, then nothing
  EXPECT_EQ(boxes_.LastCaption(), Q("删除确认"));
  EXPECT_EQ(boxes_.LastText(), Q("确认删除此用户？"));
  EXPECT_EQ(Status(), "");

  ReplaceText(Edit(IDC_USER_NAME), "alice");
  boxes_.QueueAnswer(platform::IDNO);
  Press(IDC_USER_DELETE);
  EXPECT_EQ(UserNamesInDb().size(), 2);

  Press(IDC_USER_DELETE);
  EXPECT_EQ(Status(), Q("删除成功！"));
  EXPECT_EQ(ListColumn(List(), 0), QStringList{"bob"});
  EXPECT_EQ(FirstColumn(db(), "select user_name from permission_tab"), QStringList{"bob"})
      << "a later account named alice must not inherit the old grants";

  ReplaceText(Edit(IDC_USER_NAME), "nobody");
  Press(IDC_USER_DELETE);
  EXPECT_EQ(Status(), Q("删除成功！")) << "accepted although no row matched";
}

TEST_F(UserManageTest, QuotesBackslashesAndGbkTrailBytesAreStoredAndDeletedAsTyped) {
  AddUserRow("victim", "p", 2);
  for (const char* name : {"O'Brien", "back\\slash", "運誠", "' or '1'='1"}) {
    FillAddFields(Q(name), Q("p'w\\運"), Q("p'w\\運"));
    Press(IDC_USER_ADD);
    EXPECT_EQ(Status(), Q("添加成功！")) << name;
    EXPECT_EQ(db().Query("select user_passwd from user_tab where user_name=" + Lit(name)).rows.at(0).at(0),
              Gbk("p'w\\運"));
  }
  ReplaceText(Edit(IDC_USER_NAME), "' or '1'='1");
  Press(IDC_USER_DELETE);
  ReplaceText(Edit(IDC_USER_NAME), Q("運"));
  Press(IDC_USER_DELETE);
  EXPECT_EQ(UserNamesInDb(), (QStringList{"back\\slash", "O'Brien", "victim", Q("運誠")}));
}

TEST_F(UserManageTest, TypingInTheAddFieldsClearsTheStatusAndReturnNeverAddsOrCloses) {
  dlg().show();
  for (int id : {IDC_USER_NAME, IDC_USER_PASSWORD, IDC_USER_PASSWORD_AGAIN}) {
    FillAddFields("eve", "x", "y");
    Press(IDC_USER_ADD);
    TypeText(Edit(IDC_USER_FIND_KEY), "k");
    EXPECT_FALSE(Status().isEmpty()) << "the search key leaves the status alone";
    TypeText(Edit(id), "z");
    EXPECT_EQ(Status(), "") << id;
  }
  FillAddFields("eve", "pw", "pw");
  for (int id : {IDC_USER_NAME, IDC_USER_PASSWORD_AGAIN, IDC_USER_FIND_KEY}) {
    Edit(id)->setFocus();
    QTest::keyClick(Edit(id), Qt::Key_Return);
    QTest::keyClick(Edit(id), Qt::Key_Enter);
  }
  EXPECT_TRUE(dlg().isVisible());
  EXPECT_TRUE(UserNamesInDb().isEmpty());
  Press(IDC_USER_EXIT);
  EXPECT_EQ(dlg().result(), QDialog::Rejected);
}

TEST_F(UserManageTest, NotConnectedLeavesTheListAloneAndStatementsReportFailure) {
  AddUserRow("alice", "p", 2);
  dlg();
  DbSessionTestSeam::ForgetConnectOutcome(Db());  // the flag is 0 while the link still works
  Find("zzz");
  FillAddFields("bob", "p", "p");
  Press(IDC_USER_ADD);
  EXPECT_EQ(Status(), Q("添加成功！"));
  EXPECT_EQ(ListColumn(List(), 0), QStringList{"alice"});

  ConnectToNowhere();
  dlg.Reopen();
  EXPECT_EQ(dlg().GetDlgItemText(IDC_USER_DB_STATE), Q("数据库未连接"));
  EXPECT_EQ(List()->GetItemCount(), 0);
  FillAddFields("carol", "p", "p");
  Press(IDC_USER_ADD);
  EXPECT_EQ(Status(), Q("添加失败！"));
  ReplaceText(Edit(IDC_USER_NAME), "alice");
  Press(IDC_USER_DELETE);
  EXPECT_EQ(Status(), Q("删除失败！"));
  EXPECT_EQ(UserNamesInDb(), (QStringList{"alice", "bob"}));
}

}  // namespace
