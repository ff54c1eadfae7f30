#include "AlarmAcks.h"

std::vector<OpenAlarm> AlarmAcks::Apply(std::span<const readings::DeviceEvent> events,
                                        const std::function<std::string(const std::string&)>& startTimeOf) {
  std::vector<OpenAlarm> opened;
  for (const readings::DeviceEvent& event : events) {
    const auto key = std::make_tuple(event.deviceId, event.kind);
    if (event.edge == readings::EventEdge::End) {
      open_.erase(key);
      continue;
    }
    OpenAlarm alarm{event.deviceId, event.kind, startTimeOf(event.deviceId), event.shown, false};
    open_[key] = alarm;
    opened.push_back(std::move(alarm));
  }
  return opened;
}

std::vector<OpenAlarm> AlarmAcks::OpenOf(const std::string& deviceId) const {
  std::vector<OpenAlarm> found;
  for (auto it = open_.lower_bound(std::make_tuple(deviceId, readings::EventKind{}));
       it != open_.end() && std::get<0>(it->first) == deviceId; ++it)
    found.push_back(it->second);
  return found;
}

void AlarmAcks::MarkAcknowledged(const std::string& deviceId, readings::EventKind kind, const std::string& start) {
  const auto it = open_.find(std::make_tuple(deviceId, kind));
  if (it != open_.end() && it->second.start == start) it->second.acknowledged = true;
}

int AlarmAcks::Unacknowledged() const {
  int count = 0;
  for (const auto& [key, alarm] : open_) count += alarm.shown && !alarm.acknowledged;
  return count;
}
