#include "PdfReport.h"

#include <hpdf.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "Gbk.h"
#include "ReportColumns.h"
#include "SaveFile.h"
#include "TextRows.h"

namespace {

constexpr const char* kTitle = "历史数据";
constexpr const char* kFontName = "SimSun";
constexpr const char* kEncoding = "GBK-EUC-H";
constexpr float kTitleSize = 24, kHeaderSize = 15, kRowSize = 12;
constexpr int kTitleOffset = 60;
constexpr std::size_t kStreamChunk = 64 * 1024;
constexpr int kFirstRowOffset = 110, kLaterRowOffset = 60, kLinePitch = 20, kBottomLimit = 20;

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

std::vector<PdfLinePosition> LayoutPdfLines(int rowCount, int h) {
  std::vector<PdfLinePosition> lines;
  lines.reserve(static_cast<std::size_t>(rowCount > 0 ? rowCount : 0));
  int page = 0;
  int y = h - kFirstRowOffset;
  for (int r = 0; r < rowCount; ++r) {
    lines.push_back({page, y});
    y -= kLinePitch;
    if (y <= kBottomLimit && r + 1 < rowCount) {
      ++page;
      y = h - kLaterRowOffset;
    }
  }
  return lines;
}

int PdfPageCount(int rowCount, int h) {
  const auto lines = LayoutPdfLines(rowCount, h);
  return lines.empty() ? 1 : lines.back().page + 1;
}

ExportOutcome WritePdfReport(const res::TextRows& list, const std::string& fileName, const ExportProgress& progress) {
  ExportOutcome outcome;
  outcome.fileName = fileName;
  PdfErrorState errors;
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
  const std::vector<PdfLinePosition> lines = LayoutPdfLines(rowCount, h);
  int currentPage = 0;
  for (int r = 0; r < rowCount; ++r) {
    if (lines[static_cast<std::size_t>(r)].page != currentPage) {
      page = HPDF_AddPage(pdf.doc);
      if (failed() || !page) return outcome;
      HPDF_Page_SetFontAndSize(page, font, kRowSize);
      currentPage = lines[static_cast<std::size_t>(r)].page;
    }
    const float y = static_cast<float>(lines[static_cast<std::size_t>(r)].y);
    for (int i = 0; i < kReportColumnCount; ++i)
      if (kReportColumns[static_cast<std::size_t>(i)].enabled)
        ShowTextAt(page, static_cast<float>(kReportColumns[static_cast<std::size_t>(i)].x), y, list.TextGbk(r, i));
    if (failed()) return outcome;
    if (progress && (r % 1000 == 999)) progress(r + 1, rowCount);
  }

  // The document goes to memory first and then through a safe save: a failed save never
  // leaves a truncated report, nor destroys an earlier one of the same name.
  HPDF_SaveToStream(pdf.doc);
  if (failed()) return outcome;
  platform::SaveFile file(fileName);
  // File errors are reported in the library's own form, as when it wrote the file itself.
  const auto fileFailed = [&](HPDF_STATUS errorNo) {
    PdfErrorHandler(errorNo, static_cast<HPDF_STATUS>(file.ErrorNumber()), &errors);
    failed();
    outcome.error += ": " + file.ErrorString();
    return outcome;
  };
  if (!file.Open()) return fileFailed(HPDF_FILE_OPEN_ERROR);
  // Reading to the end ends in a "stream EOF" status, which is no error for us.
  HPDF_SetErrorHandler(pdf.doc, nullptr);
  HPDF_ResetStream(pdf.doc);
  std::vector<HPDF_BYTE> chunk(kStreamChunk);
  HPDF_UINT32 left = HPDF_GetStreamSize(pdf.doc);
  bool written = true;
  while (left > 0 && written) {
    HPDF_UINT32 size = std::min<HPDF_UINT32>(left, static_cast<HPDF_UINT32>(chunk.size()));
    const HPDF_STATUS status = HPDF_ReadFromStream(pdf.doc, chunk.data(), &size);
    if (size == 0 || (status != HPDF_OK && status != HPDF_STREAM_EOF)) break;
    written = file.Write(chunk.data(), size);
    left -= std::min(left, size);
  }
  if (written && left > 0) file.MarkFailed(EIO);  // the library gave back less than it holds
  if (!file.Commit()) return fileFailed(HPDF_FILE_IO_ERROR);
  outcome.ok = true;
  return outcome;
}
