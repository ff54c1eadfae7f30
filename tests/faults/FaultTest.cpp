// Faults of the database link, driven against a private server of their own (killed and
// restarted, stopped with SIGSTOP, tables locked) and through a loopback forwarder that cuts
// connections mid-query or refuses them. Every blocking step is timed: the window is frozen for
// exactly as long as a handler runs.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <type_traits>

#include "AlarmStatusBar.h"
#include "AuditTrail.h"
#include "CHistoryTablePage.h"
#include "CMainFrame.h"
#include "CMyTreeView.h"
#include "CUserManageDlg.h"
#include "DatabaseDialogs.h"
#include "DbSessionTestSeam.h"
#include "FakeMonitorActions.h"
#include "HistoryTablePageTemplate.h"
#include "HistoryTestData.h"
#include "LoginCheck.h"
#include "LoopbackForwarder.h"
#include "MainMenu.h"
#include "ReportListView.h"
#include "ScriptedMessageBoxes.h"
#include "UserManageTemplate.h"

using namespace history_test;

namespace {

constexpr int kServerPort = VELTRANE_FAULT_DB_PORT;
constexpr int kForwardPort = VELTRANE_FAULT_FORWARD_PORT;
constexpr qint64 kFreezeLimitMs = 5000;

const QString kFaultText = QStringLiteral("数据库连接失败!");

// The private server's process: the live (not zombie) mariadbd serving its data directory.
struct FaultServer {
  static char State(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() ? '?' : text[close + 2];
  }
  static pid_t Pid() {
    const std::string dataDir = std::string("--datadir=") + VELTRANE_FAULT_DB_DIR + "/data";
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      std::ifstream in(entry.path() / "cmdline");
      std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const pid_t pid = std::stoi(name);
      if (cmdline.find(dataDir) != std::string::npos && State(pid) != 'Z') return pid;
    }
    return 0;
  }
  static void Signal(int signal) {
    if (const pid_t pid = Pid(); pid > 0) ::kill(pid, signal);
  }
  static void Stop() {
    const pid_t pid = Pid();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGSTOP);
    for (int i = 0; i < 100 && State(pid) != 'T'; ++i) QTest::qWait(10);
    ASSERT_EQ(State(pid), 'T');
  }
  static void KillAndWait() {
    const pid_t pid = Pid();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGKILL);
    for (int i = 0; i < 100 && ::kill(pid, 0) == 0 && State(pid) != 'Z'; ++i) QTest::qWait(20);
  }
  static bool Up() {
    const std::string command = "VELTRANE_DB_PORT=" + std::to_string(kServerPort) + " VELTRANE_DB_DIR='" +
                                VELTRANE_FAULT_DB_DIR + "' VELTRANE_DB_PASSWORD='" +
                                TestServer::FromEnvironment().password +
                                "' '" VELTRANE_SCRIPTS_DIR "/db' up 2>/dev/null";
    return std::system(command.c_str()) == 0;
  }
};

// A stopped server is resumed whatever the test's outcome, so the next test finds it answering.
struct ResumeServerOnExit {
  ~ResumeServerOnExit() { FaultServer::Signal(SIGCONT); }
};

// How long one blocking step took, for a bound no healthy machine comes near; `what` names it.
qint64 Timed([[maybe_unused]] const char* what, const std::function<void()>& step) {
  QElapsedTimer clock;
  clock.start();
  step();
  const qint64 ms = clock.elapsed();
  QCoreApplication::processEvents();  // lets a fault notice show
  return ms;
}

class DbFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("VELTRANE_DB_PORT", std::to_string(kServerPort).c_str(), 1);
    db_ = std::make_unique<TestDatabase>("t_faults");
    REQUIRE_DB(*db_);
    WriteCatalogue(*db_);
    for (int i = 0; i < 9; ++i)
      for (const char* device : {"D000000001", "D000000002"})
        WriteReading(*db_, {device, "2024-05-01 0" + std::to_string(i) + ":00:00"});
    forwarder_ = std::make_unique<LoopbackForwarder>(kForwardPort, kServerPort);
    ASSERT_TRUE(forwarder_->Listening());
    const TestServer& s = db_->server();
    Db().Configure(s.host, kForwardPort, s.user, s.password, db_->name());
    Db().ConnectDatabase();
    ASSERT_TRUE(Db().LastConnectSucceeded());
  }
  void TearDown() override {
    FaultServer::Signal(SIGCONT);
    Db().Close();
  }

  // Runs `scenario` inside the dialog, opened the way the main frame opens it.
  template <class Dialog>
  void InDialog(const std::function<void(Dialog&)>& scenario) {
    RunDatabaseDialog(nullptr, [&](QWidget* parent) -> std::unique_ptr<QDialog> {
      std::unique_ptr<Dialog> dialog;
      if constexpr (std::is_same_v<Dialog, CHistoryQueryDlg>)
        dialog = std::make_unique<Dialog>(Db(), kAdminLogin, parent);
      else
        dialog = std::make_unique<Dialog>(Db(), "admin", parent);
      Dialog* d = dialog.get();
      QTimer::singleShot(0, d, [d, &scenario] {
        scenario(*d);
        d->reject();
      });
      return dialog;
    });
  }

  std::unique_ptr<TestDatabase> db_;
  std::unique_ptr<LoopbackForwarder> forwarder_;
  ScriptedMessageBoxes boxes_;
};

TEST_F(DbFaults, HistoryDialogShowsNoStaleCountAndRecoversInPlace) {
  InDialog<CHistoryQueryDlg>([&](CHistoryQueryDlg& dlg) {
    SetDates(dlg, QDate(2024, 5, 1), QDate(2024, 5, 1));
    AddQueryRow(dlg, "D000000001");
    AddQueryRow(dlg, "D000000002");
    ChooseCombo(dlg, res::IDC_HQ_COMPANY, "华东公司");
    auto* filter = res::Control<QRadioButton>(dlg.TablePage(), res::IDC_HT_TEMP_ANY);
    const auto click = [&](const char* what = "filter click") {
      return Timed(what, [&] { QTest::mouseClick(filter, Qt::LeftButton); });
    };
    const auto count = [&] { return dlg.TablePage()->GetDlgItemText(res::IDC_HT_RESULT); };
    const auto rows = [&] { return dlg.TablePage()->ResultList()->GetItemCount(); };
    const QString all = QStringLiteral("查询结果：18条记录"), none = QStringLiteral("查询结果：0条记录");

    click();
    ASSERT_EQ(count(), all);

    // Cut mid-query: reconnected and retried on the spot, nothing to tell.
    forwarder_->CutDuringNextResponse();
    EXPECT_LT(click("query, link cut mid-query"), kFreezeLimitMs);
    EXPECT_EQ(forwarder_->CutCount(), 1);
    EXPECT_EQ(count(), all);
    EXPECT_EQ(boxes_.Count(), 0);

    // Server killed: no rows, no old count, one message, and an export that admits it.
    FaultServer::KillAndWait();
    EXPECT_LT(click("query, server killed"), kFreezeLimitMs);
    EXPECT_EQ(count(), none);
    EXPECT_EQ(rows(), 0);
    ASSERT_EQ(boxes_.Count(), 1);
    EXPECT_EQ(boxes_.LastText(), kFaultText);
    dlg.TablePage()->ExportExcel();
    EXPECT_EQ(boxes_.LastText(), QStringLiteral("没有可导出的记录"));

    // Restarted: the same dialog works again.
    ASSERT_TRUE(FaultServer::Up());
    click();
    EXPECT_EQ(count(), all);

    // Hung: a list fill ends within the short read time-out, the next query within the
    // connect time-out; then the server resumes and so does the dialog.
    ResumeServerOnExit resume;
    FaultServer::Stop();
    boxes_.Clear();
    EXPECT_LT(Timed("list fill, server hung", [&] { dlg.OnCompanyChanged(); }), kFreezeLimitMs);
    EXPECT_EQ(boxes_.LastText(), kFaultText);
    EXPECT_LT(click("query after it, server hung"), kFreezeLimitMs);
    EXPECT_EQ(count(), none);
    FaultServer::Signal(SIGCONT);
    click();
    EXPECT_EQ(count(), all);
  });
}

