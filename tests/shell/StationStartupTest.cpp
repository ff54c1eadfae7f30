// Start-up after the configuration: the frame is shown maximised behind the login, a
// cancelled login ends the start, a successful one starts monitoring and sets the title.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "CLoginDlg.h"
#include "CMainFrame.h"
#include "LoginDialogTemplate.h"
#include "LoginState.h"
#include "SharedDatabaseTest.h"
#include "StationStartup.h"

namespace {

class StationStartup : public SharedDatabaseTest<StationStartup> {
 protected:
  static void SetUpTestSuite() {
    if (OpenDatabase("t_startup")) db_->Exec("insert into user_tab values ('admin','pw',1)");
  }
  // Acts on the login dialog once it runs modally; records whether a maximised frame was
  // already on screen behind it.
  void WhenLoginShows(std::function<void(CLoginDlg&)> act) {
    QTimer::singleShot(0, [this, act] {
      auto* login = qobject_cast<CLoginDlg*>(QApplication::activeModalWidget());
      if (!login) return;
      loginHadNoParent = login->parentWidget() == nullptr;
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* frame = qobject_cast<CMainFrame*>(top)) frameMaximisedBehindLogin = frame->isMaximized();
      act(*login);
    });
  }

  bool loginHadNoParent = false;
  bool frameMaximisedBehindLogin = false;
};

TEST_F(StationStartup, CancelledLoginEndsTheStart) {
  WhenLoginShows([](CLoginDlg& login) { login.reject(); });
  EXPECT_EQ(StartStation(AppConfig{}), nullptr);
  EXPECT_TRUE(frameMaximisedBehindLogin);
  EXPECT_TRUE(loginHadNoParent);
}

TEST_F(StationStartup, SuccessfulLoginStartsMonitoringUnderTheStationTitle) {
  WhenLoginShows([](CLoginDlg& login) {
    res::Control<QLineEdit>(&login, res::IDC_LOGIN_USER)->setText("admin");
    res::Control<QLineEdit>(&login, res::IDC_LOGIN_PASSWORD)->setText("pw");
    res::Control<QComboBox>(&login, res::IDC_LOGIN_ROLE)->setCurrentIndex(1);
    res::Control<QPushButton>(&login, res::IDC_LOGIN_OK)->click();
  });
  std::unique_ptr<CMainFrame> frame = StartStation(AppConfig{});
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("温湿度智能监控系统"));
  EXPECT_TRUE(frame->isMaximized());
  EXPECT_EQ(frame->CurrentLogin().role, kRoleAdministrator);
  EXPECT_TRUE(frame->Monitor().IsStarted());
  frame->close();
}

}  // namespace
