#include "EventLookups.h"

#include <algorithm>
#include <cstdlib>

#include "AlarmEvents.h"
#include "DbSession.h"
#include "ReadingGaps.h"
#include "ReadingTime.h"

namespace desk {
namespace {

constexpr const char* kLatestReadingsTemplate =
    "select datetime,tempe,tempe_alarm,hum,hum_alarm,power,voltage from history_tab "
    "where device_id='%s' and datetime<='%s' order by datetime desc limit %d";
enum ReadingColumn { kTime, kTempe, kTempeCode, kHum, kHumCode, kPower, kVoltage, kReadingColumns };

constexpr const char* kAcksAfterTemplate =
    "select ack_id,device_id,kind,event_start from alarm_ack_tab where ack_id>%s order by ack_id";
constexpr const char* kLatestAckSql = "select coalesce(max(ack_id),0) from alarm_ack_tab";

readings::Reading ReadingOf(const DbRow& row) {
  readings::Reading r;
  r.time = readings::ReadingSeconds(row[kTime]).value_or(0);
  r.temperature = readings::ParseChannel(row[kTempe], row[kTempeCode]);
  r.humidity = readings::ParseChannel(row[kHum], row[kHumCode]);
  r.power = readings::ParseCode(row[kPower]);
  r.voltage = readings::ParseDecimal(row[kVoltage]);
  return r;
}

}  // namespace

std::optional<std::string> HistoryStartOf(DbSession& db, const std::string& deviceId, readings::AlarmKind kind,
                                          const std::string& readingTime) {
  const DbResult result =
      db.Select(db.Format(kLatestReadingsTemplate, {deviceId, readingTime, kStartLookbackReadings}));
  if (!result.ok || result.rows.empty()) return std::nullopt;
  std::vector<readings::Reading> latest;
  latest.reserve(result.rows.size());
  for (auto row = result.rows.rbegin(); row != result.rows.rend(); ++row)
    if (row->size() == kReadingColumns) latest.push_back(ReadingOf(*row));
  for (const readings::Excursion& e : readings::ExcursionsOf(latest))
    if (e.kind == kind && e.open) return readings::ReadingTimeText(e.start);
  return std::nullopt;
}

std::optional<std::vector<StoredAck>> AcknowledgementsAfter(DbSession& db, unsigned long long afterId) {
  const DbResult result = db.Select(db.Format(kAcksAfterTemplate, {std::to_string(afterId)}));
  if (!result.ok) return std::nullopt;
  std::vector<StoredAck> acks;
  for (const DbRow& row : result.rows)
    if (row.size() == 4) acks.push_back({std::strtoull(row[0].c_str(), nullptr, 10), row[1], row[2], row[3]});
  return acks;
}

std::optional<unsigned long long> LatestAcknowledgementId(DbSession& db) {
  const DbResult result = db.Select(kLatestAckSql);
  if (!result.ok || result.rows.size() != 1 || result.rows[0].size() != 1) return std::nullopt;
  return std::strtoull(result.rows[0][0].c_str(), nullptr, 10);
}

}  // namespace desk
