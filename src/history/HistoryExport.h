#pragma once
// The export buttons of the history table page: write the list as shown into a file named
// from the local time in the current directory, with a busy cursor and progress, and report
// the outcome in a message box owned by the page.
#include <string>

class QWidget;
namespace res {
class TextRows;
}

#include "PdfReport.h"  // ExportOutcome

// `fileName` empty: the time-based name. Message boxes only when `owner` is given.
ExportOutcome ExportPdf(QWidget* owner, const res::TextRows& list, const std::string& fileName = {});
ExportOutcome ExportExcel(QWidget* owner, const res::TextRows& list, const std::string& fileName = {});

// The curve page's "导出PDF": the chart as shown, on one landscape page ("导出成功" / "导出失败").
class QImage;
ExportOutcome ExportCurvePdf(QWidget* owner, const QImage& chart, const std::string& fileName = {});

// The success text of the Excel export ("导出文件:%s 成功", plus a note when rows continued on
// further sheets).
std::string ExcelSuccessText(const std::string& fileName, int sheetsUsed);
