#pragma once
// An Excel 97–2003 workbook built in memory and saved as a BIFF8 "Workbook" stream in a
// compound document. Every cell uses cell format 0; texts go to one shared string table.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "BiffRecord.h"
#include "CfbFile.h"
#include "XlsSheet.h"

namespace xls {

class XlsBook {
 public:
  XlsBook() = default;
  ~XlsBook() = default;  // the container closes itself
  XlsBook(const XlsBook&) = delete;
  XlsBook& operator=(const XlsBook&) = delete;

  // Discards everything and starts a workbook with the default fonts, cell formats and
  // styles and `sheetCount` empty sheets "Sheet1", "Sheet2", … (at least one).
  // Sheets of the previous workbook are destroyed.
  void CreateNew(int sheetCount);

  // Adds a sheet named "Sheet<n>" with the first free n from the sheet count + 1 on.
  XlsSheet* AddSheet(int position = -1);
  // Adds a sheet with an 8-bit name at `position` (−1 or past the end: last); nullptr when
  // a sheet of that name exists or the name is empty or longer than 31 bytes.
  XlsSheet* AddSheet(std::string_view name, int position = -1);
  // The sheet whose name equals `name` byte for byte, or nullptr.
  XlsSheet* FindSheet(std::string_view name);

  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  XlsSheet* SheetAt(int index);

  // Writes the workbook to `path` (UTF-8). True only when the whole file reached the disk
  // and replaced `path`; on failure `path` keeps what it held. A workbook without sheets
  // is not written.
  bool SaveToFile(const std::string& path);
  // Why the last SaveToFile failed (empty when the reason is not a file error).
  const std::string& SaveError() const { return error_; }

  // The bytes of the "Workbook" stream as SaveToFile writes them.
  std::vector<std::uint8_t> BuildWorkbookStream() const;

 private:
  std::vector<BiffRecord> fonts_;
  std::vector<BiffRecord> cellFormats_;
  std::vector<BiffRecord> styles_;
  std::vector<std::unique_ptr<XlsSheet>> sheets_;
  CfbFile container_;
  std::string error_;
};

}  // namespace xls
