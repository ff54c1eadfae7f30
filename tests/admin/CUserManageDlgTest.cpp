// The user management dialog against the private server: list, search, add, delete, the
// status line and what reaches the database.
#include <QLabel>
#include <QPushButton>

#include "CUserManageDlg.h"
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
    db().Exec("insert into user_tab values (" + std::string(Lit(name)) + "," + Lit(password) + "," +
              std::to_string(role) + ")");
  }
  QStringList UserNamesInDb() { return FirstColumn(db(), "select user_name from user_tab order by user_name"); }

  static QLineEdit* Edit(CUserManageDlg& dlg, int id) { return Control<QLineEdit>(&dlg, id); }
  static QString Status(CUserManageDlg& dlg) { return Control<QLabel>(&dlg, IDC_USER_STATUS)->text(); }
  static ReportListView* List(CUserManageDlg& dlg) { return Control<ReportListView>(&dlg, IDC_USER_LIST); }
  static void Press(CUserManageDlg& dlg, int id) { QTest::mouseClick(Control<QPushButton>(&dlg, id), Qt::LeftButton); }

  static void FillAddFields(CUserManageDlg& dlg, const QString& name, const QString& password,
                            const QString& again) {
    ReplaceText(Edit(dlg, IDC_USER_NAME), name);
    ReplaceText(Edit(dlg, IDC_USER_PASSWORD), password);
    ReplaceText(Edit(dlg, IDC_USER_PASSWORD_AGAIN), again);
  }
  static void Find(CUserManageDlg& dlg, const QString& key) {
    ReplaceText(Edit(dlg, IDC_USER_FIND_KEY), key);
    Press(dlg, IDC_USER_FIND);
  }
};

TEST_F(UserManageTest, ListShowsServerRowsReversedWithRoleTextsAndPasswords) {
  AddUserRow("alice", "a1", 1);
  AddUserRow("bob", "b2", 2);
  AddUserRow("carol", "c3", 0);
  AddUserRow("张三", "密码", 7);
  CUserManageDlg dlg;
  QStringList expectedNames;
  for (const DbRow& row : db().Query("select * from user_tab").rows) expectedNames.prepend(platform::FromGbk(row[0]));
  auto* list = List(dlg);
  EXPECT_EQ(ListColumn(list, 0), expectedNames);
  const auto roleOf = [&](const char* name) { return list->GetItemText(expectedNames.indexOf(Q(name)), 1); };
  EXPECT_EQ(roleOf("alice"), Q("管理员"));
  EXPECT_EQ(roleOf("bob"), Q("普通用户"));
  EXPECT_EQ(roleOf("carol"), Q("类型未定义"));
  EXPECT_EQ(roleOf("张三"), Q("类型未定义"));
  EXPECT_EQ(list->GetItemText(expectedNames.indexOf(Q("张三")), 2), Q("密码"));
  EXPECT_EQ(Control<QLabel>(&dlg, IDC_USER_DB_STATE)->text(), Q("数据库已连接"));
  EXPECT_FALSE(Control<QLabel>(&dlg, IDC_USER_DB_STATE)->isVisibleTo(&dlg));
  EXPECT_EQ(Control<QLabel>(&dlg, IDC_USER_TYPE)->text(), Q("普通用户"));
}

TEST_F(UserManageTest, SearchMatchesSubstringsWildcardsAndNeverInjectedText) {
  for (const char* name : {"admin", "bad", "carol", "a_b", "a\\b", "ab", "運誠"}) AddUserRow(name, "p", 2);
  CUserManageDlg dlg;
  auto* list = List(dlg);
  const auto found = [&](const char* key) {
    Find(dlg, Q(key));
    QStringList names = ListColumn(list, 0);
    names.sort();
    return names;
  };
  EXPECT_EQ(found("ad"), (QStringList{"admin", "bad"}));
  EXPECT_EQ(found(""), (QStringList{"a\\b", "a_b", "ab", "admin", "bad", "carol", Q("運誠")}));
  EXPECT_EQ(found("a_b"), (QStringList{"a\\b", "a_b"})) << "_ stays a wildcard";
  EXPECT_EQ(found("%").size(), 7) << "% stays a wildcard";
  EXPECT_EQ(found("a\\b"), (QStringList{"a\\b"})) << "a backslash is found as typed";
  EXPECT_EQ(found("運"), (QStringList{Q("運誠")}));
  EXPECT_EQ(found("誠"), (QStringList{Q("運誠")}));
  EXPECT_TRUE(found("' or '1'='1").isEmpty());
}

