#include "HistoryChartPainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "Fonts.h"
#include "Gbk.h"

namespace history {
namespace {

constexpr QColor kGridColour(212, 212, 212);
constexpr int kLabelFontHeight = 14;
constexpr const char* kHourUnitLabel = "小时";
constexpr const char* kScaleLabelFormat = "%d";

// Scale labels stand left of the y axis, the unit label above its tip, the hour labels and
// "小时" below the x axis.
constexpr int kScaleLabelLeft = 25;
constexpr int kScaleLabelRise = 12;
constexpr int kUnitLabelRise = 20;
constexpr int kHourLabelDrop = 2;
constexpr int kHourUnitGap = 10;

// Legend: a thick bar and the device id per slot, 21 pixels apart: the ten slots end above
// "小时" at the end of the x axis.
constexpr int kLegendLeft = 845;
constexpr int kLegendTop = 70;
constexpr int kLegendWidth = 100;
constexpr int kLegendClearTop = 64;
constexpr int kLegendPitch = 21;
constexpr int kLegendClearHeight = kLegendPitch * kSeriesSlots;
constexpr int kLegendBarWidth = 20;
constexpr int kLegendBarHeight = 3;
constexpr int kLegendBarPen = 10;
constexpr int kLegendTextX = 872;

// "第1/3组" between the buttons "上一组" and "下一组", centred on their column.
constexpr int kGroupLabelCentreX = 36;
constexpr int kGroupLabelTop = 172;
constexpr int kGroupLabelMinLeft = 2;
constexpr int kLonePointSize = 3;
constexpr int kPictureMargin = 10;

QFont LabelFont() { return res::SongTiFont(kLabelFontHeight); }

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
    DrawTextLabel(p, L - kScaleLabelLeft, y - kScaleLabelRise, QString::asprintf(kScaleLabelFormat, v));
  }
  DrawTextLabel(p, L - kScaleLabelLeft, T - kUnitLabelRise, QString::fromUtf8(scale.unitLabel));
  DrawTextLabel(p, L + W + kHourUnitGap, B + kHourUnitGap, QString::fromUtf8(kHourUnitLabel));

  for (int x = L, hour = 0; x < L + W; x += kPixelsPerHour, ++hour) {
    if (x > L) {
      p.setPen(QPen(kGridColour, 1));
      p.drawLine(x, B - 1, x, T);
    }
    DrawTextLabel(p, x, B + kHourLabelDrop, QString::asprintf(kScaleLabelFormat, hour));
  }
}

void DrawLegend(QPainter& p, const CurveChart& chart) {
  p.fillRect(LegendFrame(), Qt::white);
  for (int i = 0; i < kSeriesSlots; ++i) {
    const int o = kLegendPitch * i;
    p.setPen(
        QPen(kSeriesColours[static_cast<std::size_t>(i)], kLegendBarPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
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

QRect ChartFrame() {
  const QFontMetrics metrics(LabelFont());
  return QRect(
      QPoint(kChartLeft - kScaleLabelLeft, kChartTop - kUnitLabelRise),
      QPoint(kChartLeft + kChartWidth + kHourUnitGap + metrics.horizontalAdvance(QString::fromUtf8(kHourUnitLabel)),
             kChartBottom + kHourUnitGap + metrics.height()) -
          QPoint(1, 1));
}

QRect LegendFrame() { return QRect(kLegendLeft, kLegendClearTop, kLegendWidth, kLegendClearHeight); }

QRect GroupLabelRect(const QString& label) {
  const QFontMetrics metrics(LabelFont());
  const int width = metrics.horizontalAdvance(label);
  return QRect(std::max(kGroupLabelMinLeft, kGroupLabelCentreX - width / 2), kGroupLabelTop, width, metrics.height());
}

QRect ChartPicture(const QSize& size) {
  const int top = std::min(ChartFrame().top(), LegendFrame().top()) - kPictureMargin;
  const int bottom = std::max(ChartFrame().bottom(), LegendFrame().bottom()) + kPictureMargin;
  return QRect(0, top, size.width(), bottom - top + 1).intersected(QRect(QPoint(0, 0), size));
}

void PaintChart(QImage& image, const CurveChart& chart) {
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(LabelFont());
  DrawAxes(p, chart.channel);
  if (!chart.groupLabel.isEmpty()) {
    const QRect label = GroupLabelRect(chart.groupLabel);
    DrawTextLabel(p, label.left(), label.top(), chart.groupLabel);
  }
  DrawLegend(p, chart);
  for (int i = 0; i < kSeriesSlots; ++i)
    DrawCurve(p, chart.series[static_cast<std::size_t>(i)], kSeriesColours[static_cast<std::size_t>(i)]);
}

}  // namespace history
