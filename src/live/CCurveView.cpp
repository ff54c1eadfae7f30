#include "CCurveView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <mutex>

#include "CurveRules.h"
#include "DeviceLiveTable.h"
#include "Fonts.h"
#include "Gbk.h"
#include "ViewText.h"

namespace {

constexpr int kTextHeight = 14;
constexpr int kTextWeight = 400;
constexpr QRgb kFrameBackground = qRgb(255, 255, 255);
constexpr QRgb kAxisColour = qRgb(0, 0, 0);
constexpr QRgb kTextColour = qRgb(0, 0, 0);
constexpr QRgb kButtonFill = qRgb(212, 212, 212);
constexpr QRgb kGridColour = qRgb(212, 212, 212);
constexpr int kArrowLength = 10;
constexpr int kArrowHalfWidth = 5;
constexpr int kVerticalGridSpacing = 30;
constexpr int kScaleLabelOffsetX = -25;
constexpr int kScaleLabelOffsetY = -12;
constexpr QPoint kUnitCaptionOffset(-25, -20);
constexpr QPoint kTitleOffset(125, -20);

// A plotted device: its id and its ring's samples, oldest first.
struct CurveSlot {
  QString deviceId;
  std::vector<LiveSample> samples;
};

std::vector<LiveSample> SamplesOldestFirst(const DeviceLiveRecord& record) {
  std::vector<LiveSample> samples;
  samples.reserve(static_cast<std::size_t>(record.SampleCount()));
  for (int i = record.ringStart; i != record.ringWrite; i = (i + 1) % DeviceLiveRecord::kRingSize) {
    samples.push_back(record.samples[static_cast<std::size_t>(i)]);
  }
  return samples;
}

void DrawAxes(QPainter& painter, const curves::ChartPanel& p) {
  const int bottom = p.y0 + p.height;
  const int right = p.x0 + p.width;
  painter.drawLine(p.x0, p.y0, p.x0, bottom);
  painter.drawLine(p.x0, p.y0, p.x0 - kArrowHalfWidth, p.y0 + kArrowLength);
  painter.drawLine(p.x0, p.y0, p.x0 + kArrowHalfWidth, p.y0 + kArrowLength);
  painter.drawLine(p.x0, bottom, right, bottom);
  painter.drawLine(right, bottom, right - kArrowLength, bottom - kArrowHalfWidth);
  painter.drawLine(right, bottom, right - kArrowLength, bottom + kArrowHalfWidth);
}

}  // namespace

CCurveView::CCurveView(DeviceLiveTable& table, QWidget* parent)
    : OffscreenView(table, parent), textFont_(res::SongTiFont(kTextHeight, kTextWeight)) {
  DrawCurveGroup(kRedraw);
}

