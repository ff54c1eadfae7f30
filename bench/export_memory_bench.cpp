// Peak resident memory and time of the headless export (veltrane --export), the whole process
// as a scheduled job runs it: csv, events, xls and pdf of
//
//   10 devices x 30 days at one reading a minute (432,000 readings)
//   20 devices x  7 days                          (201,600 readings)
//
// Each case runs --runs times (default 3); the line gives the median wall and CPU time, the
// median peak resident set (the kernel's ru_maxrss of the finished process) and its range.
// Needs the private server (VELTRANE_DB_PORT, VELTRANE_DB_PASSWORD). The scratch database
// "b_export" is seeded on first use and kept for the next run; --drop removes it at the end.
//
//   build/bench/export_memory_bench [--runs N] [--kinds csv,events,xls,pdf] [--drop] [--executable PATH]
//
// --executable measures another build of veltrane (an earlier one, for a before/after pair).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSchema.h"
#include "DbSession.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDatabase = "b_export";
constexpr int kDevices = 20;
constexpr int kMonthDevices = 10;  // the first ten have 30 days, the rest 7
constexpr int kMonthDays = 30;
constexpr int kWeekDays = 7;
constexpr int kReadingsPerDay = 1440;
const QDate kFirstDay(2024, 5, 1);
constexpr const char* kUser = "bench";

struct ExportCase {
  int devices;
  int days;
};
constexpr ExportCase kCases[] = {{10, kMonthDays}, {20, kWeekDays}};

int Port() { return std::getenv("VELTRANE_DB_PORT") ? std::atoi(std::getenv("VELTRANE_DB_PORT")) : 33061; }
std::string Password() {
  return std::getenv("VELTRANE_DB_PASSWORD") ? std::getenv("VELTRANE_DB_PASSWORD") : "veltrane-test";
}
std::string DeviceId(int d) { return QString::asprintf("B%09d", d).toStdString(); }
long long ExpectedReadings() {
  return static_cast<long long>(kMonthDevices * kMonthDays + (kDevices - kMonthDevices) * kWeekDays) * kReadingsPerDay;
}

// Excursions as a warehouse sees them (as in history_bench): 20 minutes above every four hours,
// 10 minutes below every six, five minutes on battery twice a day.
std::string DayInsert(int device, int day) {
  std::string sql = "insert into history_tab values ";
  const std::string date = kFirstDay.addDays(day).toString(Qt::ISODate).toStdString();
  for (int m = 0; m < kReadingsPerDay; ++m) {
    if (m) sql += ",";
    sql += "('" + DeviceId(device) + "','0001','01','" + date +
           QString::asprintf(" %02d:%02d:00',%.1f,%d,%.1f,%d,30.0,3.6,%d,12.0)", m / 60, m % 60, 20 + (m % 100) / 10.0,
                             m % 240 < 20 ? 1 : 0, 50 + (m % 50) / 10.0, m % 360 < 10 ? 2 : 0, m % 720 < 5 ? 0 : 1)
               .toStdString();
  }
  return sql;
}

