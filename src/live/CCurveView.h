#pragma once
// The live curve view: the recent samples of the shown devices, ten devices per group, in four
// fixed chart panels (temperature, humidity, internal temperature, voltage). Two buttons drawn
// in the view step through the groups; the main frame keeps the group while another view shows.
// Everything is drawn into an off-screen image; painting only copies it.
#include <QFont>
#include <cstdint>

#include "OffscreenView.h"

class CCurveView : public OffscreenView {
  Q_OBJECT
 public:
  CCurveView(DeviceLiveTable& table, QWidget* parent = nullptr);
  // A Step: the current group again, the previous or the next group.
  void DrawCurveGroup(Step step);
  // The group of ten devices shown (zero-based).
  std::int32_t GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(std::int32_t index) { groupIndex_ = index; }

 protected:
  void Redraw() override { DrawCurveGroup(kRedraw); }
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Everything but the curves and the legend: background, axes, buttons, grid, captions.
  void DrawChartFrame(QPainter& painter);

  QFont textFont_;
  std::int32_t groupIndex_ = 0;
};
