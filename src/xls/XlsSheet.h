#pragma once
// The cell grid of one worksheet. Cells are created on first access and never move, so a
// pointer from CellAt stays valid as long as the sheet lives.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "XlsCell.h"

namespace xls {

inline constexpr int kMaxRow = 65535;
inline constexpr int kMaxColumn = 255;

class XlsSheet {
 public:
  explicit XlsSheet(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }

  // The cell at (row, column), created empty when absent; nullptr outside rows 0 … 65535
  // and columns 0 … 255.
  XlsCell* CellAt(int row, int column);
  // The cell if it was ever created, without creating it.
  const XlsCell* FindCell(int row, int column) const;

  // Highest row and column touched through CellAt, plus one.
  int RowCount() const { return rowCount_; }
  int ColumnCount() const { return columnCount_; }
  // Columns created in `row` (cells beyond it are absent).
  int RowWidth(int row) const;

 private:
  static constexpr int kChunkSize = 8;  // cells are allocated in chunks of a row
  using Chunk = std::array<XlsCell, kChunkSize>;
  using Row = std::vector<std::unique_ptr<Chunk>>;

  std::string name_;
  std::vector<Row> rows_;
  int rowCount_ = 0;
  int columnCount_ = 0;
};

}  // namespace xls
