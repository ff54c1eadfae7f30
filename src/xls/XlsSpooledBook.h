#pragma once
// An Excel 97–2003 workbook written as it is filled, for sheets too large to hold: sheets one
// after another, rows in ascending order. Each finished block of 32 rows goes as BIFF8 cell
// records to a spill file beside the target; SaveToFile assembles the "Workbook" stream from
// the globals (with the shared string table, kept in memory) and those records, and saves it
// as safely as XlsBook does. Cells use format 0, like XlsBook's; for the same cells the file
// is the same as XlsBook's when a sheet's first block already reaches its widest column (ROW
// records name the widest column seen so far).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "SharedStringTable.h"
#include "SpillFile.h"
#include "XlsSheet.h"

namespace xls {

class XlsSpooledBook {
 public:
  // `path` (UTF-8) is where SaveToFile puts the workbook.
  explicit XlsSpooledBook(std::string path);
  ~XlsSpooledBook();
  XlsSpooledBook(const XlsSpooledBook&) = delete;
  XlsSpooledBook& operator=(const XlsSpooledBook&) = delete;

  // Creates the spill file; false (with SaveError) when the target's directory refuses it.
  bool Open();

  // Starts a sheet after the last one, which takes no more cells. False when a sheet of that
  // name exists or the name is empty or longer than 31 bytes.
  bool AddSheet(std::string_view name);
  int SheetCount() const { return static_cast<int>(sheets_.size()); }

  // The cell at (row, column) of the last sheet, created empty. Reaching into a later block
  // of 32 rows writes the earlier blocks out; nullptr for a cell of a block already written,
  // outside rows 0 … 65535 and columns 0 … 255, or before the first AddSheet.
  XlsCell* CellAt(int row, int column);

  // Writes the workbook to the path given. True only when the whole file reached the disk
  // and replaced it; on failure it keeps what it held. A workbook without sheets is not
  // written. The book takes no more cells afterwards.
  bool SaveToFile();
  // Why Open or SaveToFile failed (empty when the reason is not a file error).
  const std::string& SaveError() const { return error_; }

 private:
  struct Sheet {
    std::string name;
    std::uint64_t spillStart = 0;  // its row blocks in the spill file
    std::uint64_t spillSize = 0;
    std::vector<std::uint32_t> dbCellOffsets;  // from the start of its row blocks
    int nextBlock = 0;                         // blocks before it are written
    int firstRow = -1, lastRow = -1, firstColumn = kMaxColumn + 1, lastColumn = -1;
  };
  struct Piece;

  void WriteBlock();
  std::vector<Piece> WorkbookPieces(std::vector<std::vector<std::uint8_t>>& parts);
  bool Fail(const std::string& error);

  std::string path_;
  platform::SpillFile spill_;
  SharedStringTable sst_{SstTexts::Copied};
  std::vector<Sheet> sheets_;
  std::unique_ptr<XlsSheet> block_;  // the current block, rows from blockFirstRow_
  int blockFirstRow_ = 0;
  std::vector<std::uint8_t> records_;
  std::string error_;
};

}  // namespace xls