TEST_F(UserManageTest, AddChecksInOrderBeforeAnythingIsSent) {
  struct Case {
    const char *name, *password, *again, *status;
  };
  const Case cases[] = {
      {"", "a", "b", "两次输入密码不同,添加失败"},  // the password test comes first
      {"eve", "a", "A", "两次输入密码不同,添加失败"},
      {"", "", "", "用户名密码不能为空"},
      {"", "p", "p", "用户名密码不能为空"},
      {"eve", "", "", "用户名密码不能为空"},
  };
  ScriptedMessageBoxes boxes;
  CUserManageDlg dlg;
  for (const Case& c : cases) {
    FillAddFields(dlg, Q(c.name), Q(c.password), Q(c.again));
    Press(dlg, IDC_USER_ADD);
    EXPECT_EQ(Status(dlg), Q(c.status)) << c.name << "/" << c.password << "/" << c.again;
  }
  EXPECT_TRUE(UserNamesInDb().isEmpty());
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(UserManageTest, AddStoresANormalUserRefillsWithTheLastSearchAndRefusesDuplicates) {
  AddUserRow("adam", "x", 2);
  AddUserRow("zoe", "x", 2);
  ScriptedMessageBoxes boxes;
  CUserManageDlg dlg;
  Find(dlg, "ad");
  FillAddFields(dlg, "zed", "pw", "pw");
  Press(dlg, IDC_USER_ADD);
  EXPECT_EQ(Status(dlg), Q("添加成功！"));
  EXPECT_EQ(ListColumn(List(dlg), 0), QStringList{"adam"}) << "the search stays in force";
  FillAddFields(dlg, "adele", "pw", "pw");
  Press(dlg, IDC_USER_ADD);
  EXPECT_EQ(ListColumn(List(dlg), 0).size(), 2);
  const DbResult stored = db().Query("select user_passwd,user_permission from user_tab where user_name='zed'");
  ASSERT_EQ(stored.rows.size(), 1u);
  EXPECT_EQ(stored.rows[0], (DbRow{"pw", "2"}));

  FillAddFields(dlg, "zed", "other", "other");
  Press(dlg, IDC_USER_ADD);
  EXPECT_EQ(Status(dlg), Q("添加失败！"));
  EXPECT_EQ(boxes.Count(), 0);
}

TEST_F(UserManageTest, ClickFillsNameTypeAndPasswordButNotTheConfirmation) {
  AddUserRow("root", "secret", 1);
  CUserManageDlg dlg;
  dlg.show();
  ClickRow(List(dlg), 0);
  EXPECT_EQ(Edit(dlg, IDC_USER_NAME)->text(), "root");
  EXPECT_EQ(Edit(dlg, IDC_USER_PASSWORD)->text(), "secret");
  EXPECT_EQ(Edit(dlg, IDC_USER_PASSWORD_AGAIN)->text(), "");
  EXPECT_EQ(Control<QLabel>(&dlg, IDC_USER_TYPE)->text(), Q("管理员"));
  Press(dlg, IDC_USER_ADD);
  EXPECT_EQ(Status(dlg), Q("两次输入密码不同,添加失败"));
}

TEST_F(UserManageTest, AddAfterAnAdministratorWasClickedAsksAndStillCreatesANormalUser) {
  AddUserRow("root", "secret", 1);
  ScriptedMessageBoxes boxes;
  CUserManageDlg dlg;
  dlg.show();
  ClickRow(List(dlg), 0);
  FillAddFields(dlg, "second", "pw", "pw");

  boxes.QueueAnswer(platform::IDNO);
  Press(dlg, IDC_USER_ADD);
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.LastCaption(), Q("添加"));
  EXPECT_EQ(boxes.LastText(), Q("注意，添加新用户的类型是‘普通用户’，确认添加？"));
  EXPECT_EQ(boxes.Requests().back().type & platform::MB_YESNO, unsigned(platform::MB_YESNO));
  EXPECT_EQ(Status(dlg), "");
  EXPECT_EQ(UserNamesInDb(), QStringList{"root"});

  boxes.QueueAnswer(platform::IDYES);
  Press(dlg, IDC_USER_ADD);
  EXPECT_EQ(Status(dlg), Q("添加成功！"));
  EXPECT_EQ(db().Query("select user_permission from user_tab where user_name='second'").rows.at(0).at(0), "2");
}

