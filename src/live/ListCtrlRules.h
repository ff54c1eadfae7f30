#pragma once
// Drawing rules of the coloured list control and its gradient header: colour precedence,
// alignment characters, the header's gradient lines and where cell text starts.
#include <QColor>
#include <QFont>
#include <QList>
#include <QRect>
#include <optional>

namespace listctrl {

// Column formats of the column-insert operation.
enum ColumnFormat : int { kFormatLeft = 0, kFormatRight = 1, kFormatCenter = 2 };

// The header keeps one alignment character per column: '0' left, '1' centre, '2' right.
char AlignmentCharForFormat(int format);
// Any character other than '0' and '2' centres.
Qt::Alignment HorizontalAlignment(char alignmentChar);

// Background of a cell: the list's background, overridden by a column colour, overridden by
// a cell colour. A selected row only takes a light tint of the highlight over it, so that
// the state colours of its texts stay as readable as on an unselected row; the row is
// marked by a frame in the highlight colour instead (SelectionFrame).
QRgb CellBackColour(bool selected, QRgb highlight, QRgb listBackground, std::optional<QRgb> columnColour,
                    std::optional<QRgb> cellColour);
QRgb SelectedBackColour(QRgb highlight, QRgb background);
inline constexpr int kSelectionTintPercent = 20;
inline constexpr int kSelectionFrameWidth = 2;
// The frame edges a selected row's cell carries: top and bottom always, left in the first
// column, right in the last.
QList<QRect> SelectionFrame(const QRect& cell, bool firstColumn, bool lastColumn);
// Text colour of a cell, selected or not: default, then the column's, then the cell's.
QRgb CellTextColour(QRgb defaultColour, std::optional<QRgb> columnColour, std::optional<QRgb> cellColour);

// Where a cell's text is drawn: 4 pixels in from the left, moved down by half the difference
// between the cell height and the height of the list's own font (rounded toward zero).
QRect CellTextRect(const QRect& cell, int listFontHeight);

struct Gradient {
  int red = 171;
  int green = 199;
  int blue = 235;
  int step = 8;  // subtracted from each component per pixel line
};

// Colour of pixel line `line` (0 = top) of a header item; components stop at 0 (and 255).
QRgb HeaderLineColour(const Gradient& gradient, int line);

// The "宋体" face of a cell or heading font: `width` 0 keeps the natural width, otherwise the
// face is stretched toward that average character width.
QFont SongTiFont(int height, int width);

// Header height after the factor, truncated toward zero.
int ScaledHeaderHeight(int proposedHeight, double factor);

}  // namespace listctrl
