#pragma once
// Rows of texts for report-style lists. Holds the texts exactly as shown; one row is one
// QStringList, so a hundred thousand rows stay cheap (no widget per cell).
#include <QColor>
#include <QStringList>
#include <vector>

#include "TextRows.h"

namespace res {

class TextTableModel : public TextRows {
  Q_OBJECT
 public:
  using TextRows::TextRows;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void SetHeaders(const QStringList& headers);
  void InsertColumn(int column, const QString& title);
  int InsertRow(int row, const QStringList& texts);  // returns the row index used
  int AppendRow(const QStringList& texts);
  // Appends many rows in one model update (fast bulk fill).
  void AppendRows(std::vector<QStringList> rows);
  void SetText(int row, int column, const QString& text);
  QString Text(int row, int column) const override;
  const QStringList& Row(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  void RemoveRow(int row);
  void Clear() override;

 private:
  QStringList headers_;
  std::vector<QStringList> rows_;
};

}  // namespace res
