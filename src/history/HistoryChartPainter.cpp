#include "HistoryChartPainter.h"

#include <QPainter>

#include "Fonts.h"
#include "Gbk.h"

namespace history {
namespace {

constexpr QColor kGridColour(212, 212, 212);
constexpr int kLabelFontHeight = 14;
constexpr const char* kHourUnitLabel = "小时";
constexpr const char* kScaleLabelFormat = "%d";

// Legend: a thick bar and the device id per slot, 30 pixels apart.
constexpr int kLegendLeft = 845;
constexpr int kLegendTop = 70;
constexpr int kLegendWidth = 100;
constexpr int kLegendClearTop = 64;
constexpr int kLegendClearHeight = 290;
constexpr int kLegendPitch = 30;
constexpr int kLegendBarWidth = 20;
constexpr int kLegendBarHeight = 3;
constexpr int kLegendBarPen = 10;
constexpr int kLegendTextX = 872;

constexpr QPoint kGroupLabelAt(11, 213);
constexpr int kLonePointSize = 3;

// Text drawn with its top-left corner at (x, y), like a label box.
void DrawTextLabel(QPainter& p, int x, int y, const QString& text) {
  p.setPen(Qt::black);
  p.drawText(QPoint(x, y + p.fontMetrics().ascent()), text);
}

void DrawAxes(QPainter& p, int channel) {
  const int L = kChartLeft, T = kChartTop, W = kChartWidth, B = kChartBottom;
  p.setPen(QPen(Qt::black, 1));
  p.drawLine(L, T, L, B);
  p.drawLine(L, T, L - 5, T + 10);
  p.drawLine(L, T, L + 5, T + 10);
  p.drawLine(L, B, L + W, B);
  p.drawLine(L + W, B, L + W - 10, B - 5);
  p.drawLine(L + W, B, L + W - 10, B + 5);

  const ChannelScale scale = ScaleOf(channel);
  for (int v = scale.low; v <= scale.high; v += scale.step) {
    // Same mapping as the curves, so a grid line and a reading of that value coincide.
    const int y = CurveY(channel, v);
    if (v != scale.low) {
      p.setPen(QPen(kGridColour, 1));
      p.drawLine(L + 1, y, L + W, y);
    }
    DrawTextLabel(p, L - 25, y - 12, QString::asprintf(kScaleLabelFormat, v));
  }
  DrawTextLabel(p, L - 25, T - 20, QString::fromUtf8(scale.unitLabel));
  DrawTextLabel(p, L + W + 10, B + 10, QString::fromUtf8(kHourUnitLabel));

  for (int x = L, hour = 0; x < L + W; x += kPixelsPerHour, ++hour) {
    if (x > L) {
      p.setPen(QPen(kGridColour, 1));
      p.drawLine(x, B - 1, x, T);
    }
    DrawTextLabel(p, x, B + 2, QString::asprintf(kScaleLabelFormat, hour));
  }
}

void DrawLegend(QPainter& p, const CurveChart& chart) {
  p.fillRect(QRect(kLegendLeft, kLegendClearTop, kLegendWidth, kLegendClearHeight), Qt::white);
  for (int i = 0; i < kSeriesSlots; ++i) {
    const int o = kLegendPitch * i;
    p.setPen(QPen(kSeriesColours[static_cast<std::size_t>(i)], kLegendBarPen, Qt::SolidLine, Qt::SquareCap,
                  Qt::MiterJoin));
    p.setBrush(Qt::white);
    p.drawRect(QRect(kLegendLeft, kLegendTop + o, kLegendBarWidth, kLegendBarHeight));
    p.setBrush(Qt::NoBrush);
    DrawTextLabel(p, kLegendTextX, kLegendClearTop + o,
                  platform::FromGbk(chart.series[static_cast<std::size_t>(i)].name));
  }
}

void DrawCurve(QPainter& p, const ChartSeries& series, const QColor& colour) {
  for (const std::vector<QPoint>& stroke : series.segments) {
    if (stroke.size() == 1) {
      // A reading alone between two gaps would vanish as a line of one point: mark it.
      p.fillRect(QRect(stroke.front() - QPoint(1, 1), QSize(kLonePointSize, kLonePointSize)), colour);
      continue;
    }
    p.setPen(QPen(colour, 1));
    p.drawPolyline(stroke.data(), static_cast<int>(stroke.size()));
  }
}

}  // namespace

void PaintChart(QImage& image, const CurveChart& chart) {
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(res::SongTiFont(kLabelFontHeight));
  DrawAxes(p, chart.channel);
  if (!chart.groupLabel.isEmpty()) DrawTextLabel(p, kGroupLabelAt.x(), kGroupLabelAt.y(), chart.groupLabel);
  DrawLegend(p, chart);
  for (int i = 0; i < kSeriesSlots; ++i)
    DrawCurve(p, chart.series[static_cast<std::size_t>(i)], kSeriesColours[static_cast<std::size_t>(i)]);
}

}  // namespace history
