#pragma once
// One look at the live table for the alarm desk: each device's state bits (DeviceEvents.h) and
// the counts the status bar shows.
#include <cstdint>
#include <vector>

#include "DeviceEvents.h"
#include "DeviceLiveTable.h"

namespace alarms {

using readings::kBitCommunicationLost;
using readings::kBitHumidityHigh;
using readings::kBitHumidityLow;
using readings::kBitSensorOffline;
using readings::kBitSupplyLost;
using readings::kBitTemperatureHigh;
using readings::kBitTemperatureLow;
using readings::kBitValueAlarm;
using readings::kValueAlarmBits;
// The state bits of the readings library for one sample.
std::uint8_t StateBits(const LiveSample& latest, bool communicationLost);

struct AlarmCounts {
  int valueAlarm = 0, sensorOffline = 0, communicationLost = 0, supplyLost = 0;
  bool operator==(const AlarmCounts&) const = default;
};

// Per in-use slot, in slot order: the device's state bits (0 for a record without a sample)
// and whether it is shown.
struct LiveScan {
  std::vector<readings::DeviceStates> devices;
  AlarmCounts counts;  // over the shown records that get a row
};

// The caller holds table.mutex.
LiveScan ScanLiveTable(const DeviceLiveTable& table, std::uint32_t nowTick, int commTimeoutSeconds);

inline constexpr const char* kOverCapacityNote = "设备数超过1024，部分设备未显示";

}  // namespace alarms
