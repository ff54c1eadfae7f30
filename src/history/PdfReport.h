#pragma once
// The PDF report of the history table page's list: a centred title, one header line and one
// line per list row, six columns, continued on further pages.
#include <functional>
#include <string>
#include <vector>

namespace res {
class TextRows;
}

struct PdfLinePosition {
  int page;  // 0-based
  int y;     // baseline, points from the bottom
};

// Where each of `rowCount` data lines goes on pages of height `h` (truncated points):
// page 1 from h-110, later pages from h-60, pitch 20, a new page once y falls to 20 or
// below — and only when another row follows, so a full last page leaves no blank page.
std::vector<PdfLinePosition> LayoutPdfLines(int rowCount, int h);
int PdfPageCount(int rowCount, int h);

// The same layout one line at a time, so a long report keeps no list of positions.
class PdfLineWalk {
 public:
  PdfLineWalk(int rowCount, int h) : rowCount_(rowCount), h_(h), y_(h - kFirstRowOffset) {}
  // The position of the next row (call at most rowCount times).
  PdfLinePosition Next();

 private:
  static constexpr int kFirstRowOffset = 110, kLaterRowOffset = 60, kLinePitch = 20, kBottomLimit = 20;
  int rowCount_, h_;
  int row_ = 0, page_ = 0, y_;
};

struct ExportOutcome {
  bool ok = false;
  std::string fileName;  // as written (UTF-8)
  std::string error;     // library or file error, for the console
  int sheetsUsed = 0;    // Excel only: worksheets that received rows
};

using ExportProgress = std::function<void(int done, int total)>;

// Writes the report to `fileName` (UTF-8 path). Library errors are printed as
// "ERROR: error_no=%04X, detail_no=%u\n" to standard output; the document is freed and no
// partial file is left behind.
ExportOutcome WritePdfReport(const res::TextRows& list, const std::string& fileName,
                             const ExportProgress& progress = {});
