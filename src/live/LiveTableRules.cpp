#include "LiveTableRules.h"

#include <cmath>
#include <limits>

#include "CNumber.h"
#include "SampleState.h"

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
constexpr const char* kVoltageBatteryMissing = "-- 电池";
constexpr const char* kVoltageMainsMissing = "-- 市电";
constexpr const char* kInternalTemperatureFormat = "%.1f";
constexpr const char* kNoValueText = "--";
constexpr const char* kStateNormal = "正常";
constexpr const char* kStateSensorOffline = "传感器掉线";
constexpr const char* kStateCommunicationLost = "通讯掉线";

// The C formatting of one number, or `missing` for a value that is not a finite number.
QString Number(const char* format, double value, const char* missing = kNoValueText) {
  if (!std::isfinite(value)) return QString::fromUtf8(missing);
  return QString::fromStdString(platform::FormatNumberC(format, value));
}

}  // namespace

CellLook TemperatureCell(float temperature, std::int32_t temperatureAlarm) {
  switch (ChannelStateOf(temperature, temperatureAlarm)) {
    case ChannelState::Normal: return {Number(kTemperatureFormat, temperature), kNormalGreen};
    case ChannelState::High: return {Number(kTemperatureHighFormat, temperature), kAlarmRed};
    case ChannelState::Low: return {Number(kTemperatureLowFormat, temperature), kAlarmRed};
    case ChannelState::NoValue: return {QString::fromUtf8(kNoValueText), kNormalGreen};
    // A code no state knows still stands beside a measured value: show it, in alarm red and
    // without an arrow, as the tiles and the curves do.
    case ChannelState::UnknownCode: return {Number(kTemperatureFaultFormat, temperature), kAlarmRed};
    case ChannelState::SensorOffline: break;
  }
  return {Number(kTemperatureFaultFormat, 0.0), kAlarmRed};
}

CellLook HumidityCell(float humidity, std::int32_t humidityAlarm) {
  switch (ChannelStateOf(humidity, humidityAlarm)) {
    case ChannelState::Normal: return {Number(kHumidityFormat, humidity), kNormalGreen};
    case ChannelState::High: return {Number(kHumidityHighFormat, humidity), kAlarmRed};
    case ChannelState::Low: return {Number(kHumidityLowFormat, humidity), kAlarmRed};
    case ChannelState::SensorOffline: return {Number(kHumiditySensorOfflineFormat, humidity), kAlarmRed};
    case ChannelState::NoValue: return {QString::fromUtf8(kNoValueText), kNormalGreen};
    case ChannelState::UnknownCode: break;
  }
  return {Number(kHumidityFormat, humidity), kAlarmRed};
}

CellLook VoltageCell(float voltage, std::int32_t powerSource) {
  switch (powerSource) {
    case kPowerBattery: return {Number(kVoltageBatteryFormat, voltage, kVoltageBatteryMissing), kAlarmRed};
    case kPowerMains: return {Number(kVoltageMainsFormat, voltage, kVoltageMainsMissing), kBlack};
    default: return {Number(kVoltageFormat, voltage), kBlack};  // unknown or missing source
  }
}

CellLook FaultStateCell(const LiveSample& sample, bool communicationLost) {
  switch (FaultLineOf(sample, communicationLost)) {
    case FaultLine::SensorOffline: return {QString::fromUtf8(kStateSensorOffline), kAlarmRed};
    case FaultLine::CommunicationLost: return {QString::fromUtf8(kStateCommunicationLost), kOfflineBlue};
    case FaultLine::NoReading: return {QString::fromUtf8(kNoValueText), kNormalGreen};
    case FaultLine::Normal: break;
  }
  return {QString::fromUtf8(kStateNormal), kNormalGreen};
}

QString InternalTemperatureText(float internalTemperature) {
  return Number(kInternalTemperatureFormat, internalTemperature);
}

QString CurrentText(float current) {
  // A float outside the int range has no defined conversion: pin it to the nearest
  // representable value instead.
  constexpr float kMax = 2147483520.0f;  // largest float below 2^31
  if (!HasValue(current)) return QString::fromUtf8(kNoValueText);
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
  const bool lost = IsCommunicationLost(record, nowTick, commTimeoutSeconds);
  row.colours[kColReadingTime] = lost ? kOfflineBlue : kBlack;
  put(kColFaultState, FaultStateCell(s, lost));
  return row;
}

}  // namespace livetable
