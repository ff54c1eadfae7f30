#pragma once
// Writes one table (a title row, then data rows) to a file, replacing the file only when the
// whole table was written: CSV, tab-separated text, or an .xls workbook.
//
// A workbook sheet holds 65,536 rows (BIFF8): the titles and 65,535 data rows. A longer table
// goes on in the next sheet (Sheet2, …), each starting with the titles, so every row is in the
// file. Text files are written as the rows come (buffered); a workbook is built in memory and
// saved at Finish.
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TableText.h"

namespace platform {
class SaveFile;
}

namespace tables {

enum class TableFormat { kCsv, kTabText, kWorkbook };

// Data rows of one workbook sheet.
inline constexpr int kSheetDataRows = 65535;

// kWorkbook for a name ending in ".xls" (any case), otherwise `text`.
TableFormat FormatForName(const std::string& fileName, TableFormat text);

// One cell: text, or a number a spreadsheet can sum (text files write its text).
struct TableCell {
  QString text;
  std::optional<double> number;
};

class TableFileWriter {
 public:
  TableFileWriter(std::string fileName, TableFormat format, TextEncoding encoding);
  ~TableFileWriter();  // an unfinished file is discarded
  TableFileWriter(const TableFileWriter&) = delete;
  TableFileWriter& operator=(const TableFileWriter&) = delete;

  // Starts the file with its title row; false (with Error) when it cannot be created.
  bool Begin(const QStringList& titles);
  void Add(const QStringList& cells);
  void Add(const std::vector<TableCell>& cells);
  // Fields already in the file's encoding: CSV and text only, for rows that arrive in GBK.
  void AddEncoded(const std::vector<std::string>& fields);
  // Saves the file; false (with Error) when any step failed, the earlier file kept.
  bool Finish();
  // Gives up: the earlier file of that name stays as it was.
  void Discard();

  long long RowCount() const { return rows_; }
  const std::string& Error() const { return error_; }

 private:
  class Workbook;
  void Put(const std::string& bytes);
  std::string Line(const std::vector<std::string>& fields) const;

  std::string fileName_;
  TableFormat format_;
  TextEncoding encoding_;
  QStringList titles_;
  std::unique_ptr<platform::SaveFile> text_;
  std::unique_ptr<Workbook> book_;
  std::string pending_;
  long long rows_ = 0;
  std::string error_;
};

}  // namespace tables