TEST_F(UserManageTest, DeleteAsksFirstRemovesTheNamedUserAndWithdrawsItsGrants) {
  AddUserRow("alice", "p", 2);
  AddUserRow("bob", "p", 2);
  db().Exec("insert into permission_tab values ('alice','0001','01'),('alice','0002','01'),('bob','0001','01')");
  ScriptedMessageBoxes boxes;
  CUserManageDlg dlg;

  // Empty name: the question still comes first, then nothing happens.
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.LastCaption(), Q("删除确认"));
  EXPECT_EQ(boxes.LastText(), Q("确认删除此用户？"));
  EXPECT_EQ(Status(dlg), "");

  ReplaceText(Edit(dlg, IDC_USER_NAME), "alice");
  boxes.QueueAnswer(platform::IDNO);
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(UserNamesInDb(), (QStringList{"alice", "bob"}));
  EXPECT_EQ(Status(dlg), "");

  boxes.QueueAnswer(platform::IDYES);
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(Status(dlg), Q("删除成功！"));
  EXPECT_EQ(UserNamesInDb(), QStringList{"bob"});
  EXPECT_EQ(ListColumn(List(dlg), 0), QStringList{"bob"});
  EXPECT_EQ(FirstColumn(db(), "select user_name from permission_tab"), QStringList{"bob"})
      << "a later account named alice must not inherit the old grants";

  // A name without a row: the statement is accepted, so it is reported as done.
  ReplaceText(Edit(dlg, IDC_USER_NAME), "nobody");
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(Status(dlg), Q("删除成功！"));
}

TEST_F(UserManageTest, QuotesBackslashesAndGbkTrailBytesAreStoredAndDeletedAsTyped) {
  AddUserRow("victim", "p", 2);
  ScriptedMessageBoxes boxes;
  CUserManageDlg dlg;
  for (const char* name : {"O'Brien", "back\\slash", "運誠", "' or '1'='1"}) {
    FillAddFields(dlg, Q(name), Q("p'w\\運"), Q("p'w\\運"));
    Press(dlg, IDC_USER_ADD);
    EXPECT_EQ(Status(dlg), Q("添加成功！")) << name;
    const DbResult row =
        db().Query("select user_passwd from user_tab where user_name=" + Lit(name));
    ASSERT_EQ(row.rows.size(), 1u) << name;
    EXPECT_EQ(row.rows[0][0], Gbk("p'w\\運")) << name;
  }
  EXPECT_EQ(UserNamesInDb().size(), 5);

  // Deleting the injection-shaped name removes that one row and nothing else.
  ReplaceText(Edit(dlg, IDC_USER_NAME), "' or '1'='1");
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(Status(dlg), Q("删除成功！"));
  EXPECT_EQ(UserNamesInDb().size(), 4);
  ReplaceText(Edit(dlg, IDC_USER_NAME), Q("運"));
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(UserNamesInDb().size(), 4) << "no prefix or trail-byte confusion";
}

