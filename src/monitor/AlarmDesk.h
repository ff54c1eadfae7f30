#pragma once
// The alarm desk: what the station knows of its devices' alarm events, without a window. After
// every live refresh it looks at the live table once (on the monitor thread and its session),
// finds the events that began and ended, names each by the reading that started it in the
// history, reads the acknowledgements made at any station, decides what the notification
// program is told and whether the bell rings, and counts the states for the status bar. The
// window, the status bar and the bell only subscribe to its signals.
//
// One ledger holds the open events, one per device and kind, each named by its start.
//
// Threads: AfterRefresh runs on the monitor thread (or, before that thread exists, on the
// window's); Acknowledge, the database-state calls and every look-up run on the window's
// thread. The ledger is guarded by the desk's own mutex, never held during a statement.
// Signals are emitted on the thread that made the change; receivers on the window's thread get
// them queued.
#include <QObject>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "AlarmKind.h"
#include "AuditTrail.h"
#include "DeviceEvents.h"
#include "DeviceLiveTable.h"
#include "EventNotice.h"
#include "LiveScan.h"

class DbSession;

struct OpenEvent {
  std::string deviceId;  // GBK
  readings::AlarmKind kind;
  std::string start;  // the reading time that began it ("YYYY-MM-DD hh:mm:ss")
  bool shown = false;
  bool acknowledged = false;
  bool told = false;  // its start was told to the notification program
  std::int64_t toldAtMs = 0, lastToldMs = 0;
};

class AlarmDesk : public QObject {
  Q_OBJECT
 public:
  struct Settings {
    int commTimeoutSeconds = 120;
    bool notifying = false;  // a notification program is set ([ALARM_CONFIG] COMMAND)
    int repeatMinutes = 0;   // [ALARM_CONFIG] REPEAT; 0: never
  };
  explicit AlarmDesk(Settings settings, QObject* parent = nullptr);

  // The database keeps the acknowledgement tables: events are then named from the history and
  // their acknowledgements read. Set before the first refresh.
  void SetAcknowledgements(bool on);
  bool Acknowledgements() const { return acknowledgements_; }
  // The monotonic clock of the notices (milliseconds); a test steps it.
  void SetClock(std::function<std::int64_t()> nowMs) { nowMs_ = std::move(nowMs); }

  // Right after a refresh merged `table`: events, ledger, acknowledgements made anywhere, the
  // notices and the bell. `db` is the refreshing thread's own session.
  void AfterRefresh(DbSession& db, const DeviceLiveTable& table, std::uint32_t nowTick);
  // The counts again, without the database, after the tree changed which devices are shown (an
  // open event keeps the place in the tree it began in).
  void Recount(const DeviceLiveTable& table, std::uint32_t nowTick);
  // The database stopped answering (the status bar's "数据库未响应") or answers again; told as
  // db_lost. `localTime` is when the station saw it.
  void SetDatabaseLost(bool lost, const QString& localTime);
  // The repeats due ([ALARM_CONFIG] REPEAT) of the events still open.
  void TellRepeats(const DeviceLiveTable& table, const QString& localTime);

  enum class AckResult { kStored, kNothingOpen, kFailed };
  // Records one acknowledgement per open, unacknowledged event of `deviceId` on `db` (the
  // window's session), each with its audit row. `comment` is GBK.
  AckResult Acknowledge(DbSession& db, const Actor& actor, const std::string& deviceId, const std::string& comment);

  std::vector<OpenEvent> OpenOf(const std::string& deviceId) const;
  bool HasUnacknowledged(const std::string& deviceId) const;
  // Open events of shown devices nobody acknowledged.
  int Unacknowledged() const;
  alarms::AlarmCounts Counts() const;
  bool DatabaseLost() const;

 signals:
  void summaryChanged();   // the counts or the acknowledgements changed
  void ringing();          // a shown device began an event nobody acknowledged
  void allAcknowledged();  // an acknowledgement left nothing to ring for
  void noticeDue(const notice::Notice& notice);

 private:
  using Key = std::tuple<std::string, readings::AlarmKind>;
  struct Opened {
    Key key;
    std::string start;
    bool shown;
  };
  struct AckRow {
    std::string deviceId, kind, start;
  };
  // Applies the events under the lock; returns the starts that need naming and the notices due.
  std::vector<Opened> Apply(const std::vector<readings::DeviceEvent>& events, const DeviceLiveTable& table,
                            std::vector<notice::Notice>& notices, bool& rings);
  void Tell(std::vector<notice::Notice>& notices);
  std::int64_t Now() const;
  int UnacknowledgedLocked() const;

  const Settings settings_;
  bool acknowledgements_ = false;
  std::function<std::int64_t()> nowMs_;
  mutable std::mutex mutex_;  // guards everything below
  readings::DeviceEventDetector detector_;
  std::map<Key, OpenEvent> open_;
  alarms::AlarmCounts counts_;
  bool databaseLost_ = false;
  std::int64_t databaseLostAtMs_ = 0, databaseLastToldMs_ = 0;
  unsigned long long lastAckId_ = 0;
  bool ackIdKnown_ = false;
};
