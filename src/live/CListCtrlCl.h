#pragma once
// A report-style list whose cells are painted by its own delegate, so that single cells,
// whole columns or the default can carry their own text and background colours, with a
// configurable cell font and row height. Its header is a CHeaderCtrlCl.
//
// Colour entries are keyed by column, or by (row, column). They stay with the row index when
// rows are deleted or inserted and are only released with the control.
#include <QHash>
#include <QTimer>
#include <optional>

#include "CHeaderCtrlCl.h"
#include "ListCtrlRules.h"
#include "ReportListView.h"

class CListCtrlCl : public res::ReportListView {
  Q_OBJECT
 public:
  // Extended style bits understood by AddExtendedStyle.
  enum ExtendedStyle : unsigned { kGridLines = 0x01, kTrackSelect = 0x08, kFullRowSelect = 0x20 };

  explicit CListCtrlCl(QWidget* parent = nullptr);

  // Inserts a column; `format` is a listctrl::ColumnFormat and decides the alignment of the
  // heading and of every cell below it. Returns the column index used.
  int InsertColumn(int column, const QString& heading, int format, int width);
  void AddExtendedStyle(unsigned bits);

  void SetCellTextColor(int column, int row, QRgb colour);
  bool GetCellTextColor(int column, int row, QRgb& colour) const;
  void SetCellBackColor(int column, int row, QRgb colour);
  bool GetCellBackColor(int column, int row, QRgb& colour) const;
  void SetColumnTextColor(int column, QRgb colour);
  bool GetColumnTextColor(int column, QRgb& colour) const;
  void SetColumnBackColor(int column, QRgb colour);
  bool GetColumnBackColor(int column, QRgb& colour) const;
  void SetDefaultTextColor(QRgb colour);
  void SetCellFont(int height, int width);
  // 0 keeps the height the list proposes; a positive height applies at once.
  void SetRowHeight(int height);
  int RowHeight() const;

  // The row whose first-column text equals `text` exactly, searching from `startRow` and
  // wrapping around; -1 if there is none.
  int FindRowByFirstColumn(const QString& text, int startRow = 0) const;

  CHeaderCtrlCl& Header() const { return *header_; }

  // What the delegate (and printing) paints for a cell.
  QRgb TextColourAt(int row, int column) const;
  QRgb BackColourAt(int row, int column, bool selected) const;
  const QFont& CellFont() const { return cellFont_; }
  char AlignmentChar(int column) const { return header_->AlignmentChar(column); }

 private:
  static quint64 CellKey(int row, int column) {
    return (static_cast<quint64>(static_cast<quint32>(row)) << 32) | static_cast<quint32>(column);
  }
  static std::optional<QRgb> Lookup(const QHash<quint64, QRgb>& table, quint64 key);
  static std::optional<QRgb> Lookup(const QHash<int, QRgb>& table, int key);
  void UpdateCell(int row, int column);

  CHeaderCtrlCl* header_;
  int proposedRowHeight_ = 0;
  QHash<int, QRgb> columnBackColours_;
  QHash<quint64, QRgb> cellBackColours_;
  QHash<int, QRgb> columnTextColours_;
  QHash<quint64, QRgb> cellTextColours_;
  QRgb defaultTextColour_ = qRgb(0, 0, 0);
  QFont cellFont_;
  QTimer trackTimer_;  // track-select: the row under a resting mouse becomes selected
  QPersistentModelIndex hovered_;
};
