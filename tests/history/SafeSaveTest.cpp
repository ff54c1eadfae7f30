// The three exports of the history dialog never destroy an earlier file: a save that fails
// half-way (a file-size limit stands in for a full disk) keeps it byte for byte and leaves
// no temporary behind.
#include <gtest/gtest.h>

#include <QImage>
#include <QRandomGenerator>

#include "AlarmRecords.h"
#include "ExcelReport.h"
#include "ExportTestSupport.h"
#include "HistoryExport.h"
#include "PdfReport.h"
#include "SizeLimitedSave.h"

using namespace exporttest;

namespace {

constexpr rlim_t kSmallDisk = 16 * 1024;

void ExpectEarlierFileSurvives(const char* name, const std::function<bool(const std::string&)>& save) {
  const auto dir = ScratchDir("safesave");
  const std::string file = (dir / name).string();
  const std::string earlier = std::string("earlier ") + name;
  sizelimit::Put(file, earlier);
  EXPECT_EQ(sizelimit::SaveUnderFileSizeLimit(kSmallDisk, [&] { return save(file); }),
            sizelimit::ChildOutcome::kReportedFailure)
      << name << ": reported as saved, or killed by the size limit";
  EXPECT_EQ(sizelimit::Contents(file), earlier) << name;
  EXPECT_EQ(sizelimit::Names(dir), std::vector<std::string>{name}) << name << ": a temporary was left behind";
  // With room enough the same save replaces it.
  EXPECT_TRUE(save(file)) << name;
  EXPECT_NE(sizelimit::Contents(file), earlier) << name;
  EXPECT_EQ(sizelimit::Names(dir), std::vector<std::string>{name});
  std::filesystem::remove_all(dir);
}

}  // namespace

TEST(SafeSaveTest, FailedExportsKeepTheEarlierFile) {
  res::TextTableModel model;
  Fill(model, 2000);
  ExpectEarlierFileSurvives("r.pdf", [&](const std::string& file) {
    ::testing::internal::CaptureStdout();  // the error line goes to the standard output
    const bool ok = WritePdfReport(model, file).ok;
    ::testing::internal::GetCapturedStdout();
    return ok;
  });
  ExpectEarlierFileSurvives("r.xls", [&](const std::string& file) { return WriteExcelReport(model, file).ok; });

  // Noise does not compress: the chart alone outgrows the limit.
  QImage chart(400, 300, QImage::Format_RGB32);
  for (int y = 0; y < chart.height(); ++y)
    for (int x = 0; x < chart.width(); ++x) chart.setPixel(x, y, QRandomGenerator::global()->generate());
  ExpectEarlierFileSurvives("chart.pdf",
                            [&](const std::string& file) { return ExportCurvePdf(nullptr, chart, file).ok; });

  // The alarm records, as CSV and as a workbook.
  std::vector<history::AlarmRecord> records(
      2000,
      {"D000000001", "cold room", "company", "department", {readings::AlarmKind::TemperatureHigh, 0, 600}, {}, {}, {}});
  for (const char* name : {"events.csv", "events.xls"})
    ExpectEarlierFileSurvives(name, [&](const std::string& file) {
      std::string error;
      return history::WriteAlarmRecordFile(records, history::TextEncoding::kUtf8Bom, file, error);
    });
}
