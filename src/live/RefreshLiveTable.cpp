#include "RefreshLiveTable.h"

#include <charconv>
#include <string_view>

#include "DbSession.h"
#include "LoginState.h"
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

std::string_view SkipLeading(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return text;
}

// atof/atoi on the leading number, but independent of the process locale (Qt sets the
// user's locale, where a decimal comma would cut "21.5" to 21). No number reads as 0.
float ParseDecimal(std::string_view text) {
  text = SkipLeading(text);
  float value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return 0;
  return value;
}

std::int32_t ParseInteger(std::string_view text) {
  text = SkipLeading(text);
  std::int32_t value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return 0;
  return value;
}

// SQL NULL arrives as an empty text. A missing temperature or humidity is shown as "no value"
// rather than as a plausible-looking 0.0; a sensor-offline code is kept as it is.
std::int32_t AlarmFor(const std::string& value, const std::string& alarm) {
  const std::int32_t code = ParseInteger(alarm);
  if (value.empty() && code != kAlarmSensorOffline) return kAlarmNoValue;
  return code;
}

LiveSample SampleFrom(const LiveRow& row) {
  LiveSample s;
  s.temperature = ParseDecimal(row[kColTemperature]);
  s.temperatureAlarm = AlarmFor(row[kColTemperature], row[kColTemperatureAlarm]);
  s.humidity = ParseDecimal(row[kColHumidity]);
  s.humidityAlarm = AlarmFor(row[kColHumidity], row[kColHumidityAlarm]);
  s.internalTemperature = ParseDecimal(row[kColInternalTemperature]);
  s.voltage = ParseDecimal(row[kColVoltage]);
  s.powerSource = ParseInteger(row[kColPowerSource]);
  s.current = ParseDecimal(row[kColCurrent]);
  return s;
}

DeviceLiveRecord* FindRecord(DeviceLiveTable& table, const std::string& deviceId) {
  for (int i = 0; i < table.liveCount; ++i)
    if (table.records[static_cast<std::size_t>(i)].deviceId == deviceId) return &table.records[static_cast<std::size_t>(i)];
  return nullptr;
}

void UpdateRecord(DeviceLiveRecord& record, const LiveRow& row, std::uint32_t nowTick) {
  record.companyName = row[kColCompanyName];
  record.departmentName = row[kColDepartmentName];
  if (row[kColDateTime] != record.readingTime) record.changeTick = nowTick;
  record.readingTime = row[kColDateTime];
  record.deviceName = row[kColDeviceName];
  record.AppendSample(SampleFrom(row));
}

}  // namespace

std::string BuildLiveQuery(int role, const std::string& userName) {
  if (role == kRoleAdministrator) return kAdminLiveQuery;
  return Db().Format(kUserLiveQuery, {userName});
}

void ApplyLiveRows(DeviceLiveTable& table, std::span<const LiveRow> rows, std::uint32_t nowTick) {
  for (const LiveRow& row : rows) {
    if (row.size() < kLiveColumnCount) continue;
    if (DeviceLiveRecord* record = FindRecord(table, row[kColDeviceId])) {
      UpdateRecord(*record, row, nowTick);
      continue;
    }
    if (table.liveCount >= DeviceLiveTable::kCapacity) continue;
    DeviceLiveRecord& fresh = table.records[static_cast<std::size_t>(table.liveCount)];
    fresh.ringWrite = 0;
    fresh.ringStart = 0;
    fresh.deviceId = row[kColDeviceId];
    UpdateRecord(fresh, row, nowTick);
    fresh.present = 1;
    fresh.shown = 1;
    ++table.liveCount;
  }
}

void RefreshLiveTable(DeviceLiveTable& table) {
  if (Db().Ping() != 0) return;
  const DbResult result = Db().Select(BuildLiveQuery(currentUserRole, currentUserName), DbFetch::Store);
  if (!result.ok) return;
  const std::uint32_t now = platform::GetTickCount();
  std::lock_guard lock(table.mutex);
  ApplyLiveRows(table, result.rows, now);
}
