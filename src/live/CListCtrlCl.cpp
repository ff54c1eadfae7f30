#include "CListCtrlCl.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kTrackSelectHoverMs = 400;
constexpr int kDefaultCellFontHeight = 12;

// Paints every cell from the colour tables of its list.
class ColouredCellDelegate : public QStyledItemDelegate {
 public:
  explicit ColouredCellDelegate(CListCtrlCl& list) : QStyledItemDelegate(&list), list_(list) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int row = index.row();
    const int column = index.column();
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, QColor(list_.BackColourAt(row, column, selected)));
    painter->setPen(QColor(list_.TextColourAt(row, column)));
    painter->setFont(list_.CellFont());
    painter->setClipRect(option.rect);
    const QRect text = listctrl::CellTextRect(option.rect, list_.fontMetrics().height());
    painter->drawText(text,
                      listctrl::HorizontalAlignment(list_.AlignmentChar(column)) | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    if (selected) {
      const QColor frame = list_.palette().color(QPalette::Highlight);
      for (const QRect& edge : listctrl::SelectionFrame(option.rect, column == 0, column == list_.ColumnCount() - 1))
        painter->fillRect(edge, frame);
    }
    painter->restore();
  }

 private:
  CListCtrlCl& list_;
};

}  // namespace

CListCtrlCl::CListCtrlCl(QWidget* parent) : res::ReportListView(parent), header_(new CHeaderCtrlCl(this)) {
  setHorizontalHeader(header_);
  setItemDelegate(new ColouredCellDelegate(*this));
  verticalHeader()->setMinimumSectionSize(1);
  cellFont_ = listctrl::SongTiFont(kDefaultCellFontHeight, 0);
  proposedRowHeight_ = verticalHeader()->defaultSectionSize();
  setSelectionBehavior(QAbstractItemView::SelectItems);

  trackTimer_.setSingleShot(true);
  trackTimer_.setInterval(kTrackSelectHoverMs);
  connect(&trackTimer_, &QTimer::timeout, this, [this] {
    if (hovered_.isValid()) setCurrentIndex(hovered_);
  });
  connect(this, &QAbstractItemView::entered, this, [this](const QModelIndex& index) {
    if (!hasMouseTracking()) return;
    hovered_ = index;
    trackTimer_.start();
  });
}

int CListCtrlCl::InsertColumn(int column, const QString& heading, int format, int width) {
  column = std::clamp(column, 0, ColumnCount());
  header_->InsertCaption(column, heading, listctrl::AlignmentCharForFormat(format));
  res::ReportListView::InsertColumn(column, heading, width);
  return column;
}

void CListCtrlCl::AddExtendedStyle(unsigned bits) {
  if (bits & kGridLines) setShowGrid(true);
  if (bits & kTrackSelect) setMouseTracking(true);
  if (bits & kFullRowSelect) setSelectionBehavior(QAbstractItemView::SelectRows);
}

std::optional<QRgb> CListCtrlCl::Lookup(const QHash<quint64, QRgb>& table, quint64 key) {
  const auto it = table.constFind(key);
  return it == table.constEnd() ? std::nullopt : std::optional<QRgb>(*it);
}

std::optional<QRgb> CListCtrlCl::Lookup(const QHash<int, QRgb>& table, int key) {
  const auto it = table.constFind(key);
  return it == table.constEnd() ? std::nullopt : std::optional<QRgb>(*it);
}

void CListCtrlCl::UpdateCell(int row, int column) {
  if (row < GetItemCount() && column < ColumnCount()) viewport()->update(visualRect(Model()->index(row, column)));
}

void CListCtrlCl::SetCellTextColor(int column, int row, QRgb colour) {
  cellTextColours_.insert(CellKey(row, column), colour);
  UpdateCell(row, column);
}

bool CListCtrlCl::GetCellTextColor(int column, int row, QRgb& colour) const {
  const auto found = Lookup(cellTextColours_, CellKey(row, column));
  if (found) colour = *found;
  return found.has_value();
}

void CListCtrlCl::SetCellBackColor(int column, int row, QRgb colour) {
  cellBackColours_.insert(CellKey(row, column), colour);
  UpdateCell(row, column);
}

bool CListCtrlCl::GetCellBackColor(int column, int row, QRgb& colour) const {
  const auto found = Lookup(cellBackColours_, CellKey(row, column));
  if (found) colour = *found;
  return found.has_value();
}

void CListCtrlCl::SetColumnTextColor(int column, QRgb colour) {
  columnTextColours_.insert(column, colour);
  viewport()->update();
}

bool CListCtrlCl::GetColumnTextColor(int column, QRgb& colour) const {
  const auto found = Lookup(columnTextColours_, column);
  if (found) colour = *found;
  return found.has_value();
}

void CListCtrlCl::SetColumnBackColor(int column, QRgb colour) {
  columnBackColours_.insert(column, colour);
  viewport()->update();
}

bool CListCtrlCl::GetColumnBackColor(int column, QRgb& colour) const {
  const auto found = Lookup(columnBackColours_, column);
  if (found) colour = *found;
  return found.has_value();
}

void CListCtrlCl::SetDefaultTextColor(QRgb colour) {
  defaultTextColour_ = colour;
  viewport()->update();
}

void CListCtrlCl::SetCellFont(int height, int width) {
  cellFont_ = listctrl::SongTiFont(height, width);
  viewport()->update();
}

void CListCtrlCl::SetRowHeight(int height) {
  verticalHeader()->setDefaultSectionSize(height > 0 ? height : proposedRowHeight_);
}

int CListCtrlCl::RowHeight() const { return verticalHeader()->defaultSectionSize(); }

int CListCtrlCl::FindRowByFirstColumn(const QString& text, int startRow) const {
  const int rows = GetItemCount();
  if (rows == 0) return -1;
  startRow = (startRow < 0 || startRow >= rows) ? 0 : startRow;
  for (int i = 0; i < rows; ++i) {
    const int row = (startRow + i) % rows;
    const QStringList& texts = Model()->Row(row);
    if (!texts.isEmpty() && texts.front() == text) return row;
  }
  return -1;
}

QRgb CListCtrlCl::TextColourAt(int row, int column) const {
  return listctrl::CellTextColour(defaultTextColour_, Lookup(columnTextColours_, column),
                                  Lookup(cellTextColours_, CellKey(row, column)));
}

QRgb CListCtrlCl::BackColourAt(int row, int column, bool selected) const {
  return listctrl::CellBackColour(selected, palette().color(QPalette::Highlight).rgb(),
                                  palette().color(QPalette::Base).rgb(), Lookup(columnBackColours_, column),
                                  Lookup(cellBackColours_, CellKey(row, column)));
}
