// Cost of one live refresh for a full table of 1024 devices.
//
//   live_refresh_bench                      the merge alone (no server)
//   VELTRANE_DB_PORT=... live_refresh_bench also the whole refresh against a private server
//                                           (database "bench_live_refresh", created and dropped),
//                                           and the client library alone for the same statement
#include <benchmark/benchmark.h>
#include <mysql.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "AlarmSummary.h"
#include "BenchSchema.h"
#include "DbSession.h"
#include "LoginState.h"
#include "RefreshLiveTable.h"

namespace {

constexpr int kDevices = DeviceLiveTable::kCapacity;
constexpr const char* kBenchDatabase = "bench_live_refresh";

std::string DeviceId(int i) {
  char id[16];
  std::snprintf(id, sizeof id, "D%09d", i);
  return id;
}

std::vector<LiveRow> Rows(const char* time) {
  std::vector<LiveRow> rows;
  for (int i = 0; i < kDevices; ++i)
    rows.push_back({DeviceId(i), "company", "department", time, "21.5", "0", "45.0", "0", "30.1", "3.6", "1", "12.0",
                    "device " + std::to_string(i)});
  return rows;
}

// Every row updates an existing record: the steady state, with the linear search at its longest.
void BM_MergeIntoFullTable(benchmark::State& state) {
  auto table = DeviceLiveTable::Create();
  const std::vector<LiveRow> first = Rows("2024-05-01 10:00:00");
  const std::vector<LiveRow> next = Rows("2024-05-01 10:00:10");
  ApplyLiveRows(*table, first, 1);
  std::uint32_t tick = 2;
  for (auto _ : state) {
    ApplyLiveRows(*table, (tick & 1) ? first : next, tick);
    ++tick;
  }
  state.SetItemsProcessed(state.iterations() * kDevices);
}
BENCHMARK(BM_MergeIntoFullTable)->Unit(benchmark::kMicrosecond);

// The first refresh: every row creates its record.
void BM_FillEmptyTable(benchmark::State& state) {
  const std::vector<LiveRow> rows = Rows("2024-05-01 10:00:00");
  for (auto _ : state) {
    state.PauseTiming();
    auto table = DeviceLiveTable::Create();
    state.ResumeTiming();
    ApplyLiveRows(*table, rows, 1);
    benchmark::DoNotOptimize(table->LiveCount());
    state.PauseTiming();
    table.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FillEmptyTable)->Unit(benchmark::kMicrosecond);

// What the main frame adds to every refresh: the state scan behind the alarm summary and bell.
void BM_AlarmScanOfFullTable(benchmark::State& state) {
  auto table = DeviceLiveTable::Create();
  ApplyLiveRows(*table, Rows("2024-05-01 10:00:00"), 1);
  readings::DeviceEventDetector detector;
  for (auto _ : state) {
    const alarms::LiveScan scan = alarms::ScanLiveTable(*table, 50000, 120);
    benchmark::DoNotOptimize(readings::RingsBell(detector.Feed(scan.devices)));
  }
}
BENCHMARK(BM_AlarmScanOfFullTable)->Unit(benchmark::kMicrosecond);

// --- against the server ---------------------------------------------------------------------

// The session the refresh runs on, as the station's monitor thread does.
DbSession& RefreshSession() {
  static DbSession session;
  return session;
}

bool PrepareServerDatabase() {
  const char* port = std::getenv("VELTRANE_DB_PORT");
  if (!port) return false;
  const char* password = std::getenv("VELTRANE_DB_PASSWORD");
  static DbSession admin;
  admin.Configure("127.0.0.1", std::atoi(port), "root", password ? password : "veltrane-test", "");
  admin.ConnectDatabase();
  if (!admin.LastConnectSucceeded()) return false;
  admin.Execute(std::string("DROP DATABASE IF EXISTS ") + kBenchDatabase);
  admin.Execute(std::string("CREATE DATABASE ") + kBenchDatabase + " DEFAULT CHARACTER SET gbk");
  admin.Execute(std::string("USE ") + kBenchDatabase);
  if (!RunStationSchema(admin)) return false;
  admin.Execute("insert into company_tab values ('C001','company')");
  admin.Execute("insert into department_tab values ('01','C001','department')");
  std::string devices = "insert into device_tab values ", readings = "insert into monitordat_tab values ";
  for (int i = 0; i < kDevices; ++i) {
    devices += (i ? ",('" : "('") + DeviceId(i) + "','device " + std::to_string(i) + "','C001','01')";
    readings += (i ? ",('" : "('") + DeviceId(i) + "','C001','01','2024-05-01 10:00:00',21.5,0,45.0,0,30.1,3.6,1,12.0)";
  }
  admin.Execute(devices);
  admin.Execute(readings);
  DbSession& db = RefreshSession();
  db.Configure("127.0.0.1", std::atoi(port), "root", password ? password : "veltrane-test", kBenchDatabase);
  db.ConnectDatabase();
  return db.LastConnectSucceeded() != 0;
}

void BM_RefreshLiveTableFromServer(benchmark::State& state) {
  static const bool ready = PrepareServerDatabase();
  if (!ready) {
    state.SkipWithError("set VELTRANE_DB_PORT to a running private server");
    return;
  }
  const Login login{"root", kRoleAdministrator};
  auto table = DeviceLiveTable::Create();
  RefreshLiveTable(RefreshSession(), *table, login);
  for (auto _ : state) RefreshLiveTable(RefreshSession(), *table, login);
  state.counters["devices"] = table->LiveCount();
}
BENCHMARK(BM_RefreshLiveTableFromServer)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The floor: the same statement through the client library on one kept connection, stored and
// every row fetched, nothing else.
void BM_ClientLibraryFloor(benchmark::State& state) {
  static const bool ready = PrepareServerDatabase();
  const char* port = std::getenv("VELTRANE_DB_PORT");
  const char* password = std::getenv("VELTRANE_DB_PASSWORD");
  MYSQL* mysql = ready ? mysql_init(nullptr) : nullptr;
  if (!mysql || !mysql_real_connect(mysql, "127.0.0.1", "root", password ? password : "veltrane-test", kBenchDatabase,
                                    static_cast<unsigned>(std::atoi(port)), nullptr, 0)) {
    state.SkipWithError("set VELTRANE_DB_PORT to a running private server");
    if (mysql) mysql_close(mysql);
    return;
  }
  mysql_set_character_set(mysql, "gbk");
  const std::string sql = BuildLiveQuery(RefreshSession(), kRoleAdministrator, "");
  std::size_t bytes = 0;
  for (auto _ : state) {
    if (mysql_real_query(mysql, sql.data(), sql.size()) != 0) break;
    MYSQL_RES* result = mysql_store_result(mysql);
    if (!result) break;
    const unsigned columns = mysql_num_fields(result);
    while (MYSQL_ROW row = mysql_fetch_row(result))
      for (unsigned c = 0; c < columns; ++c) bytes += row[c] ? 1 : 0;
    mysql_free_result(result);
  }
  benchmark::DoNotOptimize(bytes);
  mysql_close(mysql);
}
BENCHMARK(BM_ClientLibraryFloor)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
