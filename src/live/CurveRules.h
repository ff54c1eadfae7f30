#pragma once
// Layout, scale and grouping rules of the live curve view, free of widgets so they can be
// tested case by case. All positions are client pixels and do not follow the view's size.
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "DeviceLiveTable.h"

namespace curves {

inline constexpr int kDevicesPerGroup = 10;

// One chart panel: (x0, y0) is the top of the vertical axis, the horizontal axis runs along
// y0 + height. A value v lies on row y0 + height - (v + valueOffset) * pixelsPerUnit.
struct ChartPanel {
  int x0, y0, width, height;
  float LiveSample::*field;
  std::int32_t LiveSample::*alarmCode;  // nullptr: the panel's value has no alarm code
  double valueOffset;
  double pixelsPerUnit;
  int scaleLow, scaleHigh, scaleStep;
  const char* unitCaption;
  const char* title;
};

// Temperature, humidity, internal temperature, voltage: the order the curves are drawn in.
extern const std::array<ChartPanel, 4> kPanels;

// Pixel row of a value, truncated toward zero.
int ValueToRow(const ChartPanel& panel, double value);
bool RowInPanel(const ChartPanel& panel, int row);
// One device's curve as runs of joined points, samples oldest first: sample i goes to column
// x0 + i. Values outside the panel are left out and the run joins their neighbours; a sample
// without a reading (no value, sensor offline) ends the run, so no line crosses the gap.
using CurveRuns = std::vector<std::vector<QPoint>>;
CurveRuns CurvePoints(const ChartPanel& panel, std::span<const LiveSample> samples);

inline constexpr QRect kPreviousButton(5, 100, 100, 50);
inline constexpr QRect kNextButton(5, 520, 100, 50);
inline constexpr QPoint kButtonCaptionOffset(27, 17);
inline constexpr QPoint kGroupLabelPosition(30, 70);
// Left and top edges belong to the button, right and bottom edges do not.
bool InButton(const QRect& button, QPoint point);

QRgb SlotColour(int slot);
// The bar a 10-pixel pen paints around the legend rectangle (10, 200+30k)-(30, 203+30k).
QRect LegendBar(int slot);
QPoint LegendTextPosition(int slot);

int GroupCount(int shownCount);
QString GroupLabel(int groupIndex, int groupCount);
// The group a previous (1) or next (2) command moves to; nullopt when it cannot move.
// Command 0 keeps the group.
std::optional<int> StepGroup(int groupIndex, int groupCount, int command);
// Keeps the index on an existing group (the first when there is none).
int ClampGroup(int groupIndex, int groupCount);
// Table index the group starts from, walking the `shown` flags; shown.size() when past the end.
int FirstRecordOfGroup(std::span<const char> shown, int groupIndex);

}  // namespace curves
