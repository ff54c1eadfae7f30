#pragma once
// Draws the history curve chart into an image. The chart is kept as data (group label,
// legend names, curve points), so the image can be drawn again at any size without asking
// the database again.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "HistoryChart.h"

namespace history {

struct ChartSeries {
  std::string name;  // device id (GBK), empty when the slot is unused
  // Strokes as drawn (CurveSegments): a gap or a reading without a value separates them.
  std::vector<std::vector<QPoint>> segments;
};

struct CurveChart {
  int channel = kChannelTemperature;
  QString groupLabel;  // empty until the first group is drawn
  std::array<ChartSeries, kSeriesSlots> series;
};

// White background, axes and scales of the channel, group label, legend, curves.
void PaintChart(QImage& image, const CurveChart& chart);

// Where PaintChart draws, in image pixels: the axes with the grid and every scale label (the
// curves of values on the scales lie inside), the legend, and the text of a group label.
QRect ChartFrame();
QRect LegendFrame();
QRect GroupLabelRect(const QString& label);
// The rows of an image of `size` that hold the chart, its legend and the group label, with a
// margin: what the PDF of the page shows.
QRect ChartPicture(const QSize& size);

}  // namespace history
