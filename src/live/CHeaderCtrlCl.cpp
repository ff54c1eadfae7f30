#include "CHeaderCtrlCl.h"

#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

CHeaderCtrlCl::CHeaderCtrlCl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
  setFont(CaptionFont());
  setHighlightSections(false);
  setStretchLastSection(false);
  setSectionsClickable(false);
  setMinimumSectionSize(1);  // columns may be as narrow as their owner asks
}

void CHeaderCtrlCl::InsertCaption(int column, const QString& caption, char alignmentChar) {
  // Kept at the column's own position, so a column inserted in the middle keeps its heading.
  column = std::clamp(column, 0, static_cast<int>(captions_.size()));
  captions_.insert(column, caption);
  alignments_.insert(column, QLatin1Char(alignmentChar));
  viewport()->update();
}

char CHeaderCtrlCl::AlignmentChar(int column) const {
  if (column < 0 || column >= alignments_.size()) return '1';
  return alignments_[column].toLatin1();
}

void CHeaderCtrlCl::SetHeaderBackColor(int red, int green, int blue, int step) {
  gradient_ = {red, green, blue, step};
  viewport()->update();
}

void CHeaderCtrlCl::SetHeaderHeightFactor(double factor) {
  heightFactor_ = factor;
  updateGeometry();
  emit geometriesChanged();  // lets the list move its rows below the new height
}

void CHeaderCtrlCl::SetHeaderFont(int height, int width) {
  fontHeight_ = height;
  fontWidth_ = width;
  setFont(CaptionFont());
  updateGeometry();
  emit geometriesChanged();
}

void CHeaderCtrlCl::SetHeaderTextColor(QRgb colour) {
  textColour_ = colour;
  viewport()->update();
}

QFont CHeaderCtrlCl::CaptionFont() const { return listctrl::SongTiFont(fontHeight_, fontWidth_); }

QSize CHeaderCtrlCl::sizeHint() const {
  QSize size = QHeaderView::sizeHint();
  if (count() == 0) {
    // Without sections the base proposes no height; keep the height a heading would need so
    // an empty list still shows its header.
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.text = QStringLiteral("X");
    size.setHeight(style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this).height());
  }
  size.setHeight(listctrl::ScaledHeaderHeight(size.height(), heightFactor_));
  return size;
}

void CHeaderCtrlCl::PaintGradient(QPainter& painter, int left, int right, int height) const {
  for (int y = 0; y < height; ++y)
    painter.fillRect(QRect(QPoint(left, y), QPoint(right, y)), QColor(listctrl::HeaderLineColour(gradient_, y)));
}

void CHeaderCtrlCl::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const int h = viewport()->height();
  painter.fillRect(viewport()->rect(), palette().button());
  painter.setFont(CaptionFont());
  painter.setPen(QColor(textColour_));

  int lastRight = -1;  // right edge of the last painted item
  for (int visual = 0; visual < count(); ++visual) {
    const int column = logicalIndex(visual);
    if (isSectionHidden(column)) continue;
    const int left = sectionViewportPosition(column);
    const int width = sectionSize(column);
    const int right = left + width - 1;
    // Leave the item's first pixel column unpainted: it separates the headings.
    PaintGradient(painter, left + 1, right, h);

    const char align = AlignmentChar(column);
    QRect text(left, (h - fontHeight_) / 2, width, h);
    if (align == '0') text.setLeft(left + 3);
    if (align == '2') text.setRight(right - 3);
    painter.drawText(text, listctrl::HorizontalAlignment(align) | Qt::AlignTop | Qt::TextSingleLine,
                     column < captions_.size() ? captions_[column] : QString());
    lastRight = right;
  }
  // No gap to the right of the columns; with no columns at all the whole header is filled.
  const int fillLeft = lastRight < 0 ? 0 : lastRight + 2;
  if (fillLeft < viewport()->width()) PaintGradient(painter, fillLeft, viewport()->width() - 1, h);
}
