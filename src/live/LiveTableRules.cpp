#include "LiveTableRules.h"

#include <cmath>
#include <cstdio>
#include <limits>


namespace livetable {
namespace {

constexpr const char* kTemperatureFormat = "%05.1f";
constexpr const char* kTemperatureHighFormat = "%05.1f ↑";
constexpr const char* kTemperatureLowFormat = "%05.1f ↓";
constexpr const char* kTemperatureFaultFormat = "%05.1f   ";
constexpr const char* kHumidityFormat = "%04.1f   ";
constexpr const char* kHumidityHighFormat = "%04.1f ↑";
constexpr const char* kHumidityLowFormat = "%04.1f ↓";
constexpr const char* kHumiditySensorOfflineFormat = "%04.1f  ";
constexpr const char* kVoltageBatteryFormat = "%04.1f 电池";
constexpr const char* kVoltageMainsFormat = "%04.1f 市电";
constexpr const char* kVoltageFormat = "%04.1f";
constexpr const char* kInternalTemperatureFormat = "%.1f";
constexpr const char* kNoValueText = "--";
constexpr const char* kStateNormal = "正常";
constexpr const char* kStateSensorOffline = "传感器掉线";
constexpr const char* kStateCommunicationLost = "通讯掉线";

QString Format(const char* format, double value) {
  char buffer[64];
  const int n = std::snprintf(buffer, sizeof buffer, format, value);
  return QString::fromUtf8(buffer, n < 0 ? 0 : std::min<int>(n, sizeof buffer - 1));
}

}  // namespace

CellLook TemperatureCell(float temperature, std::int32_t temperatureAlarm) {
  switch (temperatureAlarm) {
    case kAlarmNormal: return {Format(kTemperatureFormat, temperature), kNormalGreen};
    case kAlarmHigh: return {Format(kTemperatureHighFormat, temperature), kAlarmRed};
    case kAlarmLow: return {Format(kTemperatureLowFormat, temperature), kAlarmRed};
    case kAlarmNoValue: return {QString::fromUtf8(kNoValueText), kNormalGreen};
    default: return {Format(kTemperatureFaultFormat, 0.0), kAlarmRed};  // 3 and unknown codes
  }
}

CellLook HumidityCell(float humidity, std::int32_t humidityAlarm) {
  switch (humidityAlarm) {
    case kAlarmNormal: return {Format(kHumidityFormat, humidity), kNormalGreen};
    case kAlarmHigh: return {Format(kHumidityHighFormat, humidity), kAlarmRed};
    case kAlarmLow: return {Format(kHumidityLowFormat, humidity), kAlarmRed};
    case kAlarmSensorOffline: return {Format(kHumiditySensorOfflineFormat, humidity), kAlarmRed};
    case kAlarmNoValue: return {QString::fromUtf8(kNoValueText), kNormalGreen};
    default: return {Format(kHumidityFormat, humidity), kAlarmRed};
  }
}

CellLook VoltageCell(float voltage, std::int32_t powerSource) {
  switch (powerSource) {
    case kPowerBattery: return {Format(kVoltageBatteryFormat, voltage), kAlarmRed};
    case kPowerMains: return {Format(kVoltageMainsFormat, voltage), kBlack};
    default: return {Format(kVoltageFormat, voltage), kBlack};
  }
}

CellLook FaultStateCell(std::int32_t temperatureAlarm, std::int32_t humidityAlarm, bool communicationLost) {
  if (temperatureAlarm == kAlarmSensorOffline || humidityAlarm == kAlarmSensorOffline)
    return {QString::fromUtf8(kStateSensorOffline), kAlarmRed};
  if (communicationLost) return {QString::fromUtf8(kStateCommunicationLost), kOfflineBlue};
  return {QString::fromUtf8(kStateNormal), kNormalGreen};
}

QString InternalTemperatureText(float internalTemperature) {
  return Format(kInternalTemperatureFormat, internalTemperature);
}

QString CurrentText(float current) {
  // A float outside the int range (or NaN from a garbled column) has no defined conversion:
  // pin it to the nearest representable value instead.
  constexpr float kMax = 2147483520.0f;  // largest float below 2^31
  if (std::isnan(current)) return QStringLiteral("0");
  if (current >= kMax) return QString::number(std::numeric_limits<int>::max());
  if (current <= -kMax) return QString::number(std::numeric_limits<int>::min());
  return QString::number(static_cast<int>(current));  // truncates toward zero
}

bool GetsRow(const DeviceLiveRecord& record) {
  if (record.ringWrite < 0 || record.ringWrite > DeviceLiveRecord::kRingSize) return false;
  return record.ringWrite != record.ringStart && record.shown != 0;
}

RowLook RowFor(const DeviceLiveRecord& record, std::uint32_t nowTick, int commTimeoutSeconds, GbkTextCache& texts) {
  const LiveSample& s = record.LatestSample();
  RowLook row;
  row.texts[kColDeviceId] = texts.Decode(record.deviceId);
  row.texts[kColDeviceName] = texts.Decode(record.deviceName);
  row.texts[kColCompany] = texts.Decode(record.companyName);
  row.texts[kColDepartment] = texts.Decode(record.departmentName);
  row.texts[kColReadingTime] = texts.Decode(record.readingTime);
  row.texts[kColInternalTemperature] = InternalTemperatureText(s.internalTemperature);
  row.texts[kColCurrent] = CurrentText(s.current);

  const auto put = [&row](int column, CellLook look) {
    row.texts[static_cast<std::size_t>(column)] = std::move(look.text);
    row.colours[static_cast<std::size_t>(column)] = look.colour;
  };
  put(kColTemperature, TemperatureCell(s.temperature, s.temperatureAlarm));
  put(kColHumidity, HumidityCell(s.humidity, s.humidityAlarm));
  put(kColVoltage, VoltageCell(s.voltage, s.powerSource));
  put(kColFaultState, FaultStateCell(s.temperatureAlarm, s.humidityAlarm,
                                     IsCommunicationLost(record, nowTick, commTimeoutSeconds)));
  return row;
}

}  // namespace livetable
