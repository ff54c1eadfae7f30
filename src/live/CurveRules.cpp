#include "CurveRules.h"

#include <algorithm>
#include <cstdio>

#include "SampleState.h"

namespace curves {
namespace {

constexpr std::array<QRgb, kDevicesPerGroup> kSlotColours = {
    qRgb(255, 0, 0), qRgb(0, 0, 255),     qRgb(0, 255, 0),     qRgb(0, 128, 0),     qRgb(128, 0, 0),
    qRgb(0, 0, 128), qRgb(255, 128, 255), qRgb(128, 255, 255), qRgb(255, 255, 128), qRgb(64, 0, 128)};

constexpr const char* kGroupLabelFormat = "第%d/%d组";
constexpr int kLegendSpacing = 30;

}  // namespace

const std::array<ChartPanel, 4> kPanels = {{
    {150, 50, 400, 250, &LiveSample::temperature, &LiveSample::temperatureAlarm, 40, 2, -40, 80, 10, "单位/℃",
     "温度实时监控"},
    {600, 50, 400, 250, &LiveSample::humidity, &LiveSample::humidityAlarm, 0, 2, 0, 100, 10, "单位/%", "湿度实时监控"},
    {150, 350, 400, 250, &LiveSample::internalTemperature, nullptr, 40, 2, -40, 80, 10, "单位/℃",
     "设备内部温度实时监控"},
    {600, 350, 400, 250, &LiveSample::voltage, nullptr, 0, 10, 0, 20, 2, "单位/V", "设备电压实时监控"},
}};

int ValueToRow(const ChartPanel& panel, double value) {
  const double row = panel.y0 + panel.height - (value + panel.valueOffset) * panel.pixelsPerUnit;
  // Far-off values (and NaN) are simply outside every panel; keep the conversion defined.
  if (!(row > -1e6 && row < 1e6)) return -1000000;
  return static_cast<int>(row);
}

bool RowInPanel(const ChartPanel& panel, int row) { return row >= panel.y0 && row <= panel.y0 + panel.height; }

CurveRuns CurvePoints(const ChartPanel& panel, std::span<const LiveSample> samples) {
  CurveRuns runs(1);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const LiveSample& sample = samples[i];
    const float value = sample.*panel.field;
    const ChannelState state =
        panel.alarmCode ? ChannelStateOf(value, sample.*panel.alarmCode) : ChannelStateOf(value, kAlarmNormal);
    if (state == ChannelState::NoValue || state == ChannelState::SensorOffline) {
      if (!runs.back().empty()) runs.emplace_back();
      continue;
    }
    const int row = ValueToRow(panel, double(value));
    if (RowInPanel(panel, row)) runs.back().emplace_back(panel.x0 + static_cast<int>(i), row);
  }
  if (runs.back().empty()) runs.pop_back();
  return runs;
}

bool InButton(const QRect& button, QPoint point) {
  return point.x() >= button.left() && point.x() < button.left() + button.width() && point.y() >= button.top() &&
         point.y() < button.top() + button.height();
}

QRgb SlotColour(int slot) { return kSlotColours[static_cast<std::size_t>(std::clamp(slot, 0, kDevicesPerGroup - 1))]; }

QRect LegendBar(int slot) { return QRect(5, 195 + kLegendSpacing * slot, 30, 13); }

QPoint LegendTextPosition(int slot) { return QPoint(37, 194 + kLegendSpacing * slot); }

int GroupCount(int shownCount) { return shownCount <= 0 ? 0 : (shownCount + kDevicesPerGroup - 1) / kDevicesPerGroup; }

QString GroupLabel(int groupIndex, int groupCount) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, kGroupLabelFormat, groupIndex + 1, groupCount);
  return QString::fromUtf8(buffer);
}

std::optional<int> StepGroup(int groupIndex, int groupCount, int command) {
  if (command == 1) {
    if (groupIndex <= 0) return std::nullopt;
    return groupIndex - 1;
  }
  if (command == 2) {
    if (groupIndex >= groupCount - 1) return std::nullopt;
    return groupIndex + 1;
  }
  return groupIndex;
}

int ClampGroup(int groupIndex, int groupCount) { return std::clamp(groupIndex, 0, std::max(groupCount - 1, 0)); }

int FirstRecordOfGroup(std::span<const char> shown, int groupIndex) {
  if (groupIndex <= 0) return 0;
  const int wanted = groupIndex * kDevicesPerGroup;
  int counted = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] && ++counted == wanted) return static_cast<int>(i) + 1;
  }
  return static_cast<int>(shown.size());
}

}  // namespace curves
