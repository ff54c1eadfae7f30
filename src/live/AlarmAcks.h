#pragma once
// The open live events and whether someone acknowledged them. An event is named by its device,
// its kind and the reading time that began it, so an acknowledged event that ends and begins
// again is a new, unacknowledged one. The bell rings for unacknowledged events only.
#include <functional>
#include <map>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "DeviceEvents.h"

struct OpenAlarm {
  std::string deviceId;
  readings::EventKind kind;
  std::string start;  // the reading time that began it
  bool shown = false;
  bool acknowledged = false;
};

class AlarmAcks {
 public:
  // Applies the detector's events: a start opens an event beginning at `startTimeOf(deviceId)`,
  // an end closes it. Returns the events opened by this call.
  std::vector<OpenAlarm> Apply(std::span<const readings::DeviceEvent> events,
                               const std::function<std::string(const std::string&)>& startTimeOf);
  // The device's open events.
  std::vector<OpenAlarm> OpenOf(const std::string& deviceId) const;
  void MarkAcknowledged(const std::string& deviceId, readings::EventKind kind, const std::string& start);
  // Open events of shown devices nobody acknowledged.
  int Unacknowledged() const;

 private:
  std::map<std::tuple<std::string, readings::EventKind>, OpenAlarm> open_;
};