TEST_F(DbFaults, AdministrationDialogTellsInItsStatusLineAndRecovers) {
  InDialog<CUserManageDlg>([&](CUserManageDlg& dlg) {
    auto* list = res::Control<res::ReportListView>(&dlg, res::IDC_USER_LIST);
    ASSERT_EQ(list->GetItemCount(), 3);
    // The server is unreachable: connects are refused.
    forwarder_->SetAccepting(false);
    forwarder_->CutAll();
    EXPECT_LT(Timed("user list, connects refused",
                    [&] { QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_USER_FIND), Qt::LeftButton); }),
              kFreezeLimitMs);
    EXPECT_EQ(dlg.GetDlgItemText(res::IDC_USER_STATUS), kFaultText);
    EXPECT_EQ(boxes_.Count(), 0);
    if (const QByteArray dir = qgetenv("VELTRANE_SCREENSHOT_DIR"); !dir.isEmpty())
      dlg.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/user_manage_db_fault.png"));

    forwarder_->SetAccepting(true);
    dlg.SetDlgItemText(res::IDC_USER_NAME, QStringLiteral("王五"));
    dlg.SetDlgItemText(res::IDC_USER_PASSWORD, QStringLiteral("p"));
    dlg.SetDlgItemText(res::IDC_USER_PASSWORD_AGAIN, QStringLiteral("p"));
    Timed("add user, server back",
          [&] { QTest::mouseClick(res::Control<QPushButton>(&dlg, res::IDC_USER_ADD), Qt::LeftButton); });
    EXPECT_EQ(dlg.GetDlgItemText(res::IDC_USER_STATUS), QStringLiteral("添加成功！"));
    EXPECT_EQ(list->GetItemCount(), 4);
  });
}

TEST_F(DbFaults, LoginConnectsOnceTheServerIsBack) {
  forwarder_->SetAccepting(false);
  forwarder_->CutAll();
  testing::internal::CaptureStderr();
  Db().ConnectDatabase();
  const std::string diagnostics = testing::internal::GetCapturedStderr();
  ASSERT_EQ(Db().LastConnectSucceeded(), 0);
  // One line naming the database, the host, the port and the client's reason.
  EXPECT_EQ(std::count(diagnostics.begin(), diagnostics.end(), '\n'), 1) << diagnostics;
  EXPECT_NE(diagnostics.find("'" + db_->name() + "' on 127.0.0.1:" + std::to_string(kForwardPort) + ": "),
            std::string::npos)
      << diagnostics;
  EXPECT_NE(diagnostics.find(": Can't connect to server"), std::string::npos) << diagnostics;

  EXPECT_EQ(CheckLogin(Db(), "admin", "a", kRoleAdministrator), LoginCheckResult::kDatabaseUnreachable);
  forwarder_->SetAccepting(true);
  EXPECT_EQ(CheckLogin(Db(), "admin", "a", kRoleAdministrator), LoginCheckResult::kAccepted);
  EXPECT_EQ(Db().LastConnectSucceeded(), 1);
}

// The server was restarted while the window sat idle, before any dialog was opened: the
// acknowledgement and its look-up connect again on their own and the acknowledgement is stored.
TEST_F(DbFaults, AnAcknowledgementRightAfterAServerRestartIsStored) {
  REQUIRE_AUDIT_TRAIL();
  FaultServer::KillAndWait();
  ASSERT_TRUE(FaultServer::Up());
  const Actor actor("admin", "pc1", true);
  EXPECT_FALSE(IsAcknowledged(Db(), "D000000001", "temp_high", "2024-05-01 08:00:00"));
  FaultServer::KillAndWait();
  ASSERT_TRUE(FaultServer::Up());
  EXPECT_TRUE(RecordAcknowledgement(Db(), actor, "D000000001", "temp_high", "2024-05-01 08:00:00", "door shut"));
  EXPECT_EQ(Db().Select("select count(*) from alarm_ack_tab where comment='door shut'").rows,
            (std::vector<DbRow>{{"1"}}));
  EXPECT_EQ(boxes_.Count(), 0);
}

