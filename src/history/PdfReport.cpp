#include "PdfReport.h"

#include <hpdf.h>

#include <cstdio>

#include "Gbk.h"
#include "PdfSpooling.h"
#include "ReportColumns.h"
#include "SaveFile.h"
#include "TextRows.h"

namespace {

constexpr const char* kTitle = "历史数据";
constexpr const char* kFontName = "SimSun";
constexpr const char* kEncoding = "GBK-EUC-H";
constexpr float kTitleSize = 24, kHeaderSize = 15, kRowSize = 12;
constexpr int kTitleOffset = 60;

// The library reports errors through a callback; instead of jumping out of it (which would skip
// C++ destructors) the error is recorded here and checked after each step.
struct PdfErrorState {
  bool failed = false;
  HPDF_STATUS errorNo = 0;
  HPDF_STATUS detailNo = 0;
};

void PdfErrorHandler(HPDF_STATUS errorNo, HPDF_STATUS detailNo, void* userData) {
  std::printf("ERROR: error_no=%04X, detail_no=%u\n", static_cast<unsigned>(errorNo), static_cast<unsigned>(detailNo));
  std::fflush(stdout);
  auto* state = static_cast<PdfErrorState*>(userData);
  if (state && !state->failed) {
    state->failed = true;
    state->errorNo = errorNo;
    state->detailNo = detailNo;
  }
}

void ShowTextAt(HPDF_Page page, float x, float y, const std::string& gbkText) {
  HPDF_Page_BeginText(page);
  HPDF_Page_MoveTextPos(page, x, y);
  HPDF_Page_ShowText(page, gbkText.c_str());
  HPDF_Page_EndText(page);
}

// Frees the document on every path out of the export.
struct PdfDocument {
  HPDF_Doc doc = nullptr;
  ~PdfDocument() {
    if (doc) HPDF_Free(doc);
  }
};

}  // namespace

PdfLinePosition PdfLineWalk::Next() {
  const PdfLinePosition line{page_, y_};
  ++row_;
  y_ -= kLinePitch;
  // A new page only when another row follows: a full last page leaves no blank page.
  if (y_ <= kBottomLimit && row_ < rowCount_) {
    ++page_;
    y_ = h_ - kLaterRowOffset;
  }
  return line;
}

std::vector<PdfLinePosition> LayoutPdfLines(int rowCount, int h) {
  std::vector<PdfLinePosition> lines;
  lines.reserve(static_cast<std::size_t>(rowCount > 0 ? rowCount : 0));
  PdfLineWalk walk(rowCount, h);
  for (int r = 0; r < rowCount; ++r) lines.push_back(walk.Next());
  return lines;
}

int PdfPageCount(int rowCount, int h) {
  PdfLineWalk walk(rowCount, h);
  int pages = 1;
  for (int r = 0; r < rowCount; ++r) pages = walk.Next().page + 1;
  return pages;
}

