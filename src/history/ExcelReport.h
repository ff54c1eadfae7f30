#pragma once
// The .xls export of the history table page's list: the six report columns as text, titles
// in row 0. Rows beyond a sheet's last row continue on the next sheet under a repeated header.
#include <string>

#include "PdfReport.h"  // ExportOutcome, ExportProgress

namespace res {
class TextRows;
}

inline constexpr int kExcelDataRowsPerSheet = 65535;  // sheet rows 1..65535 below the title row

ExportOutcome WriteExcelReport(const res::TextRows& list, const std::string& fileName,
                               const ExportProgress& progress = {});
