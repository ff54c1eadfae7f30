#pragma once
// The off-screen image a self-drawn live view paints into; painting only copies it.
#include <QImage>
#include <QRegion>

class QWidget;

// Makes `image` cover `widget` in device pixels (at least one), at the widget's device pixel
// ratio; an image that already does is kept. A new image holds no picture until drawn.
void FitOffscreenImage(QImage& image, const QWidget& widget);
// Copies `region` of the opaque `image` onto `widget` (from its paint event).
void PaintOffscreenImage(QWidget& widget, const QRegion& region, const QImage& image);
