#include "ExcelReport.h"

#include <cstdio>

#include "Gbk.h"
#include "ReportColumns.h"
#include "TextRows.h"
#include "XlsSpooledBook.h"

namespace {

constexpr int kNewWorkbookSheets = 3;
constexpr const char* kSheetNamePrefix = "Sheet";

void WriteHeader(xls::XlsSpooledBook& book) {
  int c = 0;
  for (const ReportColumn& column : kReportColumns)
    if (column.enabled) book.CellAt(0, c++)->SetWideText(QString::fromUtf8(column.title).toStdU16String());
}

bool AddNumberedSheet(xls::XlsSpooledBook& book) {
  return book.AddSheet(kSheetNamePrefix + std::to_string(book.SheetCount() + 1));
}

}  // namespace

// The rows go out a block at a time (XlsSpooledBook), so a month of readings is never held as
// cells. Sheets as a new workbook has them: Sheet1 … Sheet3, more when the rows need them.
ExportOutcome WriteExcelReport(const res::TextRows& list, const std::string& fileName, const ExportProgress& progress) {
  ExportOutcome outcome;
  outcome.fileName = fileName;
  xls::XlsSpooledBook book(fileName);
  const auto failed = [&] {
    outcome.error = "cannot write " + fileName + (book.SaveError().empty() ? "" : ": " + book.SaveError());
    return outcome;
  };
  if (!book.Open() || !AddNumberedSheet(book)) return failed();
  WriteHeader(book);
  outcome.sheetsUsed = 1;
  const int rowCount = list.rowCount();
  for (int r = 0; r < rowCount; ++r) {
    const int sheetRow = r % kExcelDataRowsPerSheet + 1;
    if (r > 0 && sheetRow == 1) {
      // Never drop rows: continue on the next sheet under a repeated header.
      if (!AddNumberedSheet(book)) return failed();
      WriteHeader(book);
      ++outcome.sheetsUsed;
    }
    int c = 0;
    for (int i = 0; i < kReportColumnCount; ++i) {
      if (!kReportColumns[static_cast<std::size_t>(i)].enabled) continue;
      const QString text = list.Text(r, i);
      // Converted whole: no cut at 127 characters.
      book.CellAt(sheetRow, c++)
          ->SetWideText(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                            static_cast<std::size_t>(text.size())));
    }
    if (progress && (r % 5000 == 4999)) progress(r + 1, rowCount);
  }
  while (book.SheetCount() < kNewWorkbookSheets)
    if (!AddNumberedSheet(book)) return failed();
  // Saved safely: on failure the file of that name keeps what it held.
  if (!book.SaveToFile()) return failed();
  outcome.ok = true;
  return outcome;
}
