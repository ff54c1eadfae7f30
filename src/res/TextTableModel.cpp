#include "TextTableModel.h"

namespace res {

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  const QStringList& row = rows_[static_cast<std::size_t>(index.row())];
  return index.column() < row.size() ? row[index.column()] : QString();
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers_.size()) return headers_[section];
  return {};
}

void TextTableModel::SetHeaders(const QStringList& headers) {
  beginResetModel();
  headers_ = headers;
  endResetModel();
}

void TextTableModel::InsertColumn(int column, const QString& title) {
  column = std::clamp(column, 0, static_cast<int>(headers_.size()));
  beginInsertColumns({}, column, column);
  headers_.insert(column, title);
  for (auto& row : rows_)
    if (column <= row.size()) row.insert(column, QString());
  endInsertColumns();
}

int TextTableModel::InsertRow(int row, const QStringList& texts) {
  row = std::clamp(row, 0, static_cast<int>(rows_.size()));
  beginInsertRows({}, row, row);
  rows_.insert(rows_.begin() + row, texts);
  endInsertRows();
  return row;
}

int TextTableModel::AppendRow(const QStringList& texts) { return InsertRow(static_cast<int>(rows_.size()), texts); }

void TextTableModel::AppendRows(std::vector<QStringList> rows) {
  if (rows.empty()) return;
  const int first = static_cast<int>(rows_.size());
  beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
  rows_.reserve(rows_.size() + rows.size());
  for (auto& r : rows) rows_.push_back(std::move(r));
  endInsertRows();
}

void TextTableModel::SetText(int row, int column, const QString& text) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0) return;
  QStringList& r = rows_[static_cast<std::size_t>(row)];
  while (r.size() <= column) r.append(QString());
  if (r[column] == text) return;
  r[column] = text;
  const QModelIndex i = index(row, column);
  emit dataChanged(i, i, {Qt::DisplayRole});
}

QString TextTableModel::Text(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0) return {};
  const QStringList& r = rows_[static_cast<std::size_t>(row)];
  return column < r.size() ? r[column] : QString();
}

void TextTableModel::RemoveRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return;
  beginRemoveRows({}, row, row);
  rows_.erase(rows_.begin() + row);
  endRemoveRows();
}

void TextTableModel::Clear() {
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

}  // namespace res
