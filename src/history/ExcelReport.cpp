#include "ExcelReport.h"

#include <cstdio>

#include "Gbk.h"
#include "ReportColumns.h"
#include "TextRows.h"
#include "XlsBook.h"

namespace {

constexpr int kNewWorkbookSheets = 3;
constexpr const char* kFirstSheetName = "Sheet1";

void WriteHeader(xls::XlsSheet& sheet) {
  int c = 0;
  for (const ReportColumn& column : kReportColumns)
    if (column.enabled) sheet.CellAt(0, c++)->SetWideText(QString::fromUtf8(column.title).toStdU16String());
}

}  // namespace

ExportOutcome WriteExcelReport(const res::TextRows& list, const std::string& fileName, const ExportProgress& progress) {
  ExportOutcome outcome;
  outcome.fileName = fileName;
  xls::XlsBook book;
  book.CreateNew(kNewWorkbookSheets);
  xls::XlsSheet* sheet = book.FindSheet(kFirstSheetName);
  if (sheet) {
    WriteHeader(*sheet);
    outcome.sheetsUsed = 1;
    const int rowCount = list.rowCount();
    int sheetIndex = 0;
    for (int r = 0; r < rowCount; ++r) {
      const int sheetRow = r % kExcelDataRowsPerSheet + 1;
      if (r > 0 && sheetRow == 1) {
        // Never drop rows: continue on the next sheet (adding one when the three run out).
        ++sheetIndex;
        sheet = sheetIndex < book.SheetCount() ? book.SheetAt(sheetIndex) : book.AddSheet();
        if (!sheet) break;
        WriteHeader(*sheet);
        ++outcome.sheetsUsed;
      }
      int c = 0;
      for (int i = 0; i < kReportColumnCount; ++i) {
        if (!kReportColumns[static_cast<std::size_t>(i)].enabled) continue;
        const QString text = list.Text(r, i);
        // Converted whole: no cut at 127 characters.
        sheet->CellAt(sheetRow, c++)
            ->SetWideText(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                              static_cast<std::size_t>(text.size())));
      }
      if (progress && (r % 5000 == 4999)) progress(r + 1, rowCount);
    }
  }
  // The workbook writer saves safely: on failure the file of that name keeps what it held.
  if (!book.SaveToFile(fileName)) {
    outcome.error = "cannot write " + fileName + (book.SaveError().empty() ? "" : ": " + book.SaveError());
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}
