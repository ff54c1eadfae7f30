// The database goes away while the station runs: the table keeps its last values, devices
// turn "通讯掉线" after the time-out, the 60-second ping fails to reconnect while the server is
// down and reconnects once it is back, and live data resumes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "DbSession.h"
#include "DeviceLiveTable.h"
#include "LoginState.h"
#include "MonitorLoop.h"
#include "MonitorThread.h"
#include "TestDatabase.h"
#include "TickCount.h"

namespace {

class PrivateServer {
 public:
  explicit PrivateServer(int port)
      : port_(port), dir_(std::filesystem::temp_directory_path() / ("veltrane-live-restart-" + std::to_string(port))) {}
  ~PrivateServer() {
    Run("down");
    std::filesystem::remove_all(dir_);
  }
  bool Run(const char* verb) const {
    const std::string command = "VELTRANE_DB_PORT=" + std::to_string(port_) +
                                " VELTRANE_DB_PASSWORD=" + TestServer::FromEnvironment().password +
                                " VELTRANE_DB_DIR='" + dir_.string() + "' " + VELTRANE_SCRIPTS_DIR "/db " + verb +
                                " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }

 private:
  int port_;
  std::filesystem::path dir_;
};

constexpr const char* kReading =
    "replace into monitordat_tab values ('D000000001','C001','01','%s',21.5,0,45.0,0,30.1,3.6,1,12.0)";

}  // namespace

TEST(MonitorRestart, LiveDataSurvivesAServerStopAndResumesAfterTheRestart) {
  if (!std::getenv("VELTRANE_DB_RESTART_TEST") && !std::getenv("CI"))
    GTEST_SKIP() << "set VELTRANE_DB_RESTART_TEST=1 (always on in CI)";
  const int port = TestServer::FromEnvironment().port + 9;
  PrivateServer server(port);
  ASSERT_TRUE(server.Run("up"));

  // A scratch database on the private server (TestDatabase reads the port from the environment).
  const char* previousPort = std::getenv("VELTRANE_DB_PORT");
  const std::string keptPort = previousPort ? previousPort : "";
  setenv("VELTRANE_DB_PORT", std::to_string(port).c_str(), 1);
  TestDatabase db("t_live_restart");
  if (previousPort)
    setenv("VELTRANE_DB_PORT", keptPort.c_str(), 1);
  else
    unsetenv("VELTRANE_DB_PORT");
  ASSERT_TRUE(db.ok());
  db.Exec("insert into company_tab values ('C001','A')");
  db.Exec("insert into department_tab values ('01','C001','B')");
  db.Exec("insert into device_tab values ('D000000001','C','C001','01')");
  char statement[256];
  std::snprintf(statement, sizeof statement, kReading, "2026-12-08 10:00:00");
  db.Exec(statement);
  db.ConnectProcessSession();

  std::uint32_t now = 1000;
  platform::SetTickSource([&] { return now; });
  auto table = DeviceLiveTable::Create();
  MonitorActions actions = DatabaseMonitorActions(Db(), *table, Login{"admin", kRoleAdministrator});
  actions.sleep = [](std::uint32_t) {};
  actions.notifyUi = [] {};
  MonitorLoop loop(std::move(actions));

  loop.RunPass();
  ASSERT_EQ(table->LiveCount(), 1);
  EXPECT_EQ(table->records[0].readingTime, "2026-12-08 10:00:00");
  const int samples = table->records[0].SampleCount();

  ASSERT_TRUE(server.Run("down"));
  now += 10001;
  loop.RunPass();  // refresh with the server gone: nothing changes
  EXPECT_EQ(table->records[0].SampleCount(), samples);
  now += 50000;
  loop.RunPass();  // the 60-second ping fails and the reconnect fails too
  EXPECT_EQ(Db().LastConnectSucceeded(), 0);
  now += 70000;
  EXPECT_TRUE(IsCommunicationLost(table->records[0], now, 120));
  EXPECT_EQ(table->records[0].readingTime, "2026-12-08 10:00:00") << "the last values stay";

  ASSERT_TRUE(server.Run("up"));
  {
    DbSession writer;  // the collector writes a new reading once the server is back
    const TestServer settings = TestServer::FromEnvironment();
    writer.Configure("127.0.0.1", port, "root", settings.password, db.name());
    writer.ConnectDatabase();
    ASSERT_EQ(writer.LastConnectSucceeded(), 1);
    std::snprintf(statement, sizeof statement, kReading, "2026-12-08 10:05:00");
    ASSERT_TRUE(writer.Execute(statement));
  }
  now += 60001;
  loop.RunPass();  // ping fails on the old link, the reconnect succeeds, the refresh reads again
  EXPECT_EQ(Db().LastConnectSucceeded(), 1);
  EXPECT_EQ(table->records[0].readingTime, "2026-12-08 10:05:00");
  EXPECT_EQ(table->records[0].changeTick, now);
  EXPECT_FALSE(IsCommunicationLost(table->records[0], now, 120));
  const DbResult charset = Db().Select("select @@character_set_client");
  ASSERT_EQ(charset.rows.size(), 1u);
  EXPECT_EQ(charset.rows[0][0], "gbk");

  platform::SetTickSource({});
  Db().Close();
}
