#pragma once
// Base of the self-drawn live views: each draws into an off-screen image, and painting only
// copies it, so a view never flickers and a test can read exactly what was drawn.
#include <QImage>
#include <QWidget>

#include "ViewText.h"

struct DeviceLiveTable;

class OffscreenView : public QWidget {
  Q_OBJECT
 public:
  // What a redraw does: the same group or page again, the previous one, the next one.
  enum Step { kRedraw = 0, kPrevious = 1, kNext = 2 };

  const QImage& OffscreenImage() const { return image_; }

 protected:
  OffscreenView(DeviceLiveTable& table, QWidget* parent);

  // Makes the image cover the view in device pixels (at least one), at the view's device pixel
  // ratio; true when it had to be made anew (it then holds no picture until drawn).
  bool FitImage();
  // Draws the current group or page again (after a resize too, so a resized window never shows
  // a stale or cut picture).
  virtual void Redraw() = 0;

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  DeviceLiveTable& table_;
  QImage image_;
  viewtext::TextCache text_;
};
