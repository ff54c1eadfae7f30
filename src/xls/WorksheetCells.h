#pragma once
// The cell table of one worksheet: row blocks of 32 rows, each its ROW records, its cell
// records in row-major order and a DBCELL.
#include <cstdint>
#include <vector>

#include "SharedStringTable.h"
#include "XlsSheet.h"

namespace xls {

inline constexpr int kRowsPerBlock = 32;

struct WorksheetCells {
  // Bounds of the cells holding a value (all 0 for a sheet without any).
  std::uint32_t rwMic = 0;
  std::uint32_t rwMac = 0;
  std::uint16_t colMic = 0;
  std::uint16_t colMac = 0;
  std::vector<std::uint8_t> rowBlocks;
  std::vector<std::uint32_t> dbCellOffsets;  // of each block's DBCELL within rowBlocks
};

// Text cells are entered into `sst`, which keeps views of the sheet's texts.
WorksheetCells BuildWorksheetCells(const XlsSheet& sheet, SharedStringTable& sst);

// Appends the row block of `sheet`'s rows firstRow … firstRow+31: the ROW records (columns up
// to `colMac`) of the rows holding cells, their cells, and the DBCELL, whose offset in `out`
// is returned. Row numbers are written plus `rowBase` (for a sheet that holds only the block).
std::size_t AppendRowBlock(std::vector<std::uint8_t>& out, const XlsSheet& sheet, int firstRow, int rowBase,
                           std::uint16_t colMac, SharedStringTable& sst);

}  // namespace xls
