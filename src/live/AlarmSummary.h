#pragma once
// The status bar's alarm summary and the "new event" test behind the audible alarm, as pure
// functions over the live table: the frame scans the table under its lock once per refresh
// and draws and rings from what these return.
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "DeviceLiveTable.h"

namespace alarms {

// One bit per state that calls for the operator; a device may hold several at once. They
// follow the views' rules (SampleState.h): a value alarm is a channel high, low or with an
// unknown code; sensor offline is either channel at code 3; communication loss is the age of
// the reading alone, whatever its codes.
enum StateBit : std::uint8_t { kBitValueAlarm = 1, kBitSensorOffline = 2, kBitCommunicationLost = 4 };
std::uint8_t StateBits(const LiveSample& latest, bool communicationLost);

struct AlarmCounts {
  int valueAlarm = 0, sensorOffline = 0, communicationLost = 0;
  bool operator==(const AlarmCounts&) const = default;
};

// Per in-use slot: its state bits (0 for a record without a sample) and whether it is shown.
struct LiveScan {
  std::vector<std::uint8_t> bits;
  std::vector<std::uint8_t> shown;
  AlarmCounts counts;  // over the shown records that get a row
};

// The caller holds table.mutex.
LiveScan ScanLiveTable(const DeviceLiveTable& table, std::uint32_t nowTick, int commTimeoutSeconds);

// True when a shown slot holds a state bit it did not hold in `previous` (slots beyond
// `previous` are new and held nothing). A device checked in the tree while already in alarm
// is no new event.
bool HasNewEvent(std::span<const std::uint8_t> previous, const LiveScan& current);

// "报警 3 · 传感器掉线 1 · 通讯掉线 2" as rich text, each count in its state colour when it is
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
