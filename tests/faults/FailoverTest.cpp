// A database that fails over: two private servers behind the loopback forwarder, which plays
// the proxy (new connections go to the other server, open ones are cut), replies lost after
// the server acted on a statement, and a list of servers whose first ones are dead, silent or
// not ready for clients.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "AdminChanges.h"
#include "CUserManageDlg.h"
#include "DatabaseDialogs.h"
#include "DeviceLiveTable.h"
#include "FakeWsrepNode.h"
#include "Gbk.h"
#include "HistoryTestData.h"
#include "LoopbackForwarder.h"
#include "MonitorThread.h"
#include "ReportListView.h"
#include "ScriptedMessageBoxes.h"
#include "TickCount.h"
#include "UserManageTemplate.h"

using namespace history_test;

namespace {

constexpr int kFirstPort = VELTRANE_FAULT_DB_PORT;
constexpr int kSecondPort = VELTRANE_FAULT_DB2_PORT;
constexpr int kForwardPort = VELTRANE_FAULT_FORWARD_PORT;
// The aim for live data after the server under the station went away.
constexpr qint64 kLiveBackLimitMs = 15000;
const Actor kStation{"admin", "station", false};

std::string LiveRow(const char* time) {
  return std::string("insert into monitordat_tab values ('D000000001','0001','01','") + time +
         "',21.5,0,55.0,0,20.0,3.6,1,0.0)";
}

class Failover : public ::testing::Test {
 protected:
  void SetUp() override {
    first_ = OnServer(kFirstPort);
    second_ = OnServer(kSecondPort);
    REQUIRE_DB(*first_);
    REQUIRE_DB(*second_);
    forwarder_ = std::make_unique<LoopbackForwarder>(kForwardPort, kFirstPort);
    ASSERT_TRUE(forwarder_->Listening());
    ConfigureThroughForwarder(Db());
    Db().ConnectDatabase();
    ASSERT_TRUE(Db().LastConnectSucceeded());
  }
  void TearDown() override { Db().Close(); }

  static std::unique_ptr<TestDatabase> OnServer(int port) {
    ::setenv("VELTRANE_DB_PORT", std::to_string(port).c_str(), 1);
    auto db = std::make_unique<TestDatabase>("t_failover");
    if (db->ok()) WriteCatalogue(*db);
    return db;
  }
  void ConfigureThroughForwarder(DbSession& db, const std::string& host = "127.0.0.1") {
    const TestServer& s = first_->server();
    db.Configure(host, kForwardPort, s.user, s.password, first_->name());
  }
  long long Count(TestDatabase& db, const std::string& sql) {
    const DbResult result = db.Query(sql);
    return result.ok && !result.rows.empty() ? std::atoll(result.rows[0][0].c_str()) : -1;
  }

