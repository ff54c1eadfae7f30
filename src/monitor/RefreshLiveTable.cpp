#include "RefreshLiveTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

#include "Catalogue.h"
#include "DbSession.h"
#include "Diagnostic.h"
#include "LoginState.h"
#include "ReadingClock.h"
#include "TickCount.h"

namespace {

constexpr const char* kAdminLiveQuery =
    "select monitordat_tab.device_id,company_tab.company_name,department_tab.department_name,monitordat_tab.datetime,"
    "monitordat_tab.tempe,monitordat_tab.tempe_alarm,\t\t\t\t  monitordat_tab.hum,monitordat_tab.hum_alarm,"
    "monitordat_tab.device_tempe,monitordat_tab.voltage,monitordat_tab.power,monitordat_tab.current,\t\t\t\t  "
    "device_tab.device_name \t\t\t\t  from monitordat_tab,company_tab,department_tab,device_tab\t\t\t\t  "
    "where monitordat_tab.company_num=company_tab.company_num \t\t\t\t  "
    "and monitordat_tab.company_num=department_tab.company_num \t\t\t\t  "
    "and monitordat_tab.department_num=department_tab.department_num \t\t\t\t  "
    "and monitordat_tab.device_id=device_tab.device_num";

constexpr const char* kUserLiveQuery =
    "select monitordat_tab.device_id,company_tab.company_name,department_tab.department_name,monitordat_tab.datetime,"
    "monitordat_tab.tempe,monitordat_tab.tempe_alarm,\t\t\t\t\t\tmonitordat_tab.hum,monitordat_tab.hum_alarm,"
    "monitordat_tab.device_tempe,monitordat_tab.voltage,monitordat_tab.power,monitordat_tab.current,\t\t\t\t\t\t"
    "device_tab.device_name \t\t\t\t\t\tfrom monitordat_tab,company_tab,department_tab,permission_tab,user_tab,"
    "device_tab\t\t\t\t\t\twhere monitordat_tab.company_num=company_tab.company_num \t\t\t\t\t\t"
    "and monitordat_tab.company_num=department_tab.company_num \t\t\t\t\t\t"
    "and monitordat_tab.department_num=department_tab.department_num\t\t\t\t\t\t"
    "and user_tab.user_name=permission_tab.user_name\t\t\t\t\t\t"
    "and monitordat_tab.company_num=permission_tab.company_num\t\t\t\t\t\t"
    "and monitordat_tab.department_num=permission_tab.department_num\t\t\t\t\t\t"
    "and monitordat_tab.device_id=device_tab.device_num\t\t\t\t\t\t"
    "and user_tab.user_name='%s'";

// The library's parse, stored as the float of the ring (ParseDecimal keeps to float's range).
float ParseDecimal(std::string_view text) { return static_cast<float>(readings::ParseDecimal(text)); }
using readings::ParseCode;

// A missing temperature or humidity is shown as "no value" rather than with a stale or
// invented number; a sensor-offline code is kept as it is.
std::int32_t AlarmFor(float value, const std::string& alarm) {
  const std::int32_t code = ParseCode(alarm);
  if (!readings::HasValue(value) && code != kAlarmSensorOffline) return kAlarmNoValue;
  return code;
}

LiveSample SampleFrom(const LiveRow& row) {
  LiveSample s;
  s.temperature = ParseDecimal(row[kColTemperature]);
  s.temperatureAlarm = AlarmFor(s.temperature, row[kColTemperatureAlarm]);
  s.humidity = ParseDecimal(row[kColHumidity]);
  s.humidityAlarm = AlarmFor(s.humidity, row[kColHumidityAlarm]);
  s.internalTemperature = ParseDecimal(row[kColInternalTemperature]);
  s.voltage = ParseDecimal(row[kColVoltage]);
  s.powerSource = ParseCode(row[kColPowerSource]);
  s.current = ParseDecimal(row[kColCurrent]);
  return s;
}

void Assign(std::string& field, const std::string& value) {
  if (field != value) field = value;
}

void UpdateRecord(DeviceLiveRecord& record, const LiveRow& row, std::uint32_t nowTick) {
  Assign(record.companyName, row[kColCompanyName]);
  Assign(record.departmentName, row[kColDepartmentName]);
  if (row[kColDateTime] != record.readingTime) {
    record.changeTick = nowTick;
    record.readingTime = row[kColDateTime];
  }
  Assign(record.deviceName, row[kColDeviceName]);
  record.AppendSample(SampleFrom(row));
}

constexpr const char* kOverCapacityLine = "veltrane: 设备数超过%d，部分设备未显示\n";

}  // namespace

std::string BuildLiveQuery(DbSession& db, int role, const std::string& userName) {
  if (catalogue::SeesEveryDevice(role)) return kAdminLiveQuery;
  return db.Format(kUserLiveQuery, {userName});
}

void ApplyLiveRows(DeviceLiveTable& table, std::span<const LiveRow> rows, std::uint32_t nowTick,
                   std::optional<std::int64_t> localNowSeconds) {
  for (const LiveRow& row : rows) {
    if (row.size() < kLiveColumnCount) continue;
    if (DeviceLiveRecord* record = table.Find(row[kColDeviceId])) {
      UpdateRecord(*record, row, nowTick);
      continue;
    }
    DeviceLiveRecord* fresh = table.Add(row[kColDeviceId]);
    if (!fresh) {
      if (!table.overCapacity) platform::Diagnostic(kOverCapacityLine, DeviceLiveTable::kCapacity);
      table.overCapacity = true;
      continue;
    }
    UpdateRecord(*fresh, row, nowTick);
    // Also an empty reading time, or one that never changes, turns lost once the time-out
    // has passed since now; an old one at once, by its own age.
    fresh->changeTick = liveclock::FirstChangeTick(fresh->readingTime, nowTick, localNowSeconds);
  }
}

bool RefreshLiveTable(DbSession& db, DeviceLiveTable& table, const Login& login) {
  if (db.Ping() != 0) return false;
  // The rows of the previous refresh are overwritten in place: after the first refresh the
  // texts reuse their buffers and reading a result allocates next to nothing.
  static thread_local std::vector<LiveRow> rows;
  std::size_t count = 0;
  const bool ok = db.SelectEach(BuildLiveQuery(db, login.role, login.userName), [&](const DbRow& row) {
    if (count == rows.size()) rows.emplace_back();
    rows[count++] = row;
  });
  if (!ok) return false;
  const std::uint32_t now = platform::GetTickCount();
  const platform::LocalTime local = platform::GetLocalTime();
  std::lock_guard lock(table.mutex);
  ApplyLiveRows(table, std::span(rows).first(count), now, liveclock::CivilSeconds(local));
  table.lastRefresh = {true, now, local.hour, local.minute, local.second};
  return true;
}
