#pragma once
// The kinds of alarm events, one table for every place that names them: the live detector and
// the status bar, the alarm records of the history, the acknowledgements (stored by name), the
// notification program (VELTRANE_KIND) and the kind filter of the records window.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace readings {

// One bit per state, each the bit of a kind below; a device may hold several at once. A value
// alarm is a channel high, low
// or with an unknown code: high and low have a bit per channel, so that a notice can say which
// limit was passed and a channel turning from high to low is a new alarm; kBitValueAlarm is
// left for an unknown code. Sensor offline is either channel at code 3; supply lost is a
// reading made on battery; communication loss is the age of the reading alone, whatever its
// codes.
enum StateBit : std::uint8_t {
  kBitValueAlarm = 1,
  kBitSensorOffline = 2,
  kBitCommunicationLost = 4,
  kBitSupplyLost = 8,
  kBitTemperatureHigh = 16,
  kBitTemperatureLow = 32,
  kBitHumidityHigh = 64,
  kBitHumidityLow = 128,
};
// The bits the status bar counts as "报警".
inline constexpr std::uint8_t kValueAlarmBits =
    kBitValueAlarm | kBitTemperatureHigh | kBitTemperatureLow | kBitHumidityHigh | kBitHumidityLow;
// In the order the records window lists its kinds (its filter index is 1 + the kind).
enum class AlarmKind : std::uint8_t {
  TemperatureHigh,
  TemperatureLow,
  HumidityHigh,
  HumidityLow,
  SensorOffline,      // either channel at code 3
  SupplyLost,         // a reading made on battery (power code 0)
  CommunicationLost,  // live: no new reading for the time-out; history: a gap between readings
  ValueAlarm,         // a channel whose alarm code no state knows, beside a real value
};
inline constexpr int kAlarmKindCount = 8;

struct AlarmKindInfo {
  AlarmKind kind;
  std::uint8_t bit;      // the device's state bit (StateBitsOf)
  const char* name;      // the notification program's and the acknowledgements' name
  const char* label;     // UTF-8: the records window, the exports, a notice's text at the start
  const char* restored;  // UTF-8: a notice's text at the end
  bool rings;            // a start rings the bell (and is told at once)
};

// Every kind, in AlarmKind order.
std::span<const AlarmKindInfo> AlarmKinds();
const AlarmKindInfo& InfoOf(AlarmKind kind);
inline const char* KindName(AlarmKind kind) { return InfoOf(kind).name; }
inline const char* KindLabel(AlarmKind kind) { return InfoOf(kind).label; }
inline std::uint8_t KindBit(AlarmKind kind) { return InfoOf(kind).bit; }
// The kind of a notification name; nullopt for a name no kind has (db_lost is the station's own).
std::optional<AlarmKind> KindNamed(std::string_view name);

}  // namespace readings
