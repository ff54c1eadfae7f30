#include "ReportListView.h"

#include <QHeaderView>

namespace res {

ReportListView::ReportListView(QWidget* parent) : QTableView(parent), model_(new TextTableModel(this)), rows_(model_) {
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(false);
  setWordWrap(false);
  setAlternatingRowColors(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) { emit rowClicked(i.row()); });
  connect(this, &QAbstractItemView::doubleClicked, this,
          [this](const QModelIndex& i) { emit rowDoubleClicked(i.row()); });
}

void ReportListView::InsertColumn(int column, const QString& title, int widthPixels) {
  model_->InsertColumn(column, title);
  setColumnWidth(column, widthPixels);
}

void ReportListView::UseRows(TextRows* rows) {
  // Column widths belong to the header sections and survive the change of model.
  std::vector<int> widths;
  for (int c = 0; c < model_->columnCount(); ++c) widths.push_back(columnWidth(c));
  rows_ = rows ? rows : model_;
  setModel(rows_);
  for (int c = 0; c < static_cast<int>(widths.size()); ++c) setColumnWidth(c, widths[static_cast<std::size_t>(c)]);
}

int ReportListView::InsertItem(int row, const QString& text) { return model_->InsertRow(row, QStringList{text}); }

std::vector<int> ReportListView::SelectedRows() const {
  std::vector<int> rows;
  if (!selectionModel()) return rows;
  for (const QModelIndex& i : selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int ReportListView::FirstSelectedRow() const {
  const auto rows = SelectedRows();
  return rows.empty() ? -1 : rows.front();
}

void ReportListView::SelectRow(int row) {
  if (row < 0 || row >= GetItemCount()) return;
  selectRow(row);
}

void ReportListView::SetSingleSelection(bool single) {
  setSelectionMode(single ? QAbstractItemView::SingleSelection : QAbstractItemView::ExtendedSelection);
}

}  // namespace res
