// The login dialog against the private server: status texts, the role as part of the match,
// refused attempts (including names that would have broken the statement), and its keys.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "CLoginDlg.h"
#include "DbSession.h"
#include "Gbk.h"
#include "LoginDialogTemplate.h"
#include "LoginState.h"
#include "SharedDatabaseTest.h"

namespace {

const QString kRefused = QStringLiteral("用户名或密码错误!");

class LoginDialog : public SharedDatabaseTest<LoginDialog> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_login")) return;
    db_->Exec(
        platform::Utf8ToGbk("insert into user_tab values ('admin','Secret',1),('li','pw',2),"
                            "('乗务','密码',2),('','',3),('kr?\?','pw',2)"));
  }
  void SetUp() override {
    REQUIRE_DB(*db_);
    db_->ConnectProcessSession();
    dlg = std::make_unique<CLoginDlg>();
    dlg->show();
  }
  void Type(const QString& name, const QString& password, int roleIndex) {
    res::Control<QLineEdit>(dlg.get(), res::IDC_LOGIN_USER)->setText(name);
    res::Control<QLineEdit>(dlg.get(), res::IDC_LOGIN_PASSWORD)->setText(password);
    res::Control<QComboBox>(dlg.get(), res::IDC_LOGIN_ROLE)->setCurrentIndex(roleIndex);
  }
  void ClickLogin() { QTest::mouseClick(res::Control<QPushButton>(dlg.get(), res::IDC_LOGIN_OK), Qt::LeftButton); }
  QString Status() const { return res::Control<QLabel>(dlg.get(), res::IDC_LOGIN_STATUS)->text(); }
  bool Accepted() const { return !dlg->isVisible() && dlg->result() == QDialog::Accepted; }

  std::unique_ptr<CLoginDlg> dlg;
};

enum { kNormal = 0, kAdmin = 1 };

TEST_F(LoginDialog, StartsWithNormalUserAndTheConnectionState) {
  auto* role = res::Control<QComboBox>(dlg.get(), res::IDC_LOGIN_ROLE);
  ASSERT_EQ(role->count(), 2);
  EXPECT_EQ(role->itemText(0), QStringLiteral("普通用户"));
  EXPECT_EQ(role->itemText(1), QStringLiteral("管理员"));
  EXPECT_EQ(role->currentIndex(), 0);
  EXPECT_EQ(dlg->windowTitle(), QStringLiteral("登陆"));
  EXPECT_EQ(Status(), QStringLiteral("数据库已成功连接!"));
  EXPECT_EQ(res::Control<QLineEdit>(dlg.get(), res::IDC_LOGIN_PASSWORD)->echoMode(), QLineEdit::Password);
}

TEST_F(LoginDialog, AdministratorLogsInWithTheAdministratorRole) {
  Type("admin", "Secret", kAdmin);
  ClickLogin();
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg->LoggedIn().userName, "admin");
  EXPECT_EQ(dlg->LoggedIn().role, kRoleAdministrator);
}

TEST_F(LoginDialog, GbkNameAndPasswordLogIn) {
  Type(QStringLiteral("乗务"), QStringLiteral("密码"), kNormal);
  ClickLogin();
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg->LoggedIn().userName, platform::Utf8ToGbk("乗务"));
  EXPECT_EQ(dlg->LoggedIn().role, kRoleNormalUser);
}

// "kr한국" would reach the server as "kr??", an account of its own.
TEST_F(LoginDialog, TextWithoutAGbkFormIsRefusedBeforeTheQuery) {
  Type(QStringLiteral("kr한국"), QStringLiteral("pw"), kNormal);
  ClickLogin();
  EXPECT_EQ(Status(), QStringLiteral("用户名含有无法识别的字符"));
  Type(QStringLiteral("li"), QStringLiteral("p한"), kNormal);
  ClickLogin();
  EXPECT_EQ(Status(), QStringLiteral("密码含有无法识别的字符"));
  EXPECT_TRUE(dlg->LoggedIn().userName.empty());
}

struct RefusedCase {
  const char* name;
  const char* user;
  const char* password;
  int role;
};

