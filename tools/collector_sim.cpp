// Collector simulator: writes the latest reading of every registered device into
// monitordat_tab and appends every reading to history_tab, every few seconds.
//
//   collector-sim [--host H] [--port P] [--user U] [--password W] [--database D]
//                 [--interval SECONDS] [--backfill-days N] [--once]
//
// Without options the connection comes from ./Corvane.ini (as the station reads it).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppConfig.h"
#include "DbSession.h"
#include "SimulatedDevice.h"
#include "TickCount.h"

namespace {

constexpr const char* kDevicesQuery =
    "select device_num, company_num, department_num from device_tab order by device_num";
// Each device continues from its latest valid values (codes 0-2; 3 and 4 carry a meaningless
// 0), so the walk stays in the demo data's ranges also after a sensor fault.
constexpr const char* kLatestTemperatureQuery =
    "select tempe from history_tab where device_id='%s' and tempe_alarm between 0 and 2 "
    "order by datetime desc limit 1";
constexpr const char* kLatestHumidityQuery =
    "select hum from history_tab where device_id='%s' and hum_alarm between 0 and 2 order by datetime desc limit 1";
constexpr const char* kLatestStatement =
    "replace into monitordat_tab (device_id,company_num,department_num,datetime,tempe,tempe_alarm,hum,hum_alarm,"
    "device_tempe,voltage,power,current) values ('%s','%s','%s','%s',%s,%d,%s,%d,%s,%s,%d,%s)";
constexpr const char* kHistoryInsert =
    "insert ignore into history_tab (device_id,company_num,department_num,datetime,tempe,tempe_alarm,hum,hum_alarm,"
    "device_tempe,voltage,power,current) values ";
constexpr int kBackfillStepSeconds = 600;
constexpr const char* kUsage =
    "usage: collector-sim [--host H] [--port P] [--user U] [--password W] [--database D]\n"
    "                     [--interval SECONDS] [--backfill-days N] [--once]\n"
    "Writes a simulated reading of every device in device_tab into monitordat_tab and history_tab\n"
    "every SECONDS (default 5). The connection comes from ./Corvane.ini; the options override it.\n";

volatile std::sig_atomic_t stopRequested = 0;

std::string TimeText(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  return text;
}

std::string HistoryValues(DbSession& db, const SimulatedDevice& d, const SimReading& r, const std::string& when) {
  return db.Format(
      "('%s','%s','%s','%s',%s,%d,%s,%d,%s,%s,%d,%s)",
      {d.id(), d.company(), d.department(), when, Number(r.temperature), r.temperatureAlarm, Number(r.humidity),
       r.humidityAlarm, Number(r.internalTemperature), Number(r.voltage), r.power, Number(r.current)});
}

std::vector<SimulatedDevice> LoadDevices(DbSession& db) {
  std::vector<SimulatedDevice> devices;
  DbResult result = db.Select(kDevicesQuery);
  int index = 0;
  const auto latest = [&db](const char* query, const std::string& id) -> std::optional<double> {
    const DbResult value = db.Select(db.Format(query, {id}));
    if (!value.ok || value.rows.empty() || value.rows[0][0].empty()) return std::nullopt;
    return std::atof(value.rows[0][0].c_str());
  };
  for (const DbRow& row : result.rows) {
    const SimStart start{latest(kLatestTemperatureQuery, row[0]), latest(kLatestHumidityQuery, row[0])};
    devices.emplace_back(row[0], row[1], row[2], BehaviourForIndex(index), 1000u + static_cast<unsigned>(index), start);
    devices.back().StartOutsideLimit(ForcedAlarmForIndex(index));
    ++index;
  }
  return devices;
}

void Backfill(DbSession& db, std::vector<SimulatedDevice>& devices, int days) {
  const std::time_t now = std::time(nullptr);
  for (auto& device : devices) {
    std::string batch;
    int inBatch = 0;
    for (std::time_t t = now - static_cast<std::time_t>(days) * 86400; t < now; t += kBackfillStepSeconds) {
      batch += (inBatch ? "," : "") + HistoryValues(db, device, device.Step(), TimeText(t));
      if (++inBatch == 500) {
        db.Execute(kHistoryInsert + batch);
        batch.clear();
        inBatch = 0;
      }
    }
    if (inBatch) db.Execute(kHistoryInsert + batch);
  }
}

void WriteReadings(DbSession& db, std::vector<SimulatedDevice>& devices, bool first) {
  const std::string now = TimeText(std::time(nullptr));
  std::string history;
  for (auto& device : devices) {
    if (device.behaviour() == DeviceBehaviour::Silent && !first) continue;
    const SimReading r = device.Step();
    db.Execute(
        db.Format(kLatestStatement, {device.id(), device.company(), device.department(), now, Number(r.temperature),
                                     r.temperatureAlarm, Number(r.humidity), r.humidityAlarm,
                                     Number(r.internalTemperature), Number(r.voltage), r.power, Number(r.current)}));
    history += (history.empty() ? "" : ",") + HistoryValues(db, device, r, now);
  }
  if (!history.empty()) db.Execute(kHistoryInsert + history);
}

}  // namespace

int main(int argc, char** argv) {
  int interval = 5, backfillDays = 0;
  bool once = false;
  // Options are read before Corvane.ini, so --help creates no file; they override the file.
  std::vector<std::pair<std::string, std::string>> overrides;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (arg == "--host" || arg == "--port" || arg == "--user" || arg == "--password" || arg == "--database")
      overrides.emplace_back(arg, value());
    else if (arg == "--interval")
      interval = std::max(1, std::atoi(value().c_str()));
    else if (arg == "--backfill-days")
      backfillDays = std::max(0, std::atoi(value().c_str()));
    else if (arg == "--once")
      once = true;
    else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  AppConfig config;
  ReadOrCreateConfig(config, kConfigPath);
  for (const auto& [option, text] : overrides) {
    if (option == "--host")
      config.host = text;
    else if (option == "--port")
      config.port = std::atoi(text.c_str());
    else if (option == "--user")
      config.user = text;
    else if (option == "--password")
      config.password = text;
    else
      config.database = text;
  }
  std::signal(SIGTERM, [](int) { stopRequested = 1; });
  std::signal(SIGINT, [](int) { stopRequested = 1; });

  DbSession db;
  db.Configure(config.host, config.port, config.user, config.password, config.database);
  db.ConnectDatabase();
  if (!db.LastConnectSucceeded()) {
    std::fprintf(stderr, "collector-sim: cannot connect to %s:%d/%s\n", config.host.c_str(), config.port,
                 config.database.c_str());
    return 1;
  }
  std::vector<SimulatedDevice> devices = LoadDevices(db);
  std::fprintf(stderr, "collector-sim: %zu devices, a reading every %d s\n", devices.size(), interval);
  if (backfillDays > 0) Backfill(db, devices, backfillDays);

  bool first = true;
  while (!stopRequested) {
    if (db.Ping() != 0) db.ConnectDatabase();
    WriteReadings(db, devices, first);
    first = false;
    if (once) break;
    for (int waited = 0; waited < interval * 10 && !stopRequested; ++waited) platform::Sleep(100);
  }
  return 0;
}
