#include "AlarmDesk.h"

#include <chrono>

#include "EventLookups.h"

namespace {

std::int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

AlarmDesk::AlarmDesk(Settings settings, QObject* parent) : QObject(parent), settings_(settings) {
  qRegisterMetaType<notice::Notice>();
}

void AlarmDesk::SetAcknowledgements(bool on) { acknowledgements_ = on; }

std::int64_t AlarmDesk::Now() const { return nowMs_ ? nowMs_() : MonotonicMs(); }

void AlarmDesk::AfterRefresh(DbSession& db, const DeviceLiveTable& table, std::uint32_t nowTick) {
  std::vector<notice::Notice> notices;
  bool rings = false;
  std::vector<Opened> opened;
  {
    std::lock_guard tableLock(table.mutex);
    const alarms::LiveScan scan = alarms::ScanLiveTable(table, nowTick, settings_.commTimeoutSeconds);
    std::lock_guard lock(mutex_);
    counts_ = scan.counts;
    opened = Apply(detector_.Feed(scan.devices), table, notices, rings);
  }
  bool acknowledgedElsewhere = false;
  if (acknowledgements_) {
    // The ledger is not held while the statements run: the window may look at it meanwhile.
    if (!ackIdKnown_) {
      if (const auto latest = desk::LatestAcknowledgementId(db)) lastAckId_ = *latest, ackIdKnown_ = true;
    }
    std::vector<std::tuple<Key, std::string, bool>> named;  // key, start, acknowledged before
    for (const Opened& o : opened) {
      std::string start = o.start;
      // Communication loss has no reading of its own: it is named by the last one, as today.
      if (std::get<1>(o.key) != readings::AlarmKind::CommunicationLost)
        start = desk::HistoryStartOf(db, std::get<0>(o.key), std::get<1>(o.key), o.start).value_or(o.start);
      const bool acknowledged = IsAcknowledged(db, std::get<0>(o.key), readings::KindName(std::get<1>(o.key)), start);
      named.emplace_back(o.key, std::move(start), acknowledged);
    }
    std::vector<desk::StoredAck> stored;
    if (ackIdKnown_) {
      if (auto after = desk::AcknowledgementsAfter(db, lastAckId_)) stored = std::move(*after);
    }
    std::lock_guard lock(mutex_);
    for (auto& [key, start, acknowledged] : named) {
      const auto it = open_.find(key);
      if (it == open_.end()) continue;  // ended meanwhile
      it->second.start = std::move(start);
      it->second.acknowledged = it->second.acknowledged || acknowledged;
    }
    const int before = UnacknowledgedLocked();
    for (const desk::StoredAck& ack : stored) {
      lastAckId_ = std::max(lastAckId_, ack.id);
      const std::optional<readings::AlarmKind> kind = readings::KindNamed(ack.kind);
      if (!kind) continue;
      const auto it = open_.find({ack.deviceId, *kind});
      if (it != open_.end() && it->second.start == ack.start) it->second.acknowledged = true;
    }
    acknowledgedElsewhere = before > 0 && UnacknowledgedLocked() == 0;
    // The bell rings for a start nobody has acknowledged, here or at another station.
    if (rings) {
      rings = false;
      for (const Opened& o : opened) {
        const auto it = open_.find(o.key);
        rings = rings || (it != open_.end() && it->second.shown && !it->second.acknowledged);
      }
    }
  }
  Tell(notices);
  emit summaryChanged();
  if (rings) emit ringing();
  if (acknowledgedElsewhere) emit allAcknowledged();
}

std::vector<AlarmDesk::Opened> AlarmDesk::Apply(const std::vector<readings::DeviceEvent>& events,
                                                const DeviceLiveTable& table, std::vector<notice::Notice>& notices,
                                                bool& rings) {
  std::vector<Opened> opened;
  const std::int64_t now = Now();
  for (const readings::DeviceEvent& event : events) {
    const Key key{event.deviceId, event.kind};
    const DeviceLiveRecord* record = table.Find(event.deviceId);
    if (event.edge == readings::EventEdge::End) {
      const auto it = open_.find(key);
      if (it == open_.end()) continue;
      // An end is told when its start was, wherever the device is in the tree by then.
      if (it->second.told && settings_.notifying)
        notices.push_back(notice::DeviceNotice(event.deviceId, event.kind, false, record));
      open_.erase(it);
      continue;
    }
    OpenEvent& fresh = open_[key];
    fresh = {event.deviceId, event.kind, record ? record->readingTime : std::string(), event.shown, false};
    opened.push_back({key, fresh.start, event.shown});
    rings = rings || (event.shown && readings::InfoOf(event.kind).rings);
    // While the database is lost every device turns silent by our own link's fault: db_lost
    // stands for those communication losses, which are not told (nor, then, their ends).
    const bool ours = databaseLost_ && event.kind == readings::AlarmKind::CommunicationLost;
    if (event.shown && !ours) {
      fresh.told = true;
      fresh.toldAtMs = fresh.lastToldMs = now;
      if (settings_.notifying) notices.push_back(notice::DeviceNotice(event.deviceId, event.kind, true, record));
    }
  }
  return opened;
}

void AlarmDesk::Tell(std::vector<notice::Notice>& notices) {
  for (const notice::Notice& n : notices) emit noticeDue(n);
}

void AlarmDesk::Recount(const DeviceLiveTable& table, std::uint32_t nowTick) {
  {
    std::lock_guard tableLock(table.mutex);
    const alarms::LiveScan scan = alarms::ScanLiveTable(table, nowTick, settings_.commTimeoutSeconds);
    std::lock_guard lock(mutex_);
    counts_ = scan.counts;
  }
  emit summaryChanged();
}

void AlarmDesk::SetDatabaseLost(bool lost, const QString& localTime) {
  {
    std::lock_guard lock(mutex_);
    if (lost == databaseLost_) return;
    databaseLost_ = lost;
    databaseLostAtMs_ = databaseLastToldMs_ = Now();
  }
  if (settings_.notifying) emit noticeDue(notice::DatabaseNotice(lost, localTime));
}

void AlarmDesk::TellRepeats(const DeviceLiveTable& table, const QString& localTime) {
  if (!settings_.notifying || settings_.repeatMinutes <= 0) return;
  const std::int64_t now = Now(), every = std::int64_t{settings_.repeatMinutes} * 60000;
  std::vector<notice::Notice> notices;
  {
    std::lock_guard tableLock(table.mutex);
    std::lock_guard lock(mutex_);
    for (auto& [key, event] : open_) {
      if (!event.told || now - event.lastToldMs < every) continue;
      event.lastToldMs = now;
      const int minutes = static_cast<int>((now - event.toldAtMs) / 60000);
      notices.push_back(notice::DeviceNotice(event.deviceId, event.kind, true, table.Find(event.deviceId), minutes));
    }
    if (databaseLost_ && now - databaseLastToldMs_ >= every) {
      databaseLastToldMs_ = now;
      notices.push_back(notice::DatabaseNotice(true, localTime, static_cast<int>((now - databaseLostAtMs_) / 60000)));
    }
  }
  Tell(notices);
}

AlarmDesk::AckResult AlarmDesk::Acknowledge(DbSession& db, const Actor& actor, const std::string& deviceId,
                                            const std::string& comment) {
  std::vector<OpenEvent> open;
  for (const OpenEvent& event : OpenOf(deviceId))
    if (!event.acknowledged) open.push_back(event);
  if (open.empty()) return AckResult::kNothingOpen;
  AckResult result = AckResult::kStored;
  for (const OpenEvent& event : open) {
    if (!RecordAcknowledgement(db, actor, deviceId, readings::KindName(event.kind), event.start, comment)) {
      result = AckResult::kFailed;
      break;
    }
    std::lock_guard lock(mutex_);
    const auto it = open_.find({deviceId, event.kind});
    if (it != open_.end() && it->second.start == event.start) it->second.acknowledged = true;
  }
  emit summaryChanged();
  // The bell rings for unacknowledged events only.
  if (Unacknowledged() == 0) emit allAcknowledged();
  return result;
}

std::vector<OpenEvent> AlarmDesk::OpenOf(const std::string& deviceId) const {
  std::lock_guard lock(mutex_);
  std::vector<OpenEvent> found;
  for (auto it = open_.lower_bound({deviceId, readings::AlarmKind{}});
       it != open_.end() && std::get<0>(it->first) == deviceId; ++it)
    found.push_back(it->second);
  return found;
}

bool AlarmDesk::HasUnacknowledged(const std::string& deviceId) const {
  for (const OpenEvent& event : OpenOf(deviceId))
    if (!event.acknowledged) return true;
  return false;
}

int AlarmDesk::Unacknowledged() const {
  std::lock_guard lock(mutex_);
  return UnacknowledgedLocked();
}

int AlarmDesk::UnacknowledgedLocked() const {
  int count = 0;
  for (const auto& [key, event] : open_) count += event.shown && !event.acknowledged;
  return count;
}

alarms::AlarmCounts AlarmDesk::Counts() const {
  std::lock_guard lock(mutex_);
  return counts_;
}

bool AlarmDesk::DatabaseLost() const {
  std::lock_guard lock(mutex_);
  return databaseLost_;
}
