#pragma once
// The status bar's alarm summary as pure functions over the live table: the frame scans the
// table under its lock once per refresh, draws the counts from what these return and hands the
// devices' states to its event detector (DeviceEvents.h), which says when the bell rings.
#include <QString>
#include <cstdint>
#include <vector>

#include "DeviceEvents.h"
#include "DeviceLiveTable.h"

namespace alarms {

// The state bits of the readings library (DeviceEvents.h) for one sample.
using readings::kBitCommunicationLost;
using readings::kBitHumidityHigh;
using readings::kBitHumidityLow;
using readings::kBitSensorOffline;
using readings::kBitSupplyLost;
using readings::kBitTemperatureHigh;
using readings::kBitTemperatureLow;
using readings::kBitValueAlarm;
using readings::kValueAlarmBits;
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

// "报警 3 · 传感器掉线 1 · 供电中断 1 · 通讯掉线 2" as rich text, each count in its state colour when it is
// not 0, in normal green when it is.
QString SummaryHtml(const AlarmCounts& counts);

// How old the shown data is: "数据更新于 hh:mm:ss", or, once the database has not answered for
// longer than one refresh period and a grace, "数据库未响应，数据更新于 hh:mm:ss" (or
// "数据库未响应，尚无数据" before the first successful refresh).
struct Freshness {
  QString text;
  bool stale = false;
  bool operator==(const Freshness&) const = default;
};
inline constexpr std::uint32_t kStaleAfterMs = 10000 + 5000;  // refresh period + grace
Freshness FreshnessOf(const RefreshStamp& last, std::uint32_t nowTick);

inline constexpr const char* kOverCapacityNote = "设备数超过1024，部分设备未显示";

}  // namespace alarms