bool SeedDatabase(DbSession& admin) {
  admin.Configure("127.0.0.1", Port(), "root", Password(), "");
  admin.ConnectDatabase();
  if (!admin.LastConnectSucceeded()) return false;
  const DbResult count = admin.Select(std::string("select count(*) from ") + kDatabase + ".history_tab");
  if (count.ok && !count.rows.empty() && count.rows[0][0] == std::to_string(ExpectedReadings())) return true;
  std::fprintf(stderr, "seeding %s (%lld readings)...\n", kDatabase, ExpectedReadings());
  admin.Execute(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
  admin.Execute(std::string("CREATE DATABASE ") + kDatabase + " DEFAULT CHARACTER SET gbk");
  admin.Execute(std::string("USE ") + kDatabase);
  if (!RunStationSchema(admin)) return false;
  admin.Execute("insert into company_tab values ('0001','C')");
  admin.Execute("insert into department_tab values ('01','0001','D')");
  admin.Execute(std::string("insert into user_tab values ('") + kUser + "','" + kUser + "',1)");
  for (int d = 0; d < kDevices; ++d) {
    admin.Execute("insert into device_tab values ('" + DeviceId(d) + "','N','0001','01')");
    for (int day = 0; day < (d < kMonthDevices ? kMonthDays : kWeekDays); ++day)
      if (!admin.Execute(DayInsert(d, day))) return false;
  }
  return true;
}

struct RunFigures {
  double wallSeconds = 0;
  double cpuSeconds = 0;
  double peakMb = 0;
  int status = -1;
};

RunFigures RunExport(const std::string& executable, const fs::path& dir, const std::vector<std::string>& args) {
  RunFigures figures;
  std::fflush(stdout);  // the child must not print it again
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(dir.c_str()) != 0) _exit(127);
    std::vector<char*> argv{const_cast<char*>(executable.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::freopen("/dev/null", "w", stdout);
    std::freopen("/dev/null", "w", stderr);
    ::execv(executable.c_str(), argv.data());
    _exit(127);
  }
  int raw = 0;
  struct rusage usage {};
  if (pid < 0 || ::wait4(pid, &raw, 0, &usage) != pid) return figures;
  figures.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  figures.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  figures.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  figures.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return figures;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (std::size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
    items.push_back(text.substr(start, comma - start));
  items.push_back(text.substr(start));
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  bool drop = false;
  std::string executable = VELTRANE_EXECUTABLE;
  std::vector<std::string> kinds{"csv", "events", "xls", "pdf"};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--kinds" && i + 1 < argc)
      kinds = Split(argv[++i]);
    else if (arg == "--drop")
      drop = true;
    else if (arg == "--executable" && i + 1 < argc)
      executable = argv[++i];
    else
      return std::fprintf(stderr, "usage: %s [--runs N] [--kinds csv,events,xls,pdf] [--drop] [--executable PATH]\n",
                          argv[0]),
             2;
  }
  DbSession admin;
  if (!SeedDatabase(admin)) return std::fprintf(stderr, "test server not reachable or seeding failed\n"), 1;

  const fs::path dir = fs::temp_directory_path() / ("export_memory_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream(dir / "Corvane.ini") << "[MYDB_CONFIG]\nHOST=127.0.0.1\nPORT=" << Port()
                                     << "\nUID=root\nPWD=" << Password() << "\nDBNAME=" << kDatabase << "\n";
  std::printf("%-7s %-9s %9s %10s %9s %10s %16s\n", "kind", "devices", "readings", "wall s", "cpu s", "peak MB",
              "min-max MB");
  for (const ExportCase& c : kCases) {
    std::string devices;
    for (int d = 0; d < c.devices; ++d) devices += (d ? "," : "") + DeviceId(d);
    const std::string to = kFirstDay.addDays(c.days - 1).toString(Qt::ISODate).toStdString();
    for (const std::string& kind : kinds) {
      const std::string output = "out." + std::string(kind == "xls" || kind == "pdf" ? kind : "txt");
      std::vector<double> wall, cpu, peak;
      for (int r = 0; r < runs; ++r) {
        const RunFigures f =
            RunExport(executable, dir,
                      {"--export", kind, "--user", kUser, "--password", kUser, "--role", "1", "--devices", devices,
                       "--from", kFirstDay.toString(Qt::ISODate).toStdString(), "--to", to, "--output", output});
        if (f.status != 0) {
          std::fprintf(stderr, "%s failed (exit %d)\n", kind.c_str(), f.status);
          break;
        }
        wall.push_back(f.wallSeconds);
        cpu.push_back(f.cpuSeconds);
        peak.push_back(f.peakMb);
        fs::remove(dir / output);
      }
      if (peak.empty()) continue;
      std::printf("%-7s %2d x %2d d %9lld %10.2f %9.2f %10.1f %7.1f-%.1f\n", kind.c_str(), c.devices, c.days,
                  static_cast<long long>(c.devices) * c.days * kReadingsPerDay, Median(wall), Median(cpu), Median(peak),
                  *std::min_element(peak.begin(), peak.end()), *std::max_element(peak.begin(), peak.end()));
      std::fflush(stdout);
    }
  }
  fs::remove_all(dir);
  if (drop) admin.Execute(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
  return 0;
}
