#pragma once
// What a notification program is told about a live event (the texts it finds in its
// environment, one of them a line ready for a text message), and which events it is told of:
// the starts of shown devices' states, the end of every start it was told, and, when asked for,
// again while an event stays open. Pure rules: the shell runs the program (NotifyCommand).
#include <QString>
#include <compare>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "DeviceEvents.h"
#include "DeviceLiveTable.h"

namespace notice {

// Besides the devices' states, the station's own: the database has not answered for a refresh
// period and its grace (the status bar's "数据库未响应").
inline constexpr const char* kDatabaseLostKind = "db_lost";

struct Notice {
  bool start = true;
  QString kind;  // temp_high, temp_low, hum_high, hum_low, value_alarm, sensor_offline, supply_lost, comm_lost, db_lost
  QString deviceId, deviceName, company, department;  // UTF-8 on their way out; empty for db_lost
  QString value;  // the measured value the kind is about ("41.0"), empty when there is none
  QString time;   // the reading's time; for db_lost when the station saw the change
  QString text;   // one line for a person
  bool operator==(const Notice&) const = default;
};

// The kind's name in the program's environment; "value_alarm" is a channel with a code no
// state knows.
const char* KindName(readings::EventKind kind);

// The notice of one device event from the device's record (nullptr when the table holds none:
// then only the id is known). `openMinutes` > 0 marks a repeat. The caller holds the table's
// mutex.
Notice DeviceNotice(const std::string& deviceId, readings::EventKind kind, bool start, const DeviceLiveRecord* record,
                    int openMinutes = 0);
Notice DatabaseNotice(bool start, const QString& time, int openMinutes = 0);

struct NoticeKey {
  std::string deviceId;  // empty for db_lost
  std::string kind;      // KindName or kDatabaseLostKind
  auto operator<=>(const NoticeKey&) const = default;
};

// A start told again after `openMinutes`: of the device's `record` (the caller holds the table's
// mutex) or, for db_lost, at local time `now`.
Notice RepeatNotice(const NoticeKey& key, const DeviceLiveRecord* record, const QString& now, int openMinutes);

// The events told and still open, by the milliseconds of a monotonic clock.
class NoticeLedger {
 public:
  // The bell's rule: a start is told for a shown device (one checked in the tree later, while
  // its state lasts, stays untold, as it stays silent); an end is told when its start was,
  // wherever the device is in the tree by then, so nobody is left with an alarm that never ends.
  // While the database is lost every device turns silent by our own link's fault: those
  // communication losses are not told (db_lost is), nor, then, their ends.
  std::vector<readings::DeviceEvent> Select(std::span<const readings::DeviceEvent> events, std::int64_t nowMs,
                                            bool databaseLost = false);
  // For the events that are not a device's (db_lost): whether to tell this edge.
  bool Start(const NoticeKey& key, std::int64_t nowMs);
  bool End(const NoticeKey& key);

  struct Repeat {
    NoticeKey key;
    int openMinutes;
  };
  // The open events last told `repeatMs` or longer ago, each marked as told now; none when
  // `repeatMs` is 0 or less.
  std::vector<Repeat> Due(std::int64_t nowMs, std::int64_t repeatMs);

 private:
  struct Told {
    std::int64_t opened, last;
  };
  std::map<NoticeKey, Told> open_;
};

}  // namespace notice