class LoginRefused : public LoginDialog, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(LoginRefused, AttemptIsRefusedAndTheDialogStays) {
  Type(QString::fromUtf8(GetParam().user), QString::fromUtf8(GetParam().password), GetParam().role);
  ClickLogin();
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(Status(), kRefused);
  EXPECT_EQ(dlg->LoggedIn().role, kRoleNone);
  EXPECT_TRUE(dlg->LoggedIn().userName.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, LoginRefused,
                         ::testing::Values(RefusedCase{"WrongPassword", "admin", "secret", kAdmin},
                                           RefusedCase{"AdministratorChoosingNormalUser", "admin", "Secret", kNormal},
                                           RefusedCase{"NormalUserChoosingAdministrator", "li", "pw", kAdmin},
                                           RefusedCase{"EmptyNameAndPassword", "", "", kNormal},
                                           RefusedCase{"QuoteInName", "li'", "pw", kNormal},
                                           RefusedCase{"InjectionInPassword", "admin", "x' or '1'='1", kAdmin},
                                           RefusedCase{"BackslashInName", "li\\", "pw", kNormal}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoginDialog, AcceptedAndRefusedLoginsAreAudited) {
  REQUIRE_AUDIT_TRAIL();
  db_->Exec("delete from audit_tab");
  Type("li", "wrong", kNormal);
  ClickLogin();
  Type("li", "pw", kNormal);
  ClickLogin();
  ASSERT_TRUE(Accepted());
  EXPECT_TRUE(dlg->AuditTrail());
  const DbResult rows = db_->Query("select user_name,action,new_value from audit_tab order by audit_id");
  ASSERT_EQ(rows.rows.size(), 2u);
  EXPECT_EQ(rows.rows[0], (DbRow{"li", platform::Utf8ToGbk("登录失败"), "2"}));
  EXPECT_EQ(rows.rows[1], (DbRow{"li", platform::Utf8ToGbk("登录成功"), "2"}));
}

TEST_F(LoginDialog, EnterInThePasswordFieldRunsTheLogin) {
  Type("li", "pw", kNormal);
  QTest::keyClick(res::Control<QLineEdit>(dlg.get(), res::IDC_LOGIN_PASSWORD), Qt::Key_Return);
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg->LoggedIn().userName, "li");
}

TEST_F(LoginDialog, EnterInTheNameFieldReportsARefusal) {
  Type("li", "wrong", kNormal);
  QTest::keyClick(res::Control<QLineEdit>(dlg.get(), res::IDC_LOGIN_USER), Qt::Key_Enter);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(Status(), kRefused);
}

TEST_F(LoginDialog, EscapeDoesNothing) {
  Type("li", "pw", kNormal);
  QTest::keyClick(res::Control<QLineEdit>(dlg.get(), res::IDC_LOGIN_USER), Qt::Key_Escape);
  QTest::keyClick(dlg.get(), Qt::Key_Escape);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(Status(), QStringLiteral("数据库已成功连接!"));
}

TEST_F(LoginDialog, CloseBoxAndCancelEndWithCancel) {
  dlg->close();
  EXPECT_FALSE(dlg->isVisible());
  EXPECT_EQ(dlg->result(), QDialog::Rejected);

  CLoginDlg other;
  other.show();
  QTest::mouseClick(res::Control<QPushButton>(&other, res::IDC_LOGIN_CANCEL), Qt::LeftButton);
  EXPECT_FALSE(other.isVisible());
  EXPECT_EQ(other.result(), QDialog::Rejected);
  EXPECT_EQ(other.LoggedIn().role, kRoleNone);
}

TEST_F(LoginDialog, ServerNotAnsweringIsReportedAtStartAndAtEveryAttempt) {
  // Nothing listens on port 1: the attempt's own connect fails as well.
  Db().Configure("127.0.0.1", 1, "root", "", "none");
  Db().Close();
  CLoginDlg offline;
  offline.show();
  auto* status = res::Control<QLabel>(&offline, res::IDC_LOGIN_STATUS);
  EXPECT_EQ(status->text(), QStringLiteral("数据库连接失败,请重新设置数据库参数并重起!"));
  res::Control<QLineEdit>(&offline, res::IDC_LOGIN_USER)->setText("li");
  res::Control<QLineEdit>(&offline, res::IDC_LOGIN_PASSWORD)->setText("pw");
  offline.OnLogin();
  EXPECT_EQ(status->text(), QStringLiteral("数据库连接失败!"));
  EXPECT_TRUE(offline.isVisible());
}

}  // namespace
