#pragma once
// The rows of the history table page, kept compactly: a month of ten devices is 432,000 rows.
// What repeats on every row of a device (id, name, company, department) is kept once per
// device; the nine reading texts of a row sit in one GBK buffer inside large blocks. Cells are
// formatted only when shown or exported.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "DbSession.h"

namespace history {

// A list cell (0..10) in GBK, formatted like HistoryCells from the raw query columns
// (`field(HistoryQueryColumn)`), without a round trip through UTF-16.
using QueryField = std::function<std::string_view(int queryColumn)>;
std::string ListCellGbk(const QueryField& field, int listColumn);

class HistoryRowStore {
 public:
  // Appends one row of the table query (thirteen columns; missing ones read as "").
  void Append(const DbRow& row);
  void Clear();
  std::size_t RowCount() const { return rows_.size(); }

  // A column of the table query (HistoryQueryColumn), as the server returned it.
  std::string_view Field(std::size_t row, int queryColumn) const;
  // Index of the row's device among Devices(), in order of first appearance.
  std::uint32_t DeviceOf(std::size_t row) const { return rows_[row].identity; }
  struct Identity {
    std::array<std::string, 4> gbk;  // device id, company, department, device name
    std::array<QString, 4> text;
  };
  const std::vector<Identity>& Devices() const { return identities_; }

  // The list cell (0..10) as shown, and the same text in GBK.
  QString Cell(std::size_t row, int listColumn) const;
  std::string CellGbk(std::size_t row, int listColumn) const;

  // Heap bytes held for the rows (blocks, row index, identities), for the benchmark.
  std::size_t BytesHeld() const;

 private:
  struct RowRef {
    const char* fields;  // nine length-prefixed texts, in kReadingColumns order
    std::uint32_t identity;
  };
  std::uint32_t IdentityOf(const DbRow& row);
  char* Reserve(std::size_t bytes);

  std::vector<RowRef> rows_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0, blockSize_ = 0;
  std::vector<Identity> identities_;
  std::unordered_map<std::string, std::uint32_t> identityIndex_;
  std::uint32_t lastIdentity_ = UINT32_MAX;
};

}  // namespace history
