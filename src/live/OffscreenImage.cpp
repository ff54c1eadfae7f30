#include "OffscreenImage.h"

#include <QPainter>
#include <QWidget>

void FitOffscreenImage(QImage& image, const QWidget& widget) {
  const qreal ratio = widget.devicePixelRatioF();
  const QSize pixels = (QSizeF(widget.size()) * ratio).toSize().expandedTo(QSize(1, 1));
  if (image.size() == pixels && image.devicePixelRatio() == ratio) return;
  image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
}

void PaintOffscreenImage(QWidget& widget, const QRegion& region, const QImage& image) {
  QPainter painter(&widget);
  painter.setClipRegion(region);
  painter.setCompositionMode(QPainter::CompositionMode_Source);  // a plain copy: the image is opaque
  painter.drawImage(QPoint(0, 0), image);
}
