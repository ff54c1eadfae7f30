#pragma once
// What one sample says about a device, shared by the live table, the tiles and the curves so
// that they never disagree: the readings library's rule (Reading.h) applied to a LiveSample.
// A value that is not a finite number is stored as NaN and counts as "no value"; a code
// column that was NULL or not a number is stored as kCodeNotReported, which like any code
// outside 0..4 is an alarm.
#include <cstdint>

#include "DeviceLiveTable.h"
#include "Reading.h"

using readings::ChannelState;
using readings::ChannelStateOf;
using readings::FaultLine;
using readings::HasValue;
using readings::IsAlarm;

ChannelState TemperatureState(const LiveSample& sample);
ChannelState HumidityState(const LiveSample& sample);

// Either sensor offline outranks a communication loss; a device that delivered neither a
// temperature nor a humidity value is not claimed to be normal.
FaultLine FaultLineOf(const LiveSample& sample, bool communicationLost);
