#include "XlsSheet.h"

#include <algorithm>

namespace xls {

XlsCell* XlsSheet::CellAt(int row, int column) {
  if (row < 0 || row > kMaxRow || column < 0 || column > kMaxColumn) return nullptr;
  if (rows_.size() <= static_cast<std::size_t>(row)) rows_.resize(static_cast<std::size_t>(row) + 1);
  Row& chunks = rows_[static_cast<std::size_t>(row)];
  const auto chunk = static_cast<std::size_t>(column / kChunkSize);
  while (chunks.size() <= chunk) chunks.push_back(std::make_unique<Chunk>());
  rowCount_ = std::max(rowCount_, row + 1);
  columnCount_ = std::max(columnCount_, column + 1);
  return &(*chunks[chunk])[static_cast<std::size_t>(column % kChunkSize)];
}

const XlsCell* XlsSheet::FindCell(int row, int column) const {
  if (row < 0 || column < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
  const Row& chunks = rows_[static_cast<std::size_t>(row)];
  const auto chunk = static_cast<std::size_t>(column / kChunkSize);
  if (chunk >= chunks.size()) return nullptr;
  return &(*chunks[chunk])[static_cast<std::size_t>(column % kChunkSize)];
}

int XlsSheet::RowWidth(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return 0;
  return static_cast<int>(rows_[static_cast<std::size_t>(row)].size()) * kChunkSize;
}

}  // namespace xls
