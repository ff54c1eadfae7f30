#include "TileRules.h"

#include <cstdio>

namespace tiles {
namespace {

constexpr const char* kTemperatureHigh = "%5.1f ℃ ↑";
constexpr const char* kTemperatureLow = "%5.1f ℃ ↓";
constexpr const char* kTemperatureNormal = "%5.1f ℃   ";
constexpr const char* kTemperatureSensorOffline = "0.0 ℃   ";
constexpr const char* kHumidityHigh = "%4.1f  %% ↑";
constexpr const char* kHumidityLow = "%4.1f  %% ↓";
constexpr const char* kHumidityNormal = "%4.1f  %%   ";
constexpr const char* kSupplyMains = "市电:%.1fV/%.0fmA";
constexpr const char* kSupplyBattery = "电池:%.1fV/%.0fmA";
constexpr const char* kSupplyInternalTemperature = "  %.1f℃";
constexpr const char* kStateNormal = "正常   ";
constexpr const char* kStateSensorOffline = "传感器掉线   ";
constexpr const char* kStateCommunicationLost = "通讯掉线   ";

// The C formatting rules (rounding included), on UTF-8 formats.
template <typename... Args>
QString Format(const char* format, Args... args) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return QString::fromUtf8(buffer);
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
  switch (temperatureAlarm) {
    case kAlarmHigh: return Format(kTemperatureHigh, double(temperature));
    case kAlarmLow: return Format(kTemperatureLow, double(temperature));
    case kAlarmSensorOffline: return QString::fromUtf8(kTemperatureSensorOffline);
    default: return Format(kTemperatureNormal, double(temperature));
  }
}

QString HumidityText(float humidity, int humidityAlarm) {
  switch (humidityAlarm) {
    case kAlarmHigh: return Format(kHumidityHigh, double(humidity));
    case kAlarmLow: return Format(kHumidityLow, double(humidity));
    default: return Format(kHumidityNormal, double(humidity));
  }
}

QString SupplyText(const LiveSample& sample) {
  const char* format = sample.powerSource != kPowerBattery ? kSupplyMains : kSupplyBattery;
  return Format(format, double(sample.voltage), double(sample.current)) +
         Format(kSupplyInternalTemperature, double(sample.internalTemperature));
}

TileFace FaceFor(const TileInput& input) {
  TileFace face;
  face.id = input.deviceId;
  face.name = input.deviceName;
  // A record without a sample reads as normal, and is not checked for communication loss.
  int temperatureAlarm = kAlarmNormal;
  int humidityAlarm = kAlarmNormal;
  int powerSource = kPowerBattery;
  bool communicationLost = false;
  if (input.hasSample) {
    const LiveSample& s = input.latest;
    temperatureAlarm = s.temperatureAlarm;
    humidityAlarm = s.humidityAlarm;
    powerSource = s.powerSource;
    communicationLost = input.communicationLost;
    face.temperature = TemperatureText(s.temperature, temperatureAlarm);
    face.humidity = HumidityText(s.humidity, humidityAlarm);
    face.supply = SupplyText(s);
  }
  face.temperatureColour = temperatureAlarm != kAlarmNormal ? kAlarmRed : kNormalGreen;
  face.humidityColour = humidityAlarm != kAlarmNormal ? kAlarmRed : kNormalGreen;
  face.supplyColour = powerSource != kPowerBattery ? kBlack : kAlarmRed;
  face.innerBorder = (temperatureAlarm != kAlarmNormal || humidityAlarm != kAlarmNormal) ? kInnerBorderAlarm
                                                                                         : kInnerBorderNormal;
  if (temperatureAlarm == kAlarmSensorOffline) {
    face.state = QString::fromUtf8(kStateSensorOffline);
    face.stateColour = kAlarmRed;
  } else if (communicationLost) {
    face.state = QString::fromUtf8(kStateCommunicationLost);
    face.stateColour = kOfflineBlue;
  } else {
    face.state = QString::fromUtf8(kStateNormal);
    face.stateColour = kNormalGreen;
  }
  return face;
}

}  // namespace tiles
