#pragma once
// The states of a device that call for the operator, and the events they make: a state that
// began or ended since the previous look at the devices. The status bar's bell rings on them,
// the notification program is told of them, and they are what an alarm record is written from.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "AlarmKind.h"
#include "Reading.h"

namespace readings {

// The bits of the kinds the reading is in (AlarmState.h; what says nothing counts as out, since
// the live table judges its latest reading alone), and communication loss as the caller found it.
std::uint8_t StateBitsOf(const Reading& reading, bool communicationLost);

enum class EventEdge : std::uint8_t { Start, End };

struct DeviceEvent {
  std::string deviceId;
  AlarmKind kind;
  EventEdge edge;
  bool shown;  // the device is checked in the tree (as of this look; as of the last for one that left)
  bool operator==(const DeviceEvent&) const = default;
};

// One device as seen now. A device without a reading holds no state.
struct DeviceStates {
  std::string deviceId;
  std::uint8_t bits = 0;
  bool shown = false;
};

// Remembers the states of each device by its id, so that a device keeps its history wherever
// it sits in a table. Hidden devices are followed too: checking one in the tree while it is in
// alarm is no new event.
class DeviceEventDetector {
 public:
  // The events since the previous feed, in feed order (starts and ends by kind). A device seen
  // for the first time starts every state it holds; one missing from the feed has left, and its
  // states end. A repeated id counts once, its first entry.
  std::vector<DeviceEvent> Feed(std::span<const DeviceStates> devices);

 private:
  struct Seen {
    std::uint8_t bits;
    bool shown;
  };
  std::map<std::string, Seen> previous_;
};

// The bell's rule: a shown device began a state.
bool RingsBell(std::span<const DeviceEvent> events);

}  // namespace readings
