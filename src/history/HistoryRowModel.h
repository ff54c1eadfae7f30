#pragma once
// The history table page's list model: the compact row store, with the eleven columns of the
// page. Rows are added to the store first and become visible to the list with Publish(), in
// one update per device.
#include "HistoryRowStore.h"
#include "TextRows.h"

namespace history {

class HistoryRowModel : public res::TextRows {
  Q_OBJECT
 public:
  using res::TextRows::TextRows;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  QString Text(int row, int column) const override;
  std::string TextGbk(int row, int column) const override;
  void Clear() override;

  // Adds a row of the table query; not shown until Publish().
  void Stage(const DbRow& row) { store_.Append(row); }
  void Publish();

  const HistoryRowStore& Store() const { return store_; }

 private:
  HistoryRowStore store_;
  int published_ = 0;
};

}  // namespace history
