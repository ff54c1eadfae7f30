#include "HistoryChart.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "ReadingTime.h"

namespace history {
namespace {
constexpr const char* kGroupLabelFormat = "第%d/%d组";
constexpr long long kSecondsPerDay = 86400;
// A reading may hold any magnitude a float holds; beyond this it would not fit an int pixel coordinate.
constexpr double kValueLimit = 1.0e7;
}  // namespace

const std::array<QColor, kSeriesSlots> kSeriesColours = {
    QColor(255, 0, 0), QColor(0, 0, 255),     QColor(0, 255, 0),     QColor(0, 128, 0),     QColor(128, 0, 0),
    QColor(0, 0, 128), QColor(255, 128, 255), QColor(128, 255, 255), QColor(255, 255, 128), QColor(64, 0, 128),
};

ChannelScale ScaleOf(int channel) {
  if (channel == kChannelHumidity) return {"单位/%", 0, 100, 10};
  if (channel == kChannelVoltage) return {"单位/V", 0, 20, 2};
  return {"单位/℃", -40, 80, 10};
}

int SecondOfDay(std::string_view datetime) {
  const long long seconds = readings::ReadingSeconds(datetime).value_or(0);
  return static_cast<int>((seconds % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay);
}

int CurveX(std::string_view datetime) { return kChartLeft + SecondOfDay(datetime) / kSecondsPerPixel; }

int CurveY(int channel, double value) {
  value = std::clamp(value, -kValueLimit, kValueLimit);
  const ChannelScale scale = ScaleOf(channel);
  const double y = kChartBottom - (value - scale.low) * kScaleHeight / (scale.high - scale.low);
  return static_cast<int>(y);  // truncates toward zero
}

void AddCurvePoint(std::vector<QPoint>& trace, QPoint point) {
  if (trace.empty() || point.x() > trace.back().x()) trace.push_back(point);
}

int GroupCount(int deviceCount) { return deviceCount > 0 ? (deviceCount + kSeriesSlots - 1) / kSeriesSlots : 0; }

int ClampGroupIndex(int index, int deviceCount) {
  return std::clamp(index, 0, std::max(GroupCount(deviceCount) - 1, 0));
}

QString GroupLabel(int index, int deviceCount) {
  const int groups = GroupCount(deviceCount);
  const int shown = groups == 0 ? 0 : ClampGroupIndex(index, deviceCount) + 1;
  return QString::asprintf(kGroupLabelFormat, shown, groups);
}

}  // namespace history