  std::unique_ptr<TestDatabase> first_, second_;
  std::unique_ptr<LoopbackForwarder> forwarder_;
};

// Behind the proxy the monitor finds the other server at its next refresh: no 60 s wait for
// the ping. Switched right after a refresh, the worst moment.
TEST_F(Failover, LiveDataComesBackWithinSecondsAfterTheProxySwitchesServers) {
  first_->Exec(LiveRow("2026-12-10 08:00:00"));
  second_->Exec(LiveRow("2026-12-10 08:00:30"));
  auto table = DeviceLiveTable::Create();
  DbSession monitorDb;
  ConfigureThroughForwarder(monitorDb);
  monitorDb.SetReadsOwnWrites(false);
  QObject window;
  std::string readingTime;
  int redraws = 0;
  MonitorThread monitor;
  monitor.Start(
      &window,
      [&] {
        ++redraws;
        std::lock_guard lock(table->mutex);
        if (table->liveCount > 0) readingTime = table->records[0].readingTime;
      },
      DatabaseMonitorActions(monitorDb, *table, kAdminLogin));
  ASSERT_TRUE(QTest::qWaitFor([&] { return readingTime == "2026-12-10 08:00:00"; }, 5000));
  const int before = redraws;
  ASSERT_TRUE(QTest::qWaitFor([&] { return redraws > before; }, 12000));

  forwarder_->SetTarget(kSecondPort);
  forwarder_->CutAll();
  QElapsedTimer clock;
  clock.start();
  const bool back = QTest::qWaitFor([&] { return readingTime == "2026-12-10 08:00:30"; }, 20000);
  const qint64 ms = clock.elapsed();
  monitor.Stop();
  std::printf("measured: live data from the other server %lld ms after the switch\n", static_cast<long long>(ms));
  ASSERT_TRUE(back);
  EXPECT_LE(ms, kLiveBackLimitMs);
}

// The commit reached the server, its reply did not: the change is looked up, not guessed.
TEST_F(Failover, LostReplyToACommitReportsWhatTheServerDid) {
  Db().BeginHeldUse({});
  using Kind = admin::ChangeOutcome::Kind;

  forwarder_->DropReplyTo("commit");
  EXPECT_EQ(admin::AddCompany(Db(), kStation, "0009", platform::Utf8ToGbk("新公司")).kind, Kind::kDone);
  EXPECT_EQ(forwarder_->CutCount(), 1);
  EXPECT_EQ(Count(*first_, "select count(*) from company_tab where company_num='0009'"), 1);

  forwarder_->DropReplyTo("commit");
  EXPECT_EQ(admin::DeleteCompany(Db(), kStation, "0009").kind, Kind::kDone);
  EXPECT_EQ(Count(*first_, "select count(*) from company_tab where company_num='0009'"), 0);

  // The reply to a statement inside the transaction: the server dropped it with the link.
  forwarder_->DropReplyTo("insert into company_tab");
  EXPECT_EQ(admin::AddCompany(Db(), kStation, "0010", "x").kind, Kind::kFailed);
  EXPECT_EQ(Count(*first_, "select count(*) from company_tab where company_num='0010'"), 0);

  // Nobody answers afterwards: what happened cannot be known, and the outcome says so.
  forwarder_->DropReplyTo("commit");
  forwarder_->SetTarget(kForwardPort + 100);  // nothing listens there
  EXPECT_EQ(admin::AddCompany(Db(), kStation, "0011", "y").kind, Kind::kUnconfirmed);
  EXPECT_FALSE(Db().LinkFaultPending()) << "the outcome tells of the lost link itself: no second notice";
  Db().EndHeldUse();
}

// A write whose reply was lost is never sent again, even outside a transaction.
TEST_F(Failover, WriteWithALostReplyIsNotRepeated) {
  first_->Exec("create table once_tab (n int)");
  Db().BeginHeldUse({});
  forwarder_->DropReplyTo("insert into once_tab");
  EXPECT_FALSE(Db().Execute("insert into once_tab values (1)"));
  EXPECT_EQ(Count(*first_, "select count(*) from once_tab"), 1);
  // A read is: the next one finds the connection again.
  forwarder_->DropReplyTo("select count(*) from once_tab");
  const DbResult read = Db().Select("select count(*) from once_tab");
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.rows[0][0], "1");
  Db().EndHeldUse();
}

TEST_F(Failover, UserDialogSaysAddedWhenTheCommitReplyWasLost) {
  ScriptedMessageBoxes boxes;
  RunDatabaseDialog(nullptr, [&](QWidget* parent) -> std::unique_ptr<QDialog> {
    auto dialog = std::make_unique<CUserManageDlg>(Db(), "admin", parent);
    CUserManageDlg* dlg = dialog.get();
    QTimer::singleShot(0, dlg, [&, dlg] {
      dlg->SetDlgItemText(res::IDC_USER_NAME, QStringLiteral("王五"));
      dlg->SetDlgItemText(res::IDC_USER_PASSWORD, QStringLiteral("p"));
      dlg->SetDlgItemText(res::IDC_USER_PASSWORD_AGAIN, QStringLiteral("p"));
      forwarder_->DropReplyTo("commit");
      QTest::mouseClick(res::Control<QPushButton>(dlg, res::IDC_USER_ADD), Qt::LeftButton);
      QCoreApplication::processEvents();  // a fault notice would show now
      EXPECT_EQ(dlg->GetDlgItemText(res::IDC_USER_STATUS), QStringLiteral("添加成功！"));
      EXPECT_EQ(res::Control<res::ReportListView>(dlg, res::IDC_USER_LIST)->GetItemCount(), 4);
      dlg->reject();
    });
    return dialog;
  });
  EXPECT_EQ(boxes.Count(), 0);
  EXPECT_EQ(Count(*first_, "select count(*) from user_tab"), 4);
}

