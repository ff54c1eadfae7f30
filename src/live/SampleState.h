#pragma once
// What one sample says about a device, shared by the live table, the tiles and the curves so
// that they never disagree. A value that is not a finite number (SQL NULL, garbage, 1e39 in a
// float) is stored as NaN and counts as "no value"; a code column that was NULL or not a
// number is stored as kCodeNotReported, which like any code outside 0..4 is an alarm.
#include <cmath>
#include <cstdint>
#include <limits>

#include "DeviceLiveTable.h"

inline constexpr std::int32_t kCodeNotReported = std::numeric_limits<std::int32_t>::min();

inline bool HasValue(float value) { return std::isfinite(value); }

enum class ChannelState { Normal, High, Low, SensorOffline, NoValue, UnknownCode };

// Code 3 wins over a missing value; a missing value wins over the codes 0..2 and unknown ones.
ChannelState ChannelStateOf(float value, std::int32_t alarmCode);
// High, low, sensor offline and unknown codes: states the operator must look at.
bool IsAlarm(ChannelState state);

ChannelState TemperatureState(const LiveSample& sample);
ChannelState HumidityState(const LiveSample& sample);

// The state text of the table's fault column and the tile's state line.
enum class FaultLine { Normal, SensorOffline, CommunicationLost, NoReading };

// Either sensor offline outranks a communication loss; a device that delivered neither a
// temperature nor a humidity value is not claimed to be normal.
FaultLine FaultLineOf(const LiveSample& sample, bool communicationLost);