TEST_F(UserManageTest, TypingInTheAddFieldsClearsTheStatusButTheSearchKeyDoesNot) {
  CUserManageDlg dlg;
  for (int id : {IDC_USER_NAME, IDC_USER_PASSWORD, IDC_USER_PASSWORD_AGAIN}) {
    FillAddFields(dlg, "", "x", "y");
    Press(dlg, IDC_USER_ADD);
    ASSERT_EQ(Status(dlg), Q("两次输入密码不同,添加失败"));
    TypeText(Edit(dlg, IDC_USER_FIND_KEY), "k");
    EXPECT_FALSE(Status(dlg).isEmpty());
    TypeText(Edit(dlg, id), "z");
    EXPECT_EQ(Status(dlg), "") << id;
  }
}

TEST_F(UserManageTest, ReturnNeitherAddsNorClosesButExitCancels) {
  ScriptedMessageBoxes boxes;
  CUserManageDlg dlg;
  dlg.show();
  FillAddFields(dlg, "eve", "pw", "pw");
  for (int id : {IDC_USER_NAME, IDC_USER_PASSWORD_AGAIN, IDC_USER_FIND_KEY}) {
    Edit(dlg, id)->setFocus();
    QTest::keyClick(Edit(dlg, id), Qt::Key_Return);
    QTest::keyClick(Edit(dlg, id), Qt::Key_Enter);
  }
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_TRUE(UserNamesInDb().isEmpty());
  EXPECT_EQ(boxes.Count(), 0);
  Press(dlg, IDC_USER_EXIT);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(UserManageTest, NotConnectedLeavesTheListAloneAndStatementsReportFailure) {
  AddUserRow("alice", "p", 2);
  ScriptedMessageBoxes boxes;
  {
    CUserManageDlg dlg;
    // The flag is 0 while the link still works: statements go through, lists stay as they are.
    Db().connected = 0;
    Find(dlg, "zzz");
    EXPECT_EQ(ListColumn(List(dlg), 0), QStringList{"alice"});
    FillAddFields(dlg, "bob", "p", "p");
    Press(dlg, IDC_USER_ADD);
    EXPECT_EQ(Status(dlg), Q("添加成功！"));
    EXPECT_EQ(ListColumn(List(dlg), 0), QStringList{"alice"});
    EXPECT_EQ(UserNamesInDb(), (QStringList{"alice", "bob"}));
  }
  ConnectToNowhere();
  ASSERT_EQ(Db().connected, 0);
  CUserManageDlg dlg;
  EXPECT_EQ(Control<QLabel>(&dlg, IDC_USER_DB_STATE)->text(), Q("数据库未连接"));
  EXPECT_EQ(List(dlg)->GetItemCount(), 0);
  FillAddFields(dlg, "carol", "p", "p");
  Press(dlg, IDC_USER_ADD);
  EXPECT_EQ(Status(dlg), Q("添加失败！"));
  ReplaceText(Edit(dlg, IDC_USER_NAME), "alice");
  Press(dlg, IDC_USER_DELETE);
  EXPECT_EQ(Status(dlg), Q("删除失败！"));
  EXPECT_EQ(UserNamesInDb(), (QStringList{"alice", "bob"}));
}

}  // namespace

namespace {

TEST_F(UserManageTest, ScreenshotWithDemoData) {
  AddUserRow("admin", "admin", 1);
  AddUserRow("张工", "zg2024", 2);
  AddUserRow("李工", "lg2024", 2);
  AddUserRow("O'Brien", "ob", 2);
  CUserManageDlg dlg;
  dlg.show();
  ClickRow(List(dlg), 1);
  FillAddFields(dlg, Q("王工"), "wg", "wg");
  Press(dlg, IDC_USER_ADD);
  SAVE_SCREENSHOT_OR_SKIP(dlg, "user_manage_dialog.png");
}

}  // namespace
