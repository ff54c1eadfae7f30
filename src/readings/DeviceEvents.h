#pragma once
// The states of a device that call for the operator, and the events they make: a state that
// began or ended since the previous look at the devices. The status bar's bell rings on them,
// the notification program is told of them, and they are what an alarm record is written from.
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "Reading.h"

namespace readings {

// One bit per state; a device may hold several at once. A value alarm is a channel high, low
// or with an unknown code: high and low have a bit per channel, so that a notice can say which
// limit was passed and a channel turning from high to low is a new alarm; kBitValueAlarm is
// left for an unknown code. Sensor offline is either channel at code 3; supply lost is a
// reading made on battery; communication loss is the age of the reading alone, whatever its
// codes.
enum StateBit : std::uint8_t {
  kBitValueAlarm = 1,
  kBitSensorOffline = 2,
  kBitCommunicationLost = 4,
  kBitSupplyLost = 8,
  kBitTemperatureHigh = 16,
  kBitTemperatureLow = 32,
  kBitHumidityHigh = 64,
  kBitHumidityLow = 128,
};
// The bits the status bar counts as "报警".
inline constexpr std::uint8_t kValueAlarmBits =
    kBitValueAlarm | kBitTemperatureHigh | kBitTemperatureLow | kBitHumidityHigh | kBitHumidityLow;
std::uint8_t StateBitsOf(const Channel& temperature, const Channel& humidity, std::int32_t powerCode,
                         bool communicationLost);

enum class EventKind : std::uint8_t {
  ValueAlarm = kBitValueAlarm,
  SensorOffline = kBitSensorOffline,
  CommunicationLost = kBitCommunicationLost,
  SupplyLost = kBitSupplyLost,
  TemperatureHigh = kBitTemperatureHigh,
  TemperatureLow = kBitTemperatureLow,
  HumidityHigh = kBitHumidityHigh,
  HumidityLow = kBitHumidityLow,
};
enum class EventEdge : std::uint8_t { Start, End };

struct DeviceEvent {
  std::string deviceId;
  EventKind kind;
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
