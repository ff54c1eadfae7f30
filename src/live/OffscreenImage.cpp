#include "OffscreenImage.h"

#include <QWidget>

void FitOffscreenImage(QImage& image, const QWidget& widget) {
  const qreal ratio = widget.devicePixelRatioF();
  const QSize pixels = (QSizeF(widget.size()) * ratio).toSize().expandedTo(QSize(1, 1));
  if (image.size() == pixels && image.devicePixelRatio() == ratio) return;
  image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
}
