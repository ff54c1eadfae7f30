#include "AlarmRecords.h"

#include <algorithm>
#include <map>
#include <set>
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

const std::array<const char*, kAlarmRecordColumnCount> kAlarmRecordColumnTitles = {
    "设备ID",   "设备名称", "公司", "部门",   "报警类型", "开始时间", "结束时间",
    "持续时间", "读数个数", "极值", "确认人", "确认时间", "确认说明",
};

namespace {

constexpr const char* kOngoingText = "持续中";
constexpr const char* kAcksOfDeviceTemplate =
    "select kind,event_start,user_name,date_format(ack_time,'%%Y-%%m-%%d %%H:%%i:%%s'),comment from alarm_ack_tab "
    "where device_id='%s' order by ack_id";

using Field = std::string_view;

readings::Reading ReadingOf(Field datetime, Field tempe, Field tempeCode, Field hum, Field humCode, Field power,
                            Field voltage) {
  return {DatetimeSeconds(datetime), readings::ParseChannel(tempe, tempeCode), readings::ParseChannel(hum, humCode),
          readings::ParseCode(power), readings::ParseDecimal(voltage)};
}

void AddRecords(std::vector<AlarmRecord>& out, const std::array<std::string, 4>& identity,
                std::vector<readings::Excursion> events) {
  for (readings::Excursion& event : events)
    out.push_back({identity[0], identity[3], identity[1], identity[2], std::move(event), {}, {}, {}});
}

// The statement orders by time; the collector's text column could still hold one out of step.
void SortByTime(std::vector<readings::Reading>& facts, std::vector<char>& shown) {
  const auto earlier = [](const readings::Reading& a, const readings::Reading& b) { return a.time < b.time; };
  if (std::is_sorted(facts.begin(), facts.end(), earlier)) return;
  std::vector<std::size_t> order(facts.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return earlier(facts[a], facts[b]); });
  std::vector<readings::Reading> sortedFacts;
  std::vector<char> sortedShown;
  for (std::size_t i : order) sortedFacts.push_back(facts[i]), sortedShown.push_back(shown[i]);
  facts.swap(sortedFacts);
  shown.swap(sortedShown);
}

// The table page's filters as a rule on one row's alarm codes, as its statement applies them.
struct RowFilter {
  int temperature, humidity;
  bool Any() const { return NormalisedFilter(temperature) == kFilterAny && NormalisedFilter(humidity) == kFilterAny; }
  bool Shows(std::string_view tempeCode, std::string_view humCode) const {
    const auto matches = [](int filter, std::string_view code) {
      return NormalisedFilter(filter) == kFilterAny || readings::ParseCode(code) == filter;
    };
    return matches(temperature, tempeCode) && matches(humidity, humCode);
  }
};

// Keeps the events that hold a row the filters show: a reading from the event's start up to its
// end (its last reading when open), or, for a gap, one of the two readings around it.
void ChooseShown(std::vector<readings::Excursion>& events, const std::vector<readings::Reading>& facts,
                 const std::vector<char>& shown) {
  std::vector<long long> times(facts.size());
  std::vector<std::size_t> shownBefore(facts.size() + 1, 0);  // shown readings before index i
  for (std::size_t i = 0; i < facts.size(); ++i) {
    times[i] = facts[i].time;
    shownBefore[i + 1] = shownBefore[i] + (shown[i] ? 1 : 0);
  }
  const auto index = [&](long long t) {
    return static_cast<std::size_t>(std::lower_bound(times.begin(), times.end(), t) - times.begin());
  };
  const auto shownAt = [&](long long t) {
    const std::size_t i = index(t);
    return i < times.size() && times[i] == t && shown[i];
  };
  std::set<long long> gapStarts;  // a run a gap ended has its last reading at the gap's start
  for (const readings::Excursion& e : events)
    if (e.kind == readings::AlarmKind::CommunicationLost) gapStarts.insert(e.start);
  std::erase_if(events, [&](const readings::Excursion& e) {
    if (e.kind == readings::AlarmKind::CommunicationLost) return !shownAt(e.start) && !shownAt(e.end);
    const std::size_t first = index(e.start);
    const std::size_t last = e.open || gapStarts.contains(e.end) ? index(e.end) + 1 : index(e.end);
    return shownBefore[std::min(last, times.size())] == shownBefore[first];
  });
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
          QString::fromUtf8(readings::KindLabel(e.kind)),
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
    const auto it = ofDevice.find({readings::KindName(record.event.kind), DatetimeText(record.event.start)});
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
      detector.Add(ReadingOf(f(kColDatetime), f(kColTempe), f(kColTempeAlarm), f(kColHum), f(kColHumAlarm),
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
  const RowFilter filter{temperatureFilter, humidityFilter};
  // The median spacing needs every spacing of a device before its first gap can be judged. A
  // second statement for the times alone cost more than half the table query again, so one
  // device's readings are kept, parsed into their compact facts, until its records are found;
  // the texts of the rows are never kept, and the facts of one device make room for the next.
  // Events are found on every reading: the filters only choose among them.
  std::vector<readings::Reading> facts;
  std::vector<char> shown;  // the reading is a row the filters show
  for (const std::string& id : deviceIds) {
    facts.clear();
    shown.clear();
    std::array<std::string, 4> identity;  // id, company, department, name
    const std::string sql = OrderedTableQueryStatement(escape, id, start, end, kFilterAny, kFilterAny);
    const bool ok = db.SelectEach(sql, [&](const DbRow& row) {
      if (row.size() < kHistoryQueryColumnCount) return;
      if (identity[0].empty())
        identity = {row[kColDeviceId], row[kColCompanyName], row[kColDepartmentName], row[kColDeviceName]};
      facts.push_back(ReadingOf(row[kColDatetime], row[kColTempe], row[kColTempeAlarm], row[kColHum], row[kColHumAlarm],
                                row[kColPower], row[kColVoltage]));
      shown.push_back(filter.Shows(row[kColTempeAlarm], row[kColHumAlarm]));
    });
    // A result that broke off part-way fails (SelectEach): a device's events are never half found.
    if (!ok || db.LastErrorNumber() != 0) return false;
    SortByTime(facts, shown);
    std::vector<readings::Excursion> events = readings::ExcursionsOf(facts);
    if (!filter.Any()) ChooseShown(events, facts, shown);
    if (figures) {
      figures->readings += static_cast<long long>(facts.size());
      figures->peakStateBytes =
          std::max(figures->peakStateBytes, facts.capacity() * sizeof(readings::Reading) + shown.capacity() +
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
