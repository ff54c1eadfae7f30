#pragma once
// Geometry and rules of the history curve chart, in off-screen image pixels: one hour per 30
// pixels, one pixel column per two minutes, one vertical scale per channel.
//
// The chart lies between the page's channel buttons above and its day buttons and date box
// below, right of the group buttons: no control of the page covers a curve, an axis or a
// label (the curve page's test checks the rectangles). Every channel's scale, lowest to
// highest value, spans the same kScaleHeight pixels.
#include <QColor>
#include <QPoint>
#include <QString>
#include <array>
#include <string_view>
#include <vector>

namespace history {

enum CurveChannel : int {
  kChannelTemperature = 0,
  kChannelHumidity = 1,
  kChannelDeviceTemperature = 2,
  kChannelVoltage = 3
};

inline constexpr int kChartLeft = 100;
inline constexpr int kChartTop = 60;  // the tip of the y axis
inline constexpr int kChartWidth = 730;
inline constexpr int kChartHeight = 210;
inline constexpr int kChartBottom = kChartTop + kChartHeight;  // the x axis
inline constexpr int kScaleHeight = 200;
inline constexpr int kPixelsPerHour = 30;
inline constexpr int kSecondsPerPixel = 3600 / kPixelsPerHour;

inline constexpr int kSeriesSlots = 10;  // devices per group
extern const std::array<QColor, kSeriesSlots> kSeriesColours;

// The vertical scale of a channel: labels from `low` to `high` in steps of `step`.
struct ChannelScale {
  const char* unitLabel;  // UTF-8
  int low, high, step;
};
ChannelScale ScaleOf(int channel);

// Seconds since midnight of "YYYY-MM-DD hh:mm:ss" (the date part is not used).
int SecondOfDay(std::string_view datetime);
// Pixel column of a reading: only the time of day counts.
int CurveX(std::string_view datetime);
// Pixel row of a value on the channel's scale (truncated toward zero); values beyond the
// scale leave the chart.
int CurveY(int channel, double value);

// A device's curve as drawn: the first reading starts it, a later one only extends it when
// it lies in a pixel column right of the last point, so each column is drawn at most once.
void AddCurvePoint(std::vector<QPoint>& trace, QPoint point);

// Groups of ten devices for `deviceCount` devices (rounded up).
int GroupCount(int deviceCount);
// The group index kept within the groups that exist (0 for an empty list).
int ClampGroupIndex(int index, int deviceCount);
// "第%d/%d组"; an empty list reads "第0/0组" rather than naming a group that does not exist.
QString GroupLabel(int index, int deviceCount);

}  // namespace history
