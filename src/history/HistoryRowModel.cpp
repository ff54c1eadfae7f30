#include "HistoryRowModel.h"

#include "HistoryCells.h"

namespace history {

int HistoryRowModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : published_; }

int HistoryRowModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kHistoryListColumnCount;
}

QVariant HistoryRowModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  return Text(index.row(), index.column());
}

QVariant HistoryRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kHistoryListColumnCount)
    return {};
  return QString::fromUtf8(kHistoryListColumns[static_cast<std::size_t>(section)].title);
}

QString HistoryRowModel::Text(int row, int column) const {
  if (row < 0 || row >= published_) return {};
  return store_.Cell(static_cast<std::size_t>(row), column);
}

std::string HistoryRowModel::TextGbk(int row, int column) const {
  if (row < 0 || row >= published_) return {};
  return store_.CellGbk(static_cast<std::size_t>(row), column);
}

void HistoryRowModel::Clear() {
  beginResetModel();
  store_.Clear();
  published_ = 0;
  endResetModel();
}

void HistoryRowModel::Publish() {
  const int total = static_cast<int>(store_.RowCount());
  if (total == published_) return;
  beginInsertRows({}, published_, total - 1);
  published_ = total;
  endInsertRows();
}

}  // namespace history
