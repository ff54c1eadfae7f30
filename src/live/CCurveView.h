#pragma once
// The live curve view: the recent samples of the shown devices, ten devices per group, in four
// fixed chart panels (temperature, humidity, internal temperature, voltage). Two buttons drawn
// in the view step through the groups; the group shown is the process-wide CurveGroupIndex.
// Everything is drawn into an off-screen image; painting only copies it.
#include <QFont>

#include "OffscreenView.h"

class CCurveView : public OffscreenView {
  Q_OBJECT
 public:
  CCurveView(DeviceLiveTable& table, QWidget* parent = nullptr);
  // A Step: the current group again, the previous or the next group.
  void DrawCurveGroup(Step step);

 protected:
  void Redraw() override { DrawCurveGroup(kRedraw); }
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Everything but the curves and the legend: background, axes, buttons, grid, captions.
  void DrawChartFrame(QPainter& painter);

  QFont textFont_;
};
