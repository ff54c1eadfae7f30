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
  enum GroupCommand { kRedraw = 0, kPreviousGroup = 1, kNextGroup = 2 };

  CCurveView(DeviceLiveTable& table, QWidget* parent = nullptr);
  // 0 redraws the current group, 1 steps to the previous group, 2 to the next one.
  void DrawCurveGroup(int mode);

 protected:
  void Redraw() override { DrawCurveGroup(kRedraw); }
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Everything but the curves and the legend: background, axes, buttons, grid, captions.
  void DrawChartFrame(QPainter& painter);

  QFont textFont_;
};
