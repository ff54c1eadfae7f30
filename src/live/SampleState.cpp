#include "SampleState.h"

ChannelState TemperatureState(const LiveSample& sample) {
  return ChannelStateOf(sample.temperature, sample.temperatureAlarm);
}

ChannelState HumidityState(const LiveSample& sample) { return ChannelStateOf(sample.humidity, sample.humidityAlarm); }

FaultLine FaultLineOf(const LiveSample& sample, bool communicationLost) {
  return readings::FaultLineOf({sample.temperature, sample.temperatureAlarm}, {sample.humidity, sample.humidityAlarm},
                               communicationLost);
}
