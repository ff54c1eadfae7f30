// Speed of the history pages.
//
//   AppendRows       100,000 prepared query rows into the table page's list; heap bytes per row
//   TableQuery       RunTableQuery: 10 devices x 30 days at one reading a minute (432,000 rows);
//                    heap bytes per row of the filled page
//   ClientQuery      the stock client running the same ten statements (--batch --raw)
//   CurveDay         the curve page loading and drawing 10 devices x 1 day (14,400 rows)
//   PlainQuery       the table page's statements over the same month, every row read, none kept
//   AlarmRecords     the alarm records of that month straight from the server (--export events);
//                    the records, the heap they hold, and the most one device's compact facts
//                    and records held while its records were found
//
// The database cases need the private server (VELTRANE_DB_PORT, VELTRANE_DB_PASSWORD); they
// build a scratch database "b_history" and drop it at the end.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QDateEdit>
#include <QTabBar>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "AlarmRecords.h"
#include "BenchSchema.h"
#include "CHistoryCurvePage.h"
#include "CHistoryQueryDlg.h"
#include "CHistoryTablePage.h"
#include "DbSession.h"
#include "HistoryQueryTemplate.h"
#include "HistoryStatements.h"
#include "HistoryTableQuery.h"
#include "LoginState.h"
#include "ReportListView.h"

namespace {

constexpr int kDevices = 10;
constexpr int kDays = 30;
constexpr const char* kDatabase = "b_history";
const QDate kFirstDay(2024, 5, 1);

int Port() { return std::getenv("VELTRANE_DB_PORT") ? std::atoi(std::getenv("VELTRANE_DB_PORT")) : 33061; }
std::string Password() {
  return std::getenv("VELTRANE_DB_PASSWORD") ? std::getenv("VELTRANE_DB_PASSWORD") : "veltrane-test";
}
std::string DeviceId(int d) { return QString::asprintf("B%09d", d).toStdString(); }

DbRow SampleRow(int i) {
  const QString time = QString::asprintf("2024-05-%02d %02d:%02d:00", 1 + i / 1440 % 28, i / 60 % 24, i % 60);
  return {DeviceId(i % kDevices),
          "\xbb\xaa\xb6\xab\xb9\xab\xcb\xbe",
          "\xb2\xd6\xbf\xe2\xd2\xbb",
          time.toStdString(),
          "23.5",
          std::to_string(i % 5),
          "55.0",
          std::to_string(i % 3),
          "31.0",
          "3.6",
          std::to_string(i % 3),
          "\xd2\xbb\xba\xc5\xcc\xbd\xcd\xb7",
          "12.5"};
}

// Heap in use (small chunks and mapped blocks alike).
double HeapBytes() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd);
}

void AppendRows(benchmark::State& state) {
  std::vector<DbRow> rows;
  for (int i = 0; i < 100000; ++i) rows.push_back(SampleRow(i));
  CHistoryTablePage page;
  double bytesPerRow = 0;
  for (auto _ : state) {
    page.ResultList()->DeleteAllItems();
    const double before = HeapBytes();
    page.AppendHistoryRows(rows);
    bytesPerRow = (HeapBytes() - before) / static_cast<double>(rows.size());
    benchmark::DoNotOptimize(page.ResultList()->GetItemCount());
  }
  state.counters["rows"] = page.ResultList()->GetItemCount();
  state.counters["bytes_per_row"] = bytesPerRow;
}
BENCHMARK(AppendRows)->Unit(benchmark::kMillisecond)->Iterations(10);

// --- database cases -----------------------------------------------------------------------

DbSession admin;
DbSession station;  // the one the dialogs are handed, as the station hands them its own
bool databaseReady = false;

