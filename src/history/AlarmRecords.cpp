#include "AlarmRecords.h"

#include <algorithm>
#include <map>
#include <utility>

#include "AuditTrail.h"
#include "DbSession.h"
#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "HistoryStatements.h"
#include "HistoryStatistics.h"
#include "ReadingGaps.h"
#include "TableFileWriter.h"

namespace history {

const std::array<const char*, readings::kExcursionKindCount> kAlarmKindNames = {
    "温度超上限", "温度超下限", "湿度超上限", "湿度超下限", "传感器掉线", "供电中断", "通讯中断",
};

const std::array<const char*, kAlarmRecordColumnCount> kAlarmRecordColumnTitles = {
    "设备ID",   "设备名称", "公司", "部门",   "报警类型", "开始时间", "结束时间",
    "持续时间", "读数个数", "极值", "确认人", "确认时间", "确认说明",
};

namespace {

constexpr const char* kOngoingText = "持续中";
// The kinds as the live acknowledgements name them, in ExcursionKind order.
constexpr const char* kAckKindNames[readings::kExcursionKindCount] = {
    "temp_high", "temp_low", "hum_high", "hum_low", "sensor_offline", "supply_lost", "comm_lost",
};
constexpr const char* kAcksOfDeviceTemplate =
    "select kind,event_start,user_name,date_format(ack_time,'%%Y-%%m-%%d %%H:%%i:%%s'),comment from alarm_ack_tab "
    "where device_id='%s' order by ack_id";

using Field = std::string_view;

readings::EventReading EventReadingOf(Field datetime, Field tempe, Field tempeCode, Field hum, Field humCode,
                                      Field power, Field voltage) {
  return {DatetimeSeconds(datetime), readings::ParseChannel(tempe, tempeCode), readings::ParseChannel(hum, humCode),
          readings::ParseCode(power), readings::ParseDecimal(voltage)};
}

void AddRecords(std::vector<AlarmRecord>& out, const std::array<std::string, 4>& identity,
                std::vector<readings::Excursion> events) {
  for (readings::Excursion& event : events)
    out.push_back({identity[0], identity[3], identity[1], identity[2], std::move(event), {}, {}, {}});
}

// The statement orders by time; the collector's text column could still hold one out of step.
void SortByTime(std::vector<readings::EventReading>& facts) {
  const auto earlier = [](const readings::EventReading& a, const readings::EventReading& b) { return a.time < b.time; };
  if (!std::is_sorted(facts.begin(), facts.end(), earlier)) std::stable_sort(facts.begin(), facts.end(), earlier);
}

QStringList Titles() {
  QStringList titles;
  for (const char* title : kAlarmRecordColumnTitles) titles << QString::fromUtf8(title);
  return titles;
}

// Readings and the extreme are numbers in a workbook, so that they can be summed and charted.
std::vector<tables::TableCell> RecordRow(const AlarmRecord& record) {
  std::vector<tables::TableCell> row;
  const QStringList cells = AlarmRecordCells(record);
  for (int c = 0; c < cells.size(); ++c) {
    std::optional<double> number;
    if (c == kArColReadings)
      number = static_cast<double>(record.event.readings);
    else if (c == kArColExtreme && !cells[c].isEmpty())
      number = cells[c].toDouble();
    row.push_back({cells[c], number});
  }
  return row;
}

}  // namespace

QStringList AlarmRecordCells(const AlarmRecord& r) {
  const readings::Excursion& e = r.event;
  const auto time = [](long long seconds) { return QString::fromStdString(DatetimeText(seconds)); };
  return {platform::FromGbk(r.deviceId),
          platform::FromGbk(r.deviceName),
          platform::FromGbk(r.company),
          platform::FromGbk(r.department),
          QString::fromUtf8(kAlarmKindNames[static_cast<std::size_t>(e.kind)]),
          time(e.start),
          e.open ? QString::fromUtf8(kOngoingText) : time(e.end),
          DurationText(e.Duration()),
          QString::number(e.readings),
          readings::HasValue(e.extreme) ? QString::number(e.extreme, 'f', 2) : QString(),
          platform::FromGbk(r.ackUser),
          platform::FromGbk(r.ackTime),
          platform::FromGbk(r.ackComment)};
}

bool AttachAcknowledgements(DbSession& db, std::vector<AlarmRecord>& records) {
  if (records.empty() || !AuditTablesPresent(db)) return true;
  // The first acknowledgement of each event, by device.
  std::map<std::string, std::map<std::pair<std::string, std::string>, DbRow>> acks;
  for (const AlarmRecord& record : records) {
    if (acks.count(record.deviceId)) continue;
    auto& ofDevice = acks[record.deviceId];
    const DbResult result = db.Select(db.Format(kAcksOfDeviceTemplate, {record.deviceId}));
    if (!result.ok) return false;
    for (const DbRow& row : result.rows)
      if (row.size() == 5) ofDevice.emplace(std::pair(row[0], row[1]), row);
  }
  for (AlarmRecord& record : records) {
    const auto& ofDevice = acks[record.deviceId];
    const auto it =
        ofDevice.find({kAckKindNames[static_cast<std::size_t>(record.event.kind)], DatetimeText(record.event.start)});
    if (it == ofDevice.end()) continue;
    record.ackUser = it->second[2];
    record.ackTime = it->second[3];
    record.ackComment = it->second[4];
  }
  return true;
}

std::vector<AlarmRecord> AlarmRecordsOfRows(const HistoryRowStore& rows) {
  // The rows are in memory already; a device's row numbers in time order are all that is added.
  std::vector<std::vector<std::pair<long long, std::uint32_t>>> order(rows.Devices().size());
  for (std::size_t r = 0; r < rows.RowCount(); ++r)
    order[rows.DeviceOf(r)].emplace_back(DatetimeSeconds(rows.Field(r, kColDatetime)), static_cast<std::uint32_t>(r));
  std::vector<AlarmRecord> out;
  for (std::size_t d = 0; d < order.size(); ++d) {
    auto& device = order[d];
    std::stable_sort(device.begin(), device.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    readings::SpacingTally spacings;
    for (std::size_t i = 1; i < device.size(); ++i) spacings.Add(device[i].first - device[i - 1].first);
    readings::ExcursionDetector detector(spacings.Threshold());
    for (const auto& [time, r] : device) {
      const auto f = [&](int c) { return rows.Field(r, c); };
      detector.Add(EventReadingOf(f(kColDatetime), f(kColTempe), f(kColTempeAlarm), f(kColHum), f(kColHumAlarm),
                                  f(kColPower), f(kColVoltage)));
    }
    std::vector<std::pair<long long, std::uint32_t>>().swap(device);
    AddRecords(out, rows.Devices()[d].gbk, detector.Finish());
  }
  return out;
}

bool QueryAlarmRecords(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                       int temperatureFilter, int humidityFilter, std::vector<AlarmRecord>& records,
                       AlarmQueryFigures* figures) {
  const std::string start = DayStartText(from), end = DayEndText(to);
  const auto escape = [&db](std::string_view t) { return db.Escape(t); };
  DbSession::ReadTimeoutScope patient(DbSession::kLongReadTimeoutSeconds);
  // The median spacing needs every spacing of a device before its first gap can be judged. A
  // second statement for the times alone cost more than half the table query again, so one
  // device's readings are kept, parsed into their compact facts, until its records are found;
  // the texts of the rows are never kept, and the facts of one device make room for the next.
  std::vector<readings::EventReading> facts;
  for (const std::string& id : deviceIds) {
    facts.clear();
    std::array<std::string, 4> identity;  // id, company, department, name
    const std::string sql = OrderedTableQueryStatement(escape, id, start, end, temperatureFilter, humidityFilter);
    const bool ok = db.SelectEach(sql, DbFetch::Use, [&](const DbRow& row) {
      if (row.size() < kHistoryQueryColumnCount) return;
      if (identity[0].empty())
        identity = {row[kColDeviceId], row[kColCompanyName], row[kColDepartmentName], row[kColDeviceName]};
      facts.push_back(EventReadingOf(row[kColDatetime], row[kColTempe], row[kColTempeAlarm], row[kColHum],
                                     row[kColHumAlarm], row[kColPower], row[kColVoltage]));
    });
    // A connection lost in a result read row by row ends it without an error from the fetch.
    if (!ok || db.LastErrorNumber() != 0) return false;
    SortByTime(facts);
    std::vector<readings::Excursion> events = readings::ExcursionsOf(facts);
    if (figures) {
      figures->readings += static_cast<long long>(facts.size());
      figures->peakStateBytes = std::max(figures->peakStateBytes, facts.capacity() * sizeof(readings::EventReading) +
                                                                      events.capacity() * sizeof(readings::Excursion));
    }
    AddRecords(records, identity, std::move(events));
  }
  return AttachAcknowledgements(db, records);
}

bool WriteAlarmRecordFile(const std::vector<AlarmRecord>& records, TextEncoding encoding, const std::string& fileName,
                          std::string& error) {
  tables::TableFileWriter file(fileName, tables::FormatForName(fileName, tables::TableFormat::kCsv), encoding);
  if (!file.Begin(Titles())) {
    error = file.Error();
    return false;
  }
  for (const AlarmRecord& record : records) file.Add(RecordRow(record));
  if (file.Finish()) return true;
  error = file.Error();
  return false;
}

}  // namespace history
