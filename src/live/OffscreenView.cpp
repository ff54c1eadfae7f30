#include "OffscreenView.h"

#include <QPaintEvent>
#include <QPainter>

OffscreenView::OffscreenView(DeviceLiveTable& table, QWidget* parent) : QWidget(parent), table_(table) {
  // The image covers every pixel; the window background is never erased (no flicker).
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
}

bool OffscreenView::FitImage() {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
  if (image_.size() == pixels && image_.devicePixelRatio() == ratio) return false;
  image_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  image_.setDevicePixelRatio(ratio);
  return true;
}

void OffscreenView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.setCompositionMode(QPainter::CompositionMode_Source);  // a plain copy: the image is opaque
  painter.drawImage(QPoint(0, 0), image_);
}

void OffscreenView::resizeEvent(QResizeEvent*) { Redraw(); }
