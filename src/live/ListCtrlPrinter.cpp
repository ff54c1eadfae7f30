#include "ListCtrlPrinter.h"

#include <QPainter>

#include "CListCtrlCl.h"

namespace {

constexpr QRgb kGridColour = qRgb(192, 192, 192);

void PaintHeader(QPainter& painter, const CListCtrlCl& list, int height) {
  const CHeaderCtrlCl& header = list.Header();
  int left = 0;
  painter.setFont(header.CaptionFont());
  for (int column = 0; column < list.ColumnCount(); ++column) {
    const int width = list.columnWidth(column);
    for (int y = 0; y < height; ++y)
      painter.fillRect(QRect(left, y, width, 1), QColor(listctrl::HeaderLineColour(header.Gradient(), y)));
    painter.setPen(Qt::black);
    const char align = header.AlignmentChar(column);
    QRect text(left + 3, 0, width - 6, height);
    painter.drawText(text, listctrl::HorizontalAlignment(align) | Qt::AlignVCenter | Qt::TextSingleLine,
                     column < header.Captions().size() ? header.Captions()[column] : QString());
    painter.setPen(QColor(kGridColour));
    painter.drawRect(QRect(left, 0, width, height).adjusted(0, 0, -1, -1));
    left += width;
  }
}

void PaintRow(QPainter& painter, const CListCtrlCl& list, int row, int top, int height, int fontHeight) {
  int left = 0;
  painter.setFont(list.CellFont());
  for (int column = 0; column < list.ColumnCount(); ++column) {
    const int width = list.columnWidth(column);
    const QRect cell(left, top, width, height);
    painter.fillRect(cell, QColor(list.BackColourAt(row, column, false)));
    painter.setPen(QColor(list.TextColourAt(row, column)));
    painter.drawText(listctrl::CellTextRect(cell, fontHeight),
                     listctrl::HorizontalAlignment(list.AlignmentChar(column)) | Qt::AlignTop | Qt::TextSingleLine,
                     list.GetItemText(row, column));
    painter.setPen(QColor(kGridColour));
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    left += width;
  }
}

}  // namespace

int PrintListPages(const CListCtrlCl& list, QPagedPaintDevice& device) {
  QPainter painter;
  if (!painter.begin(&device)) return 0;

  int tableWidth = 0;
  for (int column = 0; column < list.ColumnCount(); ++column) tableWidth += list.columnWidth(column);
  // Work in screen pixels and let the painter scale them to the page width.
  const double scale = tableWidth > 0 ? static_cast<double>(device.width()) / tableWidth : 1.0;
  painter.scale(scale, scale);
  const int pageHeight = static_cast<int>(device.height() / scale);
  const int headerHeight = list.Header().sizeHint().height();
  const int rowHeight = list.RowHeight();
  const int fontHeight = list.fontMetrics().height();

  int pages = 1;
  PaintHeader(painter, list, headerHeight);
  int top = headerHeight;
  for (int row = 0; row < list.GetItemCount(); ++row) {
    if (top + rowHeight > pageHeight && top > headerHeight) {
      device.newPage();
      ++pages;
      PaintHeader(painter, list, headerHeight);
      top = headerHeight;
    }
    PaintRow(painter, list, row, top, rowHeight, fontHeight);
    top += rowHeight;
  }
  painter.end();
  return pages;
}