// HOST lists the servers: a refused one, one that never answers and a node that is not ready
// for clients are passed over, each within the connect time-out.
TEST_F(Failover, ConnectFallsThroughTheListOfServers) {
  const int silentListener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(silentListener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(silentListener, 4), 0);
  ASSERT_EQ(::getsockname(silentListener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int silentPort = ntohs(address.sin_port);
  FakeWsrepNode notReady;
  ASSERT_GT(notReady.Port(), 0);

  DbSession db;
  db.SetConnectFailureReporting(false);
  const std::string refused = "127.0.0.1:" + std::to_string(kForwardPort + 100);
  ConfigureThroughForwarder(db, refused + ", 127.0.0.1:" + std::to_string(notReady.Port()) +
                                    ",127.0.0.1:" + std::to_string(silentPort) + ",127.0.0.1");
  QElapsedTimer clock;
  clock.start();
  db.ConnectDatabase();
  const qint64 ms = clock.elapsed();
  std::printf("measured: connect past a refused, a not-ready and a silent server: %lld ms\n",
              static_cast<long long>(ms));
  ASSERT_TRUE(db.LastConnectSucceeded()) << db.LastConnectFailure();
  EXPECT_GE(notReady.Refusals(), 1);
  EXPECT_LT(ms, (DbSession::kConnectTimeoutSeconds + 1) * 1000);
  EXPECT_TRUE(db.Select("select 1 from company_tab").ok);

  // All of them down: the failure names every server.
  ConfigureThroughForwarder(db, refused + ",127.0.0.1:" + std::to_string(notReady.Port()));
  db.ConnectDatabase();
  EXPECT_FALSE(db.LastConnectSucceeded());
  EXPECT_NE(db.LastConnectFailure().find(refused + ", 127.0.0.1:" + std::to_string(notReady.Port()) + ": WSREP"),
            std::string::npos)
      << db.LastConnectFailure();
  ::close(silentListener);
}

// A scheduled export whose server goes away under the history query runs it once more on a new
// connection and writes the whole file.
TEST_F(Failover, HeadlessExportRidesOutALostQuery) {
  for (int i = 0; i < 30; ++i)
    WriteReading(*first_, {"D000000001", "2024-05-01 " + std::string(i < 10 ? "0" : "") + std::to_string(i / 2) +
                                             (i % 2 ? ":30:00" : ":00:00")});
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("failover_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "Corvane.ini") << "[MYDB_CONFIG]\nHOST=127.0.0.1\nPORT=" << kForwardPort
                                     << "\nUID=root\nPWD=" << first_->server().password << "\nDBNAME=" << first_->name()
                                     << "\n";
  forwarder_->DropReplyTo("history_tab");
  const std::string command = "cd '" + dir.string() +
                              "' && '" VELTRANE_EXECUTABLE
                              "' --export csv --user admin --password a --role 1 --devices D000000001 "
                              "--from 2024-05-01 --to 2024-05-01 --output out.csv 2>&1";
  std::string out;
  int status = -1;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  EXPECT_EQ(forwarder_->CutCount(), 1) << "the reply to the query was lost once";
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("30 条记录"), std::string::npos) << out;
  std::ifstream csv(dir / "out.csv");
  int lines = 0;
  for (std::string line; std::getline(csv, line);) ++lines;
  EXPECT_EQ(lines, 31) << "a header and every reading";
  std::filesystem::remove_all(dir);
}

// On a real cluster, when asked: VELTRANE_CLUSTER_PORT (the proxy), VELTRANE_CLUSTER_DB,
// VELTRANE_CLUSTER_PASSWORD (root) and VELTRANE_CLUSTER_KILL (a command that kills the node
// the proxy sends writers to). Measures how long the live table is blind after the kill.
TEST(ClusterFailover, MeasuredWhenAsked) {
  const char* port = std::getenv("VELTRANE_CLUSTER_PORT");
  const char* kill = std::getenv("VELTRANE_CLUSTER_KILL");
  if (!port || !kill) GTEST_SKIP() << "no cluster named (VELTRANE_CLUSTER_PORT, VELTRANE_CLUSTER_KILL)";
  const std::string database = std::getenv("VELTRANE_CLUSTER_DB") ? std::getenv("VELTRANE_CLUSTER_DB") : "coldstore";
  const std::string password = std::getenv("VELTRANE_CLUSTER_PASSWORD") ? std::getenv("VELTRANE_CLUSTER_PASSWORD") : "";
  DbSession writer, monitorDb;
  // VELTRANE_CLUSTER_HOST may list the nodes themselves instead of the proxy.
  const std::string host = std::getenv("VELTRANE_CLUSTER_HOST") ? std::getenv("VELTRANE_CLUSTER_HOST") : "127.0.0.1";
  for (DbSession* db : {&writer, &monitorDb}) db->Configure(host, std::atoi(port), "root", password, database);
  monitorDb.SetReadsOwnWrites(false);
  writer.ConnectDatabase();
  ASSERT_TRUE(writer.LastConnectSucceeded()) << writer.LastConnectFailure();
  const auto write = [&](const char* time) {
    for (int i = 0; i < 100; ++i) {
      if (writer.Execute("replace into monitordat_tab values ('FAILOVER01','0001','01','" + std::string(time) +
                         "',21.5,0,55.0,0,20.0,3.6,1,0.0)"))
        return true;
      writer.ConnectDatabase();
    }
    return false;
  };
  ASSERT_TRUE(writer.Execute("replace into device_tab values ('FAILOVER01','failover','0001','01')"));
  ASSERT_TRUE(write("2026-12-10 08:00:00"));
  auto table = DeviceLiveTable::Create();
  QObject window;
  std::string readingTime;
  std::uint32_t lastGoodRefresh = 0;
  MonitorThread monitor;
  monitor.Start(
      &window,
      [&] {
        std::lock_guard lock(table->mutex);
        if (table->lastRefresh.ok) lastGoodRefresh = table->lastRefresh.tick;
        for (int i = 0; i < table->liveCount; ++i)
          if (table->records[i].deviceId == "FAILOVER01") readingTime = table->records[i].readingTime;
      },
      DatabaseMonitorActions(monitorDb, *table, kAdminLogin));
  ASSERT_TRUE(QTest::qWaitFor([&] { return readingTime == "2026-12-10 08:00:00"; }, 15000));
  QTest::qWait(3000);  // somewhere in the refresh period
  QElapsedTimer clock;
  clock.start();
  ASSERT_EQ(std::system(kill), 0);
  const qint64 killed = clock.elapsed();
  const std::uint32_t killTick = platform::GetTickCount();
  QElapsedTimer sinceKill;
  sinceKill.start();
  ASSERT_TRUE(write("2026-12-10 08:00:10"));
  const qint64 written = sinceKill.elapsed();
  // The monitor waits for this (busy) thread after each refresh: its last stamp is its first
  // read after the kill, if there was one.
  const bool read = QTest::qWaitFor([&] { return static_cast<std::int32_t>(lastGoodRefresh - killTick) > 0; }, 60000);
  const qint64 readAfter = static_cast<std::int32_t>(lastGoodRefresh - killTick);
  const bool back = QTest::qWaitFor([&] { return readingTime == "2026-12-10 08:00:10"; }, 60000);
  const qint64 ms = sinceKill.elapsed();
  monitor.Stop();
  std::printf(
      "measured: cluster node killed (the kill took %lld ms); live table read again after %lld ms; a reading "
      "written %lld ms after the kill shown after %lld ms\n",
      static_cast<long long>(killed), static_cast<long long>(readAfter), static_cast<long long>(written),
      static_cast<long long>(ms));
  EXPECT_TRUE(read);
  writer.Execute("delete from monitordat_tab where device_id='FAILOVER01'");
  writer.Execute("delete from device_tab where device_num='FAILOVER01'");
  ASSERT_TRUE(back);
  EXPECT_LE(ms, kLiveBackLimitMs);
}

}  // namespace
