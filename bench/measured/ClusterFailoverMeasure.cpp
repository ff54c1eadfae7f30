// How long the live table is blind when the node a proxy sends writers to is killed, on a real
// cluster (docs/CLUSTER.md has the figures): a GoogleTest program that ctest does not run. Name
// the cluster in VELTRANE_CLUSTER_PORT (the proxy), VELTRANE_CLUSTER_DB, VELTRANE_CLUSTER_PASSWORD
// (root) and VELTRANE_CLUSTER_KILL (a command that kills the writers' node), and run
// build/bench/cluster_failover_measure.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QObject>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DbSession.h"
#include "DeviceLiveTable.h"
#include "LoginState.h"
#include "MonitorThread.h"
#include "TickCount.h"

namespace {

const Login kAdminLogin{"admin", kRoleAdministrator};
constexpr qint64 kLiveBackLimitMs = 15000;

TEST(ClusterFailover, LiveTableBlindAfterTheWritersNodeIsKilled) {
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
        for (int i = 0; i < table->LiveCount(); ++i)
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