bool CreateDatabase() {
  admin.Configure("127.0.0.1", Port(), "root", Password(), "");
  admin.ConnectDatabase();
  if (!admin.LastConnectSucceeded()) return false;
  admin.Execute(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
  admin.Execute(std::string("CREATE DATABASE ") + kDatabase + " DEFAULT CHARACTER SET gbk");
  admin.Execute(std::string("USE ") + kDatabase);
  if (!RunStationSchema(admin)) return false;
  admin.Execute("insert into company_tab values ('0001','C')");
  admin.Execute("insert into department_tab values ('01','0001','D')");
  for (int d = 0; d < kDevices; ++d) {
    admin.Execute("insert into device_tab values ('" + DeviceId(d) + "','N','0001','01')");
    for (int day = 0; day < kDays; ++day) {
      std::string sql = "insert into history_tab values ";
      const std::string date = history::DayStartText(kFirstDay.addDays(day)).substr(0, 10);
      for (int m = 0; m < 1440; ++m) {
        if (m) sql += ",";
        sql += "('" + DeviceId(d) + "','0001','01','" + date +
               QString::asprintf(" %02d:%02d:00',", m / 60, m % 60).toStdString() +
               // Excursions as a warehouse sees them: 20 minutes above every four hours, 10 minutes
               // below every six, five minutes on battery twice a day.
               QString::asprintf("%.1f,%d,%.1f,%d,30.0,3.6,%d,12.0)", 20 + (m % 100) / 10.0, m % 240 < 20 ? 1 : 0,
                                 50 + (m % 50) / 10.0, m % 360 < 10 ? 2 : 0, m % 720 < 5 ? 0 : 1)
                   .toStdString();
      }
      if (!admin.Execute(sql)) return false;
    }
  }
  station.Configure("127.0.0.1", Port(), "root", Password(), kDatabase);
  station.ConnectDatabase();
  return station.LastConnectSucceeded() != 0;
}

const Login kRoot{"root", kRoleAdministrator};

void FillQueryList(CHistoryQueryDlg& dlg) {
  for (int d = 0; d < kDevices; ++d) dlg.QueryList()->AppendRow({QString::fromStdString(DeviceId(d)), "", "", ""});
}

void TableQuery(benchmark::State& state) {
  if (!databaseReady) return state.SkipWithError("test server not reachable");
  CHistoryQueryDlg dlg(station, kRoot);
  FillQueryList(dlg);
  dlg.Item<QDateEdit>(res::IDC_HQ_START_DATE)->setDate(kFirstDay);
  dlg.Item<QDateEdit>(res::IDC_HQ_END_DATE)->setDate(kFirstDay.addDays(kDays - 1));
  double bytesPerRow = 0;
  for (auto _ : state) {
    dlg.TablePage()->ResultList()->DeleteAllItems();
    const double before = HeapBytes();
    dlg.RunTableQuery();
    bytesPerRow = (HeapBytes() - before) / std::max(1, dlg.TablePage()->ResultList()->GetItemCount());
  }
  state.counters["rows"] = dlg.TablePage()->ResultList()->GetItemCount();
  state.counters["bytes_per_row"] = bytesPerRow;
}
BENCHMARK(TableQuery)->Unit(benchmark::kMillisecond)->Iterations(3);

void ClientQuery(benchmark::State& state) {
  if (!databaseReady) return state.SkipWithError("test server not reachable");
  const std::string file = "/tmp/history_bench_statements.sql";
  {
    std::ofstream out(file);
    const auto escape = [](std::string_view t) { return EscapeGbkLiteral(t); };
    for (int d = 0; d < kDevices; ++d)
      out << history::TableQueryStatement(escape, DeviceId(d), history::DayStartText(kFirstDay),
                                          history::DayEndText(kFirstDay.addDays(kDays - 1)), 3, 3)
          << ";\n";
  }
  const std::string command = "mysql --batch --raw --default-character-set=gbk -h127.0.0.1 -P" +
                              std::to_string(Port()) + " -uroot -p" + Password() + " " + kDatabase + " < " + file +
                              " > /dev/null";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) return state.SkipWithError("mysql client failed");
}
BENCHMARK(ClientQuery)->Unit(benchmark::kMillisecond)->Iterations(3);

std::vector<std::string> DeviceIds() {
  std::vector<std::string> ids;
  for (int d = 0; d < kDevices; ++d) ids.push_back(DeviceId(d));
  return ids;
}

void PlainQuery(benchmark::State& state) {
  if (!databaseReady) return state.SkipWithError("test server not reachable");
  long long rows = 0;
  for (auto _ : state) {
    rows = 0;
    QueryHistoryRows(station, DeviceIds(), kFirstDay, kFirstDay.addDays(kDays - 1), 3, 3,
                     [&rows](const DbRow& row) { rows += static_cast<long long>(row.size() > 0); });
  }
  state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(PlainQuery)->Unit(benchmark::kMillisecond)->Iterations(3);

void AlarmRecords(benchmark::State& state) {
  if (!databaseReady) return state.SkipWithError("test server not reachable");
  std::vector<history::AlarmRecord> records;
  history::AlarmQueryFigures figures;
  double heldBytes = 0;
  for (auto _ : state) {
    records.clear();
    records.shrink_to_fit();
    figures = {};
    const double before = HeapBytes();
    history::QueryAlarmRecords(station, DeviceIds(), kFirstDay, kFirstDay.addDays(kDays - 1), 3, 3, records, &figures);
    heldBytes = HeapBytes() - before;
  }
  state.counters["readings"] = static_cast<double>(figures.readings);
  state.counters["records"] = static_cast<double>(records.size());
  state.counters["peak_state_bytes"] = static_cast<double>(figures.peakStateBytes);
  state.counters["heap_after_bytes"] = heldBytes;
}
BENCHMARK(AlarmRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void CurveDay(benchmark::State& state) {
  if (!databaseReady) return state.SkipWithError("test server not reachable");
  CHistoryQueryDlg dlg(station, kRoot);
  FillQueryList(dlg);
  dlg.Item<QDateEdit>(res::IDC_HQ_START_DATE)->setDate(kFirstDay);
  dlg.Item<QTabBar>(res::IDC_HQ_TABS)->setCurrentIndex(1);
  for (auto _ : state) dlg.OnQuery();
}
BENCHMARK(CurveDay)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  databaseReady = CreateDatabase();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (admin.LastConnectSucceeded()) admin.Execute(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
  return 0;
}
