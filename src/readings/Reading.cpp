#include "Reading.h"

#include <algorithm>
#include <charconv>

namespace readings {
namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kCodeMax = std::numeric_limits<std::int32_t>::max();

std::string_view SkipLeading(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return text;
}

}  // namespace

double ParseDecimal(std::string_view text) {
  text = SkipLeading(text);
  double value = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc()) return kNoValue;
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return kNoValue;
  return value;
}

std::int32_t ParseCode(std::string_view text) {
  text = SkipLeading(text);
  const bool negative = !text.empty() && text.front() == '-';
  std::int64_t value = 0;
  const std::errc ec = std::from_chars(text.data(), text.data() + text.size(), value).ec;
  if (ec == std::errc::result_out_of_range) return negative ? kCodeNotReported + 1 : kCodeMax;
  if (ec != std::errc()) return kCodeNotReported;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, kCodeNotReported + 1, kCodeMax));
}

ChannelState ChannelStateOf(double value, std::int32_t alarmCode) {
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

bool IsMeasured(ChannelState state) { return state != ChannelState::SensorOffline && state != ChannelState::NoValue; }

Channel ParseChannel(std::string_view value, std::string_view code) { return {ParseDecimal(value), ParseCode(code)}; }

FaultLine FaultLineOf(const Channel& temperature, const Channel& humidity, bool communicationLost) {
  if (temperature.code == kAlarmSensorOffline || humidity.code == kAlarmSensorOffline) return FaultLine::SensorOffline;
  if (communicationLost) return FaultLine::CommunicationLost;
  if (!HasValue(temperature.value) && !HasValue(humidity.value)) return FaultLine::NoReading;
  return FaultLine::Normal;
}

bool IsCommunicationLost(std::uint64_t ageMs, int commTimeoutSeconds) {
  if (commTimeoutSeconds < 0) return false;
  return ageMs > static_cast<std::uint64_t>(commTimeoutSeconds) * 1000u;
}

}  // namespace readings
