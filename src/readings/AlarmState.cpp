#include "AlarmState.h"

namespace readings {
namespace {

// A channel without a value says nothing about its limits.
Membership ChannelIn(const Channel& channel, ChannelState wanted) {
  const ChannelState state = channel.State();
  if (state == ChannelState::NoValue) return Membership::Neither;
  return state == wanted ? Membership::In : Membership::Out;
}

// Either channel may show the state; only two channels without a value say nothing.
Membership EitherChannelIn(const Reading& r, ChannelState wanted) {
  const ChannelState t = r.temperature.State(), h = r.humidity.State();
  if (t == wanted || h == wanted) return Membership::In;
  if (t == ChannelState::NoValue && h == ChannelState::NoValue) return Membership::Neither;
  return Membership::Out;
}

Membership PowerIn(const Reading& r) {
  if (r.power == kPowerBattery) return Membership::In;
  if (r.power == kPowerMains) return Membership::Out;
  return Membership::Neither;
}

}  // namespace

Membership MembershipOf(AlarmKind kind, const Reading& r) {
  switch (kind) {
    case AlarmKind::TemperatureHigh: return ChannelIn(r.temperature, ChannelState::High);
    case AlarmKind::TemperatureLow: return ChannelIn(r.temperature, ChannelState::Low);
    case AlarmKind::HumidityHigh: return ChannelIn(r.humidity, ChannelState::High);
    case AlarmKind::HumidityLow: return ChannelIn(r.humidity, ChannelState::Low);
    case AlarmKind::SensorOffline: return EitherChannelIn(r, ChannelState::SensorOffline);
    case AlarmKind::SupplyLost: return PowerIn(r);
    case AlarmKind::ValueAlarm: return EitherChannelIn(r, ChannelState::UnknownCode);
    case AlarmKind::CommunicationLost: break;
  }
  return Membership::Neither;
}

double ExtremeValueOf(AlarmKind kind, const Reading& r) {
  switch (kind) {
    case AlarmKind::TemperatureHigh:
    case AlarmKind::TemperatureLow: return r.temperature.value;
    case AlarmKind::HumidityHigh:
    case AlarmKind::HumidityLow: return r.humidity.value;
    case AlarmKind::SupplyLost: return r.voltage;
    default: return std::numeric_limits<double>::quiet_NaN();
  }
}

bool ExtremeIsHighest(AlarmKind kind) { return kind == AlarmKind::TemperatureHigh || kind == AlarmKind::HumidityHigh; }

}  // namespace readings
