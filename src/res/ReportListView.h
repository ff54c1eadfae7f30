#pragma once
// The report-style list of the station's dialogs: columns with titles and widths, rows of
// texts, whole-row selection. Backed by TextTableModel, so large result sets stay fast.
#include <QTableView>
#include <vector>

#include "TextTableModel.h"

namespace res {

class ReportListView : public QTableView {
  Q_OBJECT
 public:
  explicit ReportListView(QWidget* parent = nullptr);

  void InsertColumn(int column, const QString& title, int widthPixels);
  int ColumnCount() const { return model_->columnCount(); }
  // Inserts a row with `text` in column 0; returns its index.
  int InsertItem(int row, const QString& text);
  int AppendRow(const QStringList& texts) { return model_->AppendRow(texts); }
  void SetItemText(int row, int column, const QString& text) { model_->SetText(row, column, text); }
  QString GetItemText(int row, int column) const { return model_->Text(row, column); }
  int GetItemCount() const { return model_->rowCount(); }
  void DeleteItem(int row) { model_->RemoveRow(row); }
  void DeleteAllItems() { model_->Clear(); }
  // Selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  int FirstSelectedRow() const;  // -1 when nothing is selected
  void SelectRow(int row);
  void SetSingleSelection(bool single);

  TextTableModel* Model() const { return model_; }

 signals:
  // A row was clicked with the left button (the row under the mouse, -1 for empty space).
  void rowClicked(int row);
  void rowDoubleClicked(int row);

 private:
  TextTableModel* model_;
};

}  // namespace res
