#pragma once
// The report-style list of the station's dialogs: columns with titles and widths, rows of
// texts, whole-row selection. Backed by TextTableModel, so large result sets stay fast; a list
// may show another store of rows instead (UseRows).
#include <QTableView>
#include <vector>

#include "TextTableModel.h"

namespace res {

class ReportListView : public QTableView {
  Q_OBJECT
 public:
  explicit ReportListView(QWidget* parent = nullptr);

  void InsertColumn(int column, const QString& title, int widthPixels);
  int ColumnCount() const { return rows_->columnCount(); }
  // Inserts a row with `text` in column 0; returns its index.
  int InsertItem(int row, const QString& text);
  int AppendRow(const QStringList& texts) { return model_->AppendRow(texts); }
  void SetItemText(int row, int column, const QString& text) { model_->SetText(row, column, text); }
  QString GetItemText(int row, int column) const { return rows_->Text(row, column); }
  int GetItemCount() const { return rows_->rowCount(); }
  void DeleteItem(int row) { model_->RemoveRow(row); }
  void DeleteAllItems() { rows_->Clear(); }
  // Selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  int FirstSelectedRow() const;  // -1 when nothing is selected
  void SelectRow(int row);
  void SetSingleSelection(bool single);

  // The list's own text model; InsertColumn, AppendRow and SetItemText work on it.
  TextTableModel* Model() const { return model_; }
  // Shows `rows` instead of the own model (which keeps only the column titles). The list
  // does not own it.
  void UseRows(TextRows* rows);
  // What the list shows.
  const TextRows& Rows() const { return *rows_; }

 signals:
  // A row was clicked with the left button (the row under the mouse, -1 for empty space).
  void rowClicked(int row);
  void rowDoubleClicked(int row);

 private:
  TextTableModel* model_;
  TextRows* rows_;
};

}  // namespace res
