#include "WorksheetCells.h"

#include <algorithm>

#include "BiffRecords.h"
#include "RkNumber.h"

namespace xls {
namespace {

double NumericValue(const XlsCell& cell) {
  return cell.Kind() == XlsCellKind::Integer ? static_cast<double>(cell.Integer()) : cell.Double();
}

// A run of adjacent numbers of one kind that all have an RK form becomes one MULRK, a
// single one an RK; a number without an RK form becomes a NUMBER. Returns the next column.
// `r` is the row number written for the sheet's `row`.
int AppendNumbers(std::vector<std::uint8_t>& out, const XlsSheet& sheet, int row, std::uint16_t r, int column,
                  int width) {
  const XlsCell& first = *sheet.FindCell(row, column);
  const auto c = static_cast<std::uint16_t>(column);
  const std::optional<std::uint32_t> rk = EncodeRk(NumericValue(first));
  if (!rk) {
    biff::AppendNumber(out, r, c, NumericValue(first));
    return column + 1;
  }
  std::vector<std::uint32_t> rks{*rk};
  int next = column + 1;
  for (; next < width; ++next) {
    const XlsCell* cell = sheet.FindCell(row, next);
    if (cell == nullptr || cell->Kind() != first.Kind()) break;
    const std::optional<std::uint32_t> nextRk = EncodeRk(NumericValue(*cell));
    if (!nextRk) break;
    rks.push_back(*nextRk);
  }
  if (rks.size() == 1)
    biff::AppendRk(out, r, c, *rk);
  else
    biff::AppendMulRk(out, r, c, rks);
  return next;
}

void AppendRowCells(std::vector<std::uint8_t>& out, const XlsSheet& sheet, int row, std::uint16_t r, int width,
                    SharedStringTable& sst) {
  for (int column = 0; column < width;) {
    const XlsCell& cell = *sheet.FindCell(row, column);
    const auto c = static_cast<std::uint16_t>(column);
    switch (cell.Kind()) {
      case XlsCellKind::Empty: ++column; break;
      case XlsCellKind::NarrowText:
        biff::AppendLabelSst(out, r, c, sst.AddNarrow(cell.NarrowText()));
        ++column;
        break;
      case XlsCellKind::WideText:
        biff::AppendLabelSst(out, r, c, sst.AddWide(cell.WideText()));
        ++column;
        break;
      case XlsCellKind::Integer:
      case XlsCellKind::Double: column = AppendNumbers(out, sheet, row, r, column, width); break;
    }
  }
}

bool RowHasCells(const XlsSheet& sheet, int row) {
  const int width = std::min(sheet.RowWidth(row), sheet.ColumnCount());
  for (int column = 0; column < width; ++column)
    if (!sheet.FindCell(row, column)->IsEmpty()) return true;
  return false;
}

}  // namespace

std::size_t AppendRowBlock(std::vector<std::uint8_t>& out, const XlsSheet& sheet, int firstRow, int rowBase,
                           std::uint16_t colMac, SharedStringTable& sst) {
  std::vector<int> rows;
  const int end = std::min(firstRow + kRowsPerBlock, sheet.RowCount());
  for (int row = firstRow; row < end; ++row)
    if (RowHasCells(sheet, row)) rows.push_back(row);
  const std::size_t blockStart = out.size();
  for (int row : rows) biff::AppendRow(out, static_cast<std::uint16_t>(row + rowBase), colMac);
  // Each offset locates a row's first cell record: the first from the end of the block's
  // first ROW record, the others from the previous row's first cell.
  std::vector<std::uint16_t> offsets;
  std::size_t previous = blockStart + biff::kRowSize;
  for (int row : rows) {
    offsets.push_back(static_cast<std::uint16_t>(out.size() - previous));
    previous = out.size();
    AppendRowCells(out, sheet, row, static_cast<std::uint16_t>(row + rowBase),
                   std::min<int>(sheet.RowWidth(row), colMac), sst);
  }
  const std::size_t dbCell = out.size();
  // dbRtrw: back from the DBCELL to the block's first ROW; 0 for a block without rows.
  const std::size_t dbRtrw = rows.empty() ? 0 : out.size() - blockStart;
  biff::AppendDbCell(out, static_cast<std::uint32_t>(dbRtrw), offsets);
  return dbCell;
}

WorksheetCells BuildWorksheetCells(const XlsSheet& sheet, SharedStringTable& sst) {
  WorksheetCells table;
  std::size_t cellCount = 0;
  int firstRow = -1, lastRow = -1, firstColumn = kMaxColumn + 1, lastColumn = -1;
  for (int row = 0; row < sheet.RowCount(); ++row) {
    const int width = std::min(sheet.RowWidth(row), sheet.ColumnCount());
    for (int column = 0; column < width; ++column) {
      if (sheet.FindCell(row, column)->IsEmpty()) continue;
      ++cellCount;
      if (firstRow < 0) firstRow = row;
      lastRow = row;
      firstColumn = std::min(firstColumn, column);
      lastColumn = std::max(lastColumn, column);
    }
  }
  if (firstRow < 0) return table;
  sst.Reserve(cellCount);
  table.rwMic = static_cast<std::uint32_t>(firstRow);
  table.rwMac = static_cast<std::uint32_t>(lastRow + 1);
  table.colMic = static_cast<std::uint16_t>(firstColumn);
  table.colMac = static_cast<std::uint16_t>(lastColumn + 1);

  const int blockCount = (lastRow + kRowsPerBlock) / kRowsPerBlock;
  std::vector<std::uint8_t>& out = table.rowBlocks;
  out.reserve(cellCount * biff::kNumberSize + static_cast<std::size_t>(lastRow + 1) * (biff::kRowSize + 2) +
              static_cast<std::size_t>(blockCount) * 8);
  for (int block = 0; block < blockCount; ++block)
    table.dbCellOffsets.push_back(
        static_cast<std::uint32_t>(AppendRowBlock(out, sheet, block * kRowsPerBlock, 0, table.colMac, sst)));
  return table;
}

}  // namespace xls
