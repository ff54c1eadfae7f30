#include "AlarmKind.h"

#include <array>

namespace readings {
namespace {

// The records' communication kind is named as the live one ("通讯掉线"), which the status bar and the notices already
// say.
constexpr std::array<AlarmKindInfo, kAlarmKindCount> kKinds = {{
    {AlarmKind::TemperatureHigh, kBitTemperatureHigh, "temp_high", "温度超上限", "温度恢复正常", true},
    {AlarmKind::TemperatureLow, kBitTemperatureLow, "temp_low", "温度超下限", "温度恢复正常", true},
    {AlarmKind::HumidityHigh, kBitHumidityHigh, "hum_high", "湿度超上限", "湿度恢复正常", true},
    {AlarmKind::HumidityLow, kBitHumidityLow, "hum_low", "湿度超下限", "湿度恢复正常", true},
    {AlarmKind::SensorOffline, kBitSensorOffline, "sensor_offline", "传感器掉线", "传感器恢复", true},
    {AlarmKind::SupplyLost, kBitSupplyLost, "supply_lost", "供电中断", "供电恢复", true},
    {AlarmKind::CommunicationLost, kBitCommunicationLost, "comm_lost", "通讯掉线", "通讯恢复", true},
    {AlarmKind::ValueAlarm, kBitValueAlarm, "value_alarm", "报警代码异常", "报警代码恢复正常", true},
}};

constexpr bool InKindOrder() {
  for (std::size_t i = 0; i < kKinds.size(); ++i)
    if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
  return true;
}
static_assert(InKindOrder(), "the table is indexed by AlarmKind");

}  // namespace

std::span<const AlarmKindInfo> AlarmKinds() { return kKinds; }

const AlarmKindInfo& InfoOf(AlarmKind kind) { return kKinds[static_cast<std::size_t>(kind)]; }

std::optional<AlarmKind> KindNamed(std::string_view name) {
  for (const AlarmKindInfo& info : kKinds)
    if (name == info.name) return info.kind;
  return std::nullopt;
}

}  // namespace readings
