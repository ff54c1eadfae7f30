#include "SampleState.h"

ChannelState ChannelStateOf(float value, std::int32_t alarmCode) {
  if (alarmCode == kAlarmSensorOffline) return ChannelState::SensorOffline;
  if (alarmCode == kAlarmNoValue || !HasValue(value)) return ChannelState::NoValue;
  switch (alarmCode) {
    case kAlarmNormal: return ChannelState::Normal;
    case kAlarmHigh: return ChannelState::High;
    case kAlarmLow: return ChannelState::Low;
    default: return ChannelState::UnknownCode;
  }
}

bool IsAlarm(ChannelState state) { return state != ChannelState::Normal && state != ChannelState::NoValue; }

ChannelState TemperatureState(const LiveSample& sample) {
  return ChannelStateOf(sample.temperature, sample.temperatureAlarm);
}

ChannelState HumidityState(const LiveSample& sample) { return ChannelStateOf(sample.humidity, sample.humidityAlarm); }

FaultLine FaultLineOf(const LiveSample& sample, bool communicationLost) {
  if (sample.temperatureAlarm == kAlarmSensorOffline || sample.humidityAlarm == kAlarmSensorOffline)
    return FaultLine::SensorOffline;
  if (communicationLost) return FaultLine::CommunicationLost;
  if (!HasValue(sample.temperature) && !HasValue(sample.humidity)) return FaultLine::NoReading;
  return FaultLine::Normal;
}
