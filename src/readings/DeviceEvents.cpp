#include "DeviceEvents.h"

#include "AlarmState.h"

namespace readings {
namespace {

// Events of one look are reported in this order (a notice or a test reads them so).
constexpr AlarmKind kReportOrder[] = {AlarmKind::ValueAlarm,   AlarmKind::SensorOffline,   AlarmKind::CommunicationLost,
                                      AlarmKind::SupplyLost,   AlarmKind::TemperatureHigh, AlarmKind::TemperatureLow,
                                      AlarmKind::HumidityHigh, AlarmKind::HumidityLow};

void Report(std::vector<DeviceEvent>& events, const std::string& deviceId, std::uint8_t bits, EventEdge edge,
            bool shown) {
  for (AlarmKind kind : kReportOrder)
    if ((bits & KindBit(kind)) != 0) events.push_back({deviceId, kind, edge, shown});
}

}  // namespace

std::uint8_t StateBitsOf(const Reading& reading, bool communicationLost) {
  std::uint8_t bits = 0;
  for (const AlarmKindInfo& info : AlarmKinds())
    if (MembershipOf(info.kind, reading) == Membership::In) bits |= info.bit;
  // A device that went silent counts as lost whatever its last codes said: a dead sensor
  // that also stopped reporting is both.
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
    if (event.shown && event.edge == EventEdge::Start && InfoOf(event.kind).rings) return true;
  return false;
}

}  // namespace readings
