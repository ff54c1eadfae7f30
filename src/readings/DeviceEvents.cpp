#include "DeviceEvents.h"

namespace readings {
namespace {

constexpr EventKind kKinds[] = {EventKind::ValueAlarm,   EventKind::SensorOffline,   EventKind::CommunicationLost,
                                EventKind::SupplyLost,   EventKind::TemperatureHigh, EventKind::TemperatureLow,
                                EventKind::HumidityHigh, EventKind::HumidityLow};

std::uint8_t ValueAlarmBits(ChannelState state, std::uint8_t high, std::uint8_t low) {
  switch (state) {
    case ChannelState::High: return high;
    case ChannelState::Low: return low;
    case ChannelState::UnknownCode: return kBitValueAlarm;
    default: return 0;
  }
}

void Report(std::vector<DeviceEvent>& events, const std::string& deviceId, std::uint8_t bits, EventEdge edge,
            bool shown) {
  for (EventKind kind : kKinds)
    if ((bits & static_cast<std::uint8_t>(kind)) != 0) events.push_back({deviceId, kind, edge, shown});
}

}  // namespace

std::uint8_t StateBitsOf(const Channel& temperature, const Channel& humidity, std::int32_t powerCode,
                         bool communicationLost) {
  std::uint8_t bits = ValueAlarmBits(temperature.State(), kBitTemperatureHigh, kBitTemperatureLow) |
                      ValueAlarmBits(humidity.State(), kBitHumidityHigh, kBitHumidityLow);
  // Only a reported battery code: a missing or unknown power code says nothing of the supply.
  if (powerCode == kPowerBattery) bits |= kBitSupplyLost;
  // A device that went silent counts as lost whatever its last codes said: a dead sensor
  // that also stopped reporting is both.
  if (FaultLineOf(temperature, humidity, false) == FaultLine::SensorOffline) bits |= kBitSensorOffline;
  if (communicationLost) bits |= kBitCommunicationLost;
  return bits;
}

std::vector<DeviceEvent> DeviceEventDetector::Feed(std::span<const DeviceStates> devices) {
  std::vector<DeviceEvent> events;
  std::map<std::string, Seen> next;
  for (const DeviceStates& device : devices) {
    if (!next.try_emplace(device.deviceId, Seen{device.bits, device.shown}).second) continue;
    const auto found = previous_.find(device.deviceId);
    const std::uint8_t before = found == previous_.end() ? 0 : found->second.bits;
    Report(events, device.deviceId, device.bits & ~before, EventEdge::Start, device.shown);
    Report(events, device.deviceId, before & ~device.bits, EventEdge::End, device.shown);
  }
  for (const auto& [deviceId, seen] : previous_)
    if (!next.contains(deviceId)) Report(events, deviceId, seen.bits, EventEdge::End, seen.shown);
  previous_ = std::move(next);
  return events;
}

bool RingsBell(std::span<const DeviceEvent> events) {
  for (const DeviceEvent& event : events)
    if (event.shown && event.edge == EventEdge::Start) return true;
  return false;
}

}  // namespace readings