void CCurveView::DrawCurveGroup(Step step) {
  const bool resized = FitImage();

  int groupCount = 0;
  std::vector<CurveSlot> plotted;
  {
    std::lock_guard lock(table_.mutex);
    const int count = table_.LiveCount();
    std::vector<char> shown(static_cast<std::size_t>(count));
    int shownCount = 0;
    for (int i = 0; i < count; ++i) {
      shown[static_cast<std::size_t>(i)] = table_.records[static_cast<std::size_t>(i)].shown != 0;
      shownCount += shown[static_cast<std::size_t>(i)];
    }
    groupCount = curves::GroupCount(shownCount);
    // Unchecking devices can leave the index past the last group; showing the last group
    // instead keeps curves of devices that are no longer shown from lingering on screen.
    const int clamped = curves::ClampGroup(groupIndex_, groupCount);
    const std::optional<int> stepped = curves::StepGroup(clamped, groupCount, step);
    if (!stepped && clamped == groupIndex_ && !resized) return;  // nothing to turn to
    groupIndex_ = stepped.value_or(clamped);

    const int first = curves::FirstRecordOfGroup(shown, groupIndex_);
    for (int i = first; i < count && static_cast<int>(plotted.size()) < curves::kDevicesPerGroup; ++i) {
      const DeviceLiveRecord& record = table_.records[static_cast<std::size_t>(i)];
      if (!record.present || !record.shown) continue;
      plotted.push_back({platform::FromGbk(record.deviceId), SamplesOldestFirst(record)});
    }
  }

  QPainter painter(&image_);
  painter.setFont(textFont_);
  DrawChartFrame(painter);
  painter.setPen(QColor(kTextColour));
  text_.DrawAt(painter, curves::kGroupLabelPosition, curves::GroupLabel(groupIndex_, groupCount));
  for (std::size_t k = 0; k < plotted.size(); ++k) {
    const int slot = static_cast<int>(k);
    const QColor colour(curves::SlotColour(slot));
    painter.fillRect(curves::LegendBar(slot), colour);
    painter.setPen(QColor(kTextColour));
    text_.DrawAt(painter, curves::LegendTextPosition(slot), plotted[k].deviceId);
    painter.setPen(colour);
    for (const curves::ChartPanel& panel : curves::kPanels) {
      for (const std::vector<QPoint>& run : curves::CurvePoints(panel, plotted[k].samples)) {
        if (run.size() == 1) painter.drawPoint(run.front());
        if (run.size() > 1) painter.drawPolyline(run.data(), static_cast<int>(run.size()));
      }
    }
  }
  painter.end();
  update();
}

void CCurveView::DrawChartFrame(QPainter& painter) {
  painter.fillRect(QRect(QPoint(0, 0), size()), QColor(kFrameBackground));
  painter.setPen(QColor(kAxisColour));
  for (const curves::ChartPanel& panel : curves::kPanels) DrawAxes(painter, panel);

  for (const auto& [button, caption] :
       {std::pair{curves::kPreviousButton, "上一组"}, {curves::kNextButton, "下一组"}}) {
    painter.setPen(QColor(kAxisColour));
    painter.setBrush(QColor(kButtonFill));
    painter.drawRect(button.adjusted(0, 0, -1, -1));  // the outline stays inside the button
    painter.setPen(QColor(kTextColour));
    text_.DrawAt(painter, button.topLeft() + curves::kButtonCaptionOffset, QString::fromUtf8(caption));
  }
  painter.setBrush(Qt::NoBrush);

  for (const curves::ChartPanel& panel : curves::kPanels) {
    const QPoint origin(panel.x0, panel.y0);
    painter.setPen(QColor(kTextColour));
    text_.DrawAt(painter, origin + kUnitCaptionOffset, QString::fromUtf8(panel.unitCaption));
    text_.DrawAt(painter, origin + kTitleOffset, QString::fromUtf8(panel.title));
    for (int value = panel.scaleLow; value <= panel.scaleHigh; value += panel.scaleStep) {
      const int row = curves::ValueToRow(panel, value);
      if (value != panel.scaleLow) {
        painter.setPen(QColor(kGridColour));
        painter.drawLine(panel.x0 + 1, row, panel.x0 + panel.width, row);
      }
      painter.setPen(QColor(kTextColour));
      text_.DrawAt(painter, QPoint(panel.x0 + kScaleLabelOffsetX, row + kScaleLabelOffsetY), QString::number(value));
    }
    painter.setPen(QColor(kGridColour));
    for (int x = panel.x0 + kVerticalGridSpacing; x < panel.x0 + panel.width; x += kVerticalGridSpacing) {
      painter.drawLine(x, panel.y0 + panel.height - 1, x, panel.y0);
    }
  }
}

void CCurveView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint point = event->position().toPoint();
    if (curves::InButton(curves::kPreviousButton, point)) {
      DrawCurveGroup(kPrevious);
    } else if (curves::InButton(curves::kNextButton, point)) {
      DrawCurveGroup(kNext);
    }
  }
  QWidget::mousePressEvent(event);
}
