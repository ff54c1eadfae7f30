#include "ListCtrlRules.h"

#include <algorithm>

#include "Fonts.h"

namespace listctrl {

char AlignmentCharForFormat(int format) {
  switch (format) {
    case kFormatLeft: return '0';
    case kFormatRight: return '2';
    default: return '1';
  }
}

Qt::Alignment HorizontalAlignment(char alignmentChar) {
  switch (alignmentChar) {
    case '0': return Qt::AlignLeft;
    case '2': return Qt::AlignRight;
    default: return Qt::AlignHCenter;
  }
}

QRgb CellBackColour(bool selected, QRgb highlight, QRgb listBackground, std::optional<QRgb> columnColour,
                    std::optional<QRgb> cellColour) {
  const QRgb background = cellColour ? *cellColour : columnColour ? *columnColour : listBackground;
  return selected ? SelectedBackColour(highlight, background) : background;
}

QRgb SelectedBackColour(QRgb highlight, QRgb background) {
  const auto mix = [](int over, int under) {
    return (over * kSelectionTintPercent + under * (100 - kSelectionTintPercent) + 50) / 100;
  };
  return qRgb(mix(qRed(highlight), qRed(background)), mix(qGreen(highlight), qGreen(background)),
              mix(qBlue(highlight), qBlue(background)));
}

QList<QRect> SelectionFrame(const QRect& cell, bool firstColumn, bool lastColumn) {
  constexpr int w = kSelectionFrameWidth;
  QList<QRect> edges = {QRect(cell.left(), cell.top(), cell.width(), w),
                        QRect(cell.left(), cell.bottom() - w + 1, cell.width(), w)};
  if (firstColumn) edges.append(QRect(cell.left(), cell.top(), w, cell.height()));
  if (lastColumn) edges.append(QRect(cell.right() - w + 1, cell.top(), w, cell.height()));
  return edges;
}

QRgb CellTextColour(QRgb defaultColour, std::optional<QRgb> columnColour, std::optional<QRgb> cellColour) {
  if (cellColour) return *cellColour;
  if (columnColour) return *columnColour;
  return defaultColour;
}

QRect CellTextRect(const QRect& cell, int listFontHeight) {
  QRect text = cell;
  text.setTop(cell.top() + (cell.height() - listFontHeight) / 2);
  text.setLeft(cell.left() + 4);
  return text;
}

QRgb HeaderLineColour(const Gradient& gradient, int line) {
  const auto component = [&](int top) {
    const long value = static_cast<long>(top) - static_cast<long>(gradient.step) * std::max(line, 0);
    return static_cast<int>(std::clamp<long>(value, 0, 255));
  };
  return qRgb(component(gradient.red), component(gradient.green), component(gradient.blue));
}

QFont SongTiFont(int height, int width) {
  QFont font = res::SongTiFont(height);
  // "宋体" glyphs are about half as wide as they are high.
  if (width > 0 && height > 0) font.setStretch(std::clamp(width * 200 / height, 1, 4000));
  return font;
}

int ScaledHeaderHeight(int proposedHeight, double factor) { return static_cast<int>(proposedHeight * factor); }

}  // namespace listctrl
