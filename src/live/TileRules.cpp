#include "TileRules.h"

#include "CNumber.h"
#include "SampleState.h"

namespace tiles {
namespace {

constexpr const char* kTemperatureHigh = "%5.1f ℃ ↑";
constexpr const char* kTemperatureLow = "%5.1f ℃ ↓";
constexpr const char* kTemperatureNormal = "%5.1f ℃   ";
constexpr const char* kTemperatureSensorOffline = "0.0 ℃   ";
constexpr const char* kTemperatureNoValue = "-- ℃   ";
constexpr const char* kHumidityHigh = "%4.1f  %% ↑";
constexpr const char* kHumidityLow = "%4.1f  %% ↓";
constexpr const char* kHumidityNormal = "%4.1f  %%   ";
constexpr const char* kHumidityNoValue = "--  %   ";
constexpr const char* kSupplyMains = "市电:";
constexpr const char* kSupplyBattery = "电池:";
constexpr const char* kSupplyVoltage = "%.1f";
constexpr const char* kSupplyCurrent = "%.0f";
constexpr const char* kSupplyInternalTemperature = "%.1f";
constexpr const char* kNoValue = "--";
constexpr const char* kStateNormal = "正常   ";
constexpr const char* kStateSensorOffline = "传感器掉线   ";
constexpr const char* kStateCommunicationLost = "通讯掉线   ";
constexpr const char* kStateNoReading = "--   ";

// The C formatting of one number (rounding included, on UTF-8 formats), or `missing` for a
// value that is not a finite number.
QString Number(const char* format, float value, const char* missing = kNoValue) {
  if (!HasValue(value)) return QString::fromUtf8(missing);
  return QString::fromStdString(platform::FormatNumberC(format, double(value)));
}

bool IsShown(std::span<const char> shown, int index) { return shown[static_cast<std::size_t>(index)] != 0; }

}  // namespace

TileGrid GridForClient(int width, int height) {
  if (width <= 0 || height <= 0) return {};
  return {width / kCellWidth, height / kCellHeight};
}

QPoint CellOrigin(int cellIndex, int columns) {
  if (columns <= 0) return {kCellMargin, kCellMargin};
  return {kCellMargin + kCellWidth * (cellIndex % columns), kCellMargin + kCellHeight * (cellIndex / columns)};
}

int PreviousPageStart(std::span<const char> shown, int first, int perPage) {
  const int count = static_cast<int>(shown.size());
  if (first <= 0 || perPage <= 0 || first >= count) return first;
  // Walk back over as many shown records as a page holds, counting the current first one.
  int index = first;
  int counted = 0;
  while (true) {
    if (IsShown(shown, index)) ++counted;
    --index;
    if (index <= 0 || counted >= perPage) return index;
  }
}

int NextPageStart(std::span<const char> shown, int first, int perPage) {
  const int count = static_cast<int>(shown.size());
  if (perPage <= 0 || first < 0 || first >= count) return first;
  int index = first;
  int counted = 0;
  while (true) {
    if (IsShown(shown, index)) ++counted;
    ++index;
    if (index >= count) return first;  // the current page already reaches the end
    if (counted >= perPage) break;
  }
  // Only turn when a shown record is left for the new page; otherwise it would be empty.
  for (int next = index; next < count; ++next) {
    if (IsShown(shown, next)) return index;
  }
  return first;
}

std::vector<int> RecordsOnPage(std::span<const char> shown, int first, int perPage) {
  std::vector<int> records;
  if (perPage <= 0 || first < 0) return records;
  const int count = static_cast<int>(shown.size());
  for (int index = first; index < count && static_cast<int>(records.size()) < perPage; ++index) {
    if (IsShown(shown, index)) records.push_back(index);
  }
  return records;
}

QString TemperatureText(float temperature, int temperatureAlarm) {
  switch (ChannelStateOf(temperature, temperatureAlarm)) {
    case ChannelState::High: return Number(kTemperatureHigh, temperature);
    case ChannelState::Low: return Number(kTemperatureLow, temperature);
    case ChannelState::SensorOffline: return QString::fromUtf8(kTemperatureSensorOffline);
    case ChannelState::NoValue: return QString::fromUtf8(kTemperatureNoValue);
    case ChannelState::Normal:
    case ChannelState::UnknownCode: break;
  }
  return Number(kTemperatureNormal, temperature);
}

QString HumidityText(float humidity, int humidityAlarm) {
  switch (ChannelStateOf(humidity, humidityAlarm)) {
    case ChannelState::High: return Number(kHumidityHigh, humidity);
    case ChannelState::Low: return Number(kHumidityLow, humidity);
    case ChannelState::NoValue: return QString::fromUtf8(kHumidityNoValue);
    case ChannelState::Normal:
    case ChannelState::SensorOffline:
    case ChannelState::UnknownCode: break;
  }
  return Number(kHumidityNormal, humidity, kHumidityNoValue);
}

QString SupplyText(const LiveSample& sample) {
  // An unknown or missing source gets no word rather than a claim of mains or battery.
  const char* source = sample.powerSource == kPowerMains     ? kSupplyMains
                       : sample.powerSource == kPowerBattery ? kSupplyBattery
                                                             : "";
  return QString::fromUtf8(source) + Number(kSupplyVoltage, sample.voltage) + QStringLiteral("V/") +
         Number(kSupplyCurrent, sample.current) + QStringLiteral("mA  ") +
         Number(kSupplyInternalTemperature, sample.internalTemperature) + QStringLiteral("℃");
}

TileFace FaceFor(const TileInput& input) {
  TileFace face;
  face.id = input.deviceId;
  face.name = input.deviceName;
  face.state = QString::fromUtf8(kStateNormal);
  // A record without a sample reads as normal, and is not checked for communication loss.
  if (!input.hasSample) return face;

  const LiveSample& s = input.latest;
  face.temperature = TemperatureText(s.temperature, s.temperatureAlarm);
  face.humidity = HumidityText(s.humidity, s.humidityAlarm);
  face.supply = SupplyText(s);
  const bool temperatureAlarm = IsAlarm(TemperatureState(s));
  const bool humidityAlarm = IsAlarm(HumidityState(s));
  face.temperatureColour = temperatureAlarm ? kAlarmRed : kNormalGreen;
  face.humidityColour = humidityAlarm ? kAlarmRed : kNormalGreen;
  face.supplyColour = s.powerSource == kPowerBattery ? kAlarmRed : kBlack;
  face.innerBorder = temperatureAlarm || humidityAlarm ? kInnerBorderAlarm : kInnerBorderNormal;

  switch (FaultLineOf(s, input.communicationLost)) {
    case FaultLine::SensorOffline:
      face.state = QString::fromUtf8(kStateSensorOffline);
      face.stateColour = kAlarmRed;
      break;
    case FaultLine::CommunicationLost:
      face.state = QString::fromUtf8(kStateCommunicationLost);
      face.stateColour = kLostText;
      break;
    case FaultLine::NoReading: face.state = QString::fromUtf8(kStateNoReading); break;
    case FaultLine::Normal: break;
  }
  if (input.communicationLost) {
    // The values are stale: grey them, and mark the whole panel so it stands out from both
    // the normal and the alarm tiles, also when a sensor fault holds the state line.
    face.temperatureColour = face.humidityColour = kStaleValue;
    face.supplyColour = kStaleSupply;
    face.innerBorder = kInnerBorderLost;
    face.innerBorderWidth = kLostBorderWidth;
  }
  return face;
}

}  // namespace tiles