// The station starts while the server cannot be reached: the window says so, the monitor
// thread keeps trying on its own connection, and live data and the tree arrive once it is back.
TEST_F(DbFaults, StationStartedWhileTheServerIsDownCatchesUpWhenItReturns) {
  db_->Exec(
      "insert into monitordat_tab values ('D000000001','0001','01','2024-05-01 09:00:00',1,0,2,0,3,4,1,5),"
      "('D000000002','0001','01','2024-05-01 09:00:00',1,0,2,0,3,4,1,5)");
  forwarder_->SetAccepting(false);
  forwarder_->CutAll();
  ASSERT_TRUE(QTest::qWaitFor([] { return Db().Ping() != 0; }));
  CMainFrame frame(AppConfig{});
  QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
  frame.SetMonitorClock(AcceleratedMonitorClock(50));  // pings every 1.2 s
  frame.StartMonitoring({"admin", kRoleAdministrator});
  EXPECT_TRUE(frame.Monitor().IsStarted());
  const auto liveCount = [&] {
    std::lock_guard lock(frame.LiveTable().mutex);
    return frame.LiveTable().LiveCount();
  };
  const auto freshness = [&] { return frame.AlarmBar().FreshnessLabel()->text(); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= 3; }));
  EXPECT_EQ(freshness(), QStringLiteral("数据库未响应，尚无数据"));
  EXPECT_EQ(liveCount(), 0);

  forwarder_->SetAccepting(true);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return liveCount() == 2 && freshness().startsWith(QStringLiteral("数据更新于")); }));
  EXPECT_EQ(frame.TreeView()->RootItem()->childCount(), 1);
  EXPECT_LT(Timed("close, monitor connected", [&] { frame.close(); }), 1000);
}

// The monitor thread stuck in a statement (a locked table, a hung server) on its own
// connection: dialogs never wait for it, and closing the window breaks it off.
class StuckMonitor : public DbFaults {
 protected:
  // Starts live monitoring, lets the thread connect and read once, then runs `block` and
  // waits until the thread's next statement hangs.
  void StartStuck(CMainFrame& frame, const std::function<void()>& block, bool observable = true) {
    QSignalSpy redrawn(&frame, &CMainFrame::liveViewRedrawn);
    frame.SetMonitorClock(AcceleratedMonitorClock(50));
    frame.StartMonitoring({"admin", kRoleAdministrator});
    ASSERT_TRUE(QTest::qWaitFor([&] { return redrawn.size() >= 1; }));
    block();
    if (observable) {
      // The server shows the live statement waiting for the lock.
      ASSERT_TRUE(QTest::qWaitFor([&] {
        return db_->Query(
                      "select ID from information_schema.PROCESSLIST where INFO like 'select monitordat_tab.%' "
                      "and STATE like '%lock%'")
                   .rows.size() == 1;
      }));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return DbSessionTestSeam::StatementInFlight(frame.MonitorDb()); }))
        << "the monitor thread should be waiting for the server";
  }
  void LockLiveTable() { db_->Exec("lock tables monitordat_tab write"); }
};

TEST_F(StuckMonitor, LockedLiveTableNeverDelaysADialog) {
  {
    CMainFrame frame(AppConfig{});
    StartStuck(frame, [&] { LockLiveTable(); });
    // The live views never wait for the database.
    EXPECT_LT(Timed("live view redraw, monitor stuck", [&] { frame.OnLiveRefresh(); }), 200);
    QElapsedTimer clock;
    qint64 openedAfter = -1;
    int users = -1;
    frame.SetDialogFactory(res::ID_USER_MANAGE, [&](QWidget* parent) -> std::unique_ptr<QDialog> {
      CUserManageDlg dlg(Db(), "admin", parent);
      openedAfter = clock.elapsed();
      users = res::Control<res::ReportListView>(&dlg, res::IDC_USER_LIST)->GetItemCount();
      return nullptr;
    });
    clock.start();
    frame.OnCommand(res::ID_USER_MANAGE);
    EXPECT_LE(openedAfter, 500);
    EXPECT_EQ(users, 3) << "the dialog works on without the stuck statement";
    EXPECT_TRUE(DbSessionTestSeam::StatementInFlight(frame.MonitorDb())) << "and leaves the monitor's statement alone";
  }
  db_->Exec("unlock tables");
}

TEST_F(StuckMonitor, ClosingEndsSoonWithALockedTableOrAHungServer) {
  {
    CMainFrame frame(AppConfig{});
    frame.show();
    StartStuck(frame, [&] { LockLiveTable(); });
    EXPECT_LE(Timed("close, live table locked", [&] { frame.close(); }), 3000);
  }
  db_->Exec("unlock tables");

  // The thread has a live link, so it is stuck reading from the stopped server, not connecting.
  ResumeServerOnExit resume;
  CMainFrame frame(AppConfig{});
  frame.show();
  StartStuck(
      frame, [] { FaultServer::Stop(); }, false);
  QElapsedTimer clock;
  clock.start();
  frame.close();
  Db().Close();  // what the process does last on its way out
  EXPECT_LT(clock.elapsed(), kFreezeLimitMs);
}

}  // namespace