ExportOutcome WritePdfReport(const res::TextRows& list, const std::string& fileName, const ExportProgress& progress) {
  ExportOutcome outcome;
  outcome.fileName = fileName;
  PdfErrorState errors;
  // Finished pages wait in a spill file beside the target and the document is saved straight
  // into a safe save, so a long report is never held whole in memory. A failed save never
  // leaves a truncated report, nor destroys an earlier one of the same name.
  PdfPageSpill spill;
  platform::SaveFile file(fileName);
  PdfDocument pdf;
  pdf.doc = HPDF_New(PdfErrorHandler, &errors);
  if (!pdf.doc) {
    std::printf("error: cannot create PdfDoc object\n");
    std::fflush(stdout);
    outcome.error = "cannot create PdfDoc object";
    return outcome;
  }
  const auto failed = [&] {
    if (!errors.failed) return false;
    char text[64];
    std::snprintf(text, sizeof text, "error_no=%04X, detail_no=%u", static_cast<unsigned>(errors.errorNo),
                  static_cast<unsigned>(errors.detailNo));
    outcome.error = text;
    return true;
  };
  // File errors are reported in the library's own form, as when it wrote the file itself.
  const auto fileFailed = [&](HPDF_STATUS errorNo, int error, const std::string& reason) {
    PdfErrorHandler(errorNo, static_cast<HPDF_STATUS>(error), &errors);
    failed();
    outcome.error += ": " + reason;
    return outcome;
  };
  const auto spillFailed = [&] {
    return fileFailed(HPDF_FILE_IO_ERROR, spill.File().ErrorNumber(), spill.File().ErrorString());
  };
  if (!spill.Open(fileName))
    return fileFailed(HPDF_FILE_OPEN_ERROR, spill.File().ErrorNumber(), spill.File().ErrorString());
  if (!file.Open()) return fileFailed(HPDF_FILE_OPEN_ERROR, file.ErrorNumber(), file.ErrorString());

  HPDF_UseCNSFonts(pdf.doc);
  HPDF_UseCNSEncodings(pdf.doc);
  HPDF_Font font = HPDF_GetFont(pdf.doc, kFontName, kEncoding);
  HPDF_Page page = HPDF_AddPage(pdf.doc);
  if (failed() || !font || !page) return outcome;
  const float pageHeight = HPDF_Page_GetHeight(page);
  const int h = static_cast<int>(pageHeight);

  const std::string title = platform::Utf8ToGbk(kTitle);
  HPDF_Page_SetFontAndSize(page, font, kTitleSize);
  const float titleWidth = HPDF_Page_TextWidth(page, title.c_str());
  ShowTextAt(page, (HPDF_Page_GetWidth(page) - titleWidth) * 0.5f, pageHeight - kTitleOffset, title);

  HPDF_Page_SetFontAndSize(page, font, kHeaderSize);
  for (const ReportColumn& column : kReportColumns)
    if (column.enabled)
      ShowTextAt(page, static_cast<float>(column.x), static_cast<float>(h - column.headerOffset),
                 platform::Utf8ToGbk(column.title));
  if (failed()) return outcome;

  HPDF_Page_SetFontAndSize(page, font, kRowSize);
  const int rowCount = list.rowCount();
  PdfLineWalk lines(rowCount, h);
  int currentPage = 0;
  for (int r = 0; r < rowCount; ++r) {
    const PdfLinePosition line = lines.Next();
    if (line.page != currentPage) {
      if (!spill.MovePage(pdf.doc, page)) return spillFailed();
      page = HPDF_AddPage(pdf.doc);
      if (failed() || !page) return outcome;
      HPDF_Page_SetFontAndSize(page, font, kRowSize);
      currentPage = line.page;
    }
    for (int i = 0; i < kReportColumnCount; ++i)
      if (kReportColumns[static_cast<std::size_t>(i)].enabled)
        ShowTextAt(page, static_cast<float>(kReportColumns[static_cast<std::size_t>(i)].x), static_cast<float>(line.y),
                   list.TextGbk(r, i));
    if (failed()) return outcome;
    if (progress && (r % 1000 == 999)) progress(r + 1, rowCount);
  }

  if (!spill.MovePage(pdf.doc, page)) return spillFailed();
  if (!SavePdfInto(pdf.doc, file)) {
    const platform::SpillFile& spilled = spill.File();
    const std::string reason = spilled.ErrorNumber() != 0 ? spilled.ErrorString() : file.ErrorString();
    // A write that failed inside the library was told by its error handler already.
    if (!failed())
      return spilled.ErrorNumber() != 0 ? spillFailed() : fileFailed(HPDF_FILE_IO_ERROR, file.ErrorNumber(), reason);
    if (!reason.empty()) outcome.error += ": " + reason;
    return outcome;
  }
  if (!file.Commit()) return fileFailed(HPDF_FILE_IO_ERROR, file.ErrorNumber(), file.ErrorString());
  outcome.ok = true;
  return outcome;
}
