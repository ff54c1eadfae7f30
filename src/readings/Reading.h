#pragma once
// What one reading of the collector says, for the live table, the tiles and the curves as for
// the history table, its statistics, curves and exports, so that no two views disagree.
//
// A value that is not a finite number a float can hold (SQL NULL, which arrives as an empty
// text, garbage, "nan", "inf", 1e39) is NaN: "no value", never a plausible-looking 0. A code
// column that was NULL or no number is kCodeNotReported, which like any code outside 0..4 is
// an alarm. Texts are parsed independently of the process locale (Qt sets the user's, where a
// decimal comma would cut "21.5" to 21).
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

// Alarm and power codes as the collector writes them.
enum AlarmCode : std::int32_t {
  kAlarmNormal = 0,
  kAlarmHigh = 1,
  kAlarmLow = 2,
  kAlarmSensorOffline = 3,
  kAlarmNoValue = 4
};
enum PowerCode : std::int32_t { kPowerBattery = 0, kPowerMains = 1 };

inline constexpr std::int32_t kCodeNotReported = std::numeric_limits<std::int32_t>::min();

namespace readings {

// The leading decimal number of `text` after blanks and a '+'; NaN when there is none or when
// it is no finite float.
double ParseDecimal(std::string_view text);
// The leading integer of `text`; kCodeNotReported when there is none. One beyond 32 bits is
// pinned to the nearest bound, so that it stays out of 0..4 instead of wrapping onto a code.
std::int32_t ParseCode(std::string_view text);

inline bool HasValue(double value) { return std::isfinite(value); }

enum class ChannelState { Normal, High, Low, SensorOffline, NoValue, UnknownCode };

// Code 3 wins over a missing value; a missing value wins over the codes 0..2 and unknown ones.
ChannelState ChannelStateOf(double value, std::int32_t alarmCode);
// High, low, sensor offline and unknown codes: states the operator must look at.
bool IsAlarm(ChannelState state);
// The reading measured this channel: it counts in minima, maxima, means and curves.
bool IsMeasured(ChannelState state);

// One channel of a reading as stored texts.
struct Channel {
  double value;
  std::int32_t code;
  ChannelState State() const { return ChannelStateOf(value, code); }
};
Channel ParseChannel(std::string_view value, std::string_view code);

// The state text of a device's fault line (the live table's fault column, the tile's state
// line, the history table's fault column).
enum class FaultLine { Normal, SensorOffline, CommunicationLost, NoReading };

// Either sensor offline outranks a communication loss; a device that delivered neither a
// temperature nor a humidity value is not claimed to be normal.
FaultLine FaultLineOf(const Channel& temperature, const Channel& humidity, bool communicationLost);

// Communication loss: no new reading for longer than the time-out. The caller says how old the
// device's newest reading is (the live table from its refresh clock); exactly the time-out is
// not yet a loss, and a negative time-out never runs out.
bool IsCommunicationLost(std::uint64_t ageMs, int commTimeoutSeconds);

// One reading as the alarm rules see it, live or from the history.
struct Reading {
  long long time = 0;  // seconds (ReadingTime.h); 0 where only the state matters
  Channel temperature{std::numeric_limits<double>::quiet_NaN(), kCodeNotReported};
  Channel humidity{std::numeric_limits<double>::quiet_NaN(), kCodeNotReported};
  std::int32_t power = kCodeNotReported;  // kPowerBattery, kPowerMains; anything else says nothing
  double voltage = std::numeric_limits<double>::quiet_NaN();
};

}  // namespace readings
