// The summary files and the statistics window's copy, and the locale independence of every
// figure and file of the history side.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <clocale>
#include <fstream>
#include <iterator>

#include "CHistoryStatisticsDlg.h"
#include "CurveSegments.h"
#include "DecimalCommaLocale.h"
#include "ExcelReport.h"
#include "ExportTestSupport.h"
#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryChart.h"
#include "HistoryCsv.h"
#include "HistoryRowModel.h"
#include "HistorySummaryExport.h"
#include "PdfReport.h"

using namespace history;
using namespace exporttest;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Two devices ten minutes apart; D1 has a NULL temperature and a humidity that is no number.
void FillRows(HistoryRowModel& rows) {
  const char* tempe[] = {"2.0", "", "3.5", "10.4", "-0.5"};
  const char* hum[] = {"45.5", "abc", "50.0", "51.5", "49.0"};
  for (int i = 0; i < 5; ++i) {
    const std::string time = "2024-05-01 00:" + std::to_string(i) + "0:00";
    rows.Stage({"D1", "C", "D", time, tempe[i], i == 3 ? "1" : "0", hum[i], "0", "25.5", "3.6", "1",
                platform::Utf8ToGbk("一号\t冷库"), "12.5"});
    rows.Stage({"D2", "C", "D", time, "-18.5", "0", "30.0", "3", "25.5", "220.0", "1", "N", "12.5"});
  }
  rows.Publish();
}

struct Outputs {
  QStringList statistics;
  std::vector<std::vector<QPoint>> curve;
  std::vector<std::string> csv;
  std::string pdf, xls, summaryText, summaryXls;
};

// Everything the history side computes or writes from the same rows.
Outputs Produce(const std::filesystem::path& dir) {
  HistoryRowModel rows;
  FillRows(rows);
  Outputs out;
  const std::vector<DeviceSummary> summaries = SummariseRows(rows.Store());
  for (const DeviceSummary& summary : summaries) out.statistics << SummaryCells(summary);
  std::vector<CurveReading> readings;
  for (std::size_t r = 0; r < rows.Store().RowCount(); r += 2)
    readings.push_back(CurveReadingOf(
        {"D1", std::string(rows.Store().Field(r, kColDatetime)), std::string(rows.Store().Field(r, kColTempe)), "0"}));
  out.curve = CurveSegments(readings, kChannelTemperature);
  for (std::size_t r = 0; r < rows.Store().RowCount(); ++r) {
    std::vector<std::string> fields;
    for (int c = 0; c < kHistoryListColumnCount; ++c) fields.push_back(rows.Store().CellGbk(r, c));
    out.csv.push_back(CsvLine(fields));
  }
  EXPECT_TRUE(WritePdfReport(rows, (dir / "r.pdf").string()).ok);
  EXPECT_TRUE(WriteExcelReport(rows, (dir / "r.xls").string()).ok);
  EXPECT_TRUE(WriteSummaryFile(summaries, TextEncoding::kUtf8Bom, (dir / "s.tsv").string()).ok);
  EXPECT_TRUE(WriteSummaryFile(summaries, TextEncoding::kUtf8Bom, (dir / "s.xls").string()).ok);
  out.pdf = ReadFile(dir / "r.pdf");
  out.xls = ReadFile(dir / "r.xls");
  out.summaryText = ReadFile(dir / "s.tsv");
  out.summaryXls = ReadFile(dir / "s.xls");
  return out;
}

TEST(HistoryLocale, EveryFigureAndFileEqualsTheOneUnderC) {
  const auto dir = ScratchDir("locale");
  std::setlocale(LC_NUMERIC, "C");
  const Outputs c = Produce(dir);
  EXPECT_EQ(c.statistics.mid(5, 3), QStringList({"-0.50", "10.40", "3.85"}));
  ASSERT_EQ(c.curve.size(), 2u);  // broken at the NULL temperature
  if (!testlocale::UseDecimalComma()) GTEST_SKIP() << "no decimal-comma locale (the locales package and localedef)";
  const Outputs comma = Produce(dir);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(comma.statistics, c.statistics);
  EXPECT_EQ(comma.curve, c.curve);
  EXPECT_EQ(comma.csv, c.csv);
  EXPECT_TRUE(comma.pdf == c.pdf) << "PDF differs";
  EXPECT_TRUE(comma.xls == c.xls) << ".xls differs";
  EXPECT_EQ(comma.summaryText, c.summaryText);
  EXPECT_TRUE(comma.summaryXls == c.summaryXls) << "summary .xls differs";
  std::filesystem::remove_all(dir);
}

TEST(HistorySummaryFile, WorkbookHoldsNumbersAsNumberCells) {
  if (RunCommand("/usr/bin/python3 -c 'import xlrd' 2>&1; echo $?").find('0') != 0)
    GTEST_SKIP() << "python3-xlrd missing";
  const auto dir = ScratchDir("summary");
  HistoryRowModel rows;
  FillRows(rows);
  const std::string file = (dir / "s.xls").string();
  ASSERT_TRUE(WriteSummaryFile(SummariseRows(rows.Store()), TextEncoding::kUtf8Bom, file).ok);
  int status = 0;
  const std::string json = RunCommand("/usr/bin/python3 " VELTRANE_READ_XLS " '" + file + "' --typed 2>&1", &status);
  ASSERT_EQ(status, 0) << json;
  const QJsonArray sheet = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()["Sheet1"].toArray();
  ASSERT_EQ(sheet.size(), 3);
  const auto cell = [&](int r, int c) {
    const QJsonArray kindAndText = sheet[r].toArray()[c].toArray();
    return kindAndText[0].toString() + ":" + kindAndText[1].toString();
  };
  EXPECT_EQ(cell(0, 2), QString::fromUtf8("text:记录数"));
  EXPECT_EQ(cell(1, 0), "text:D1");
  EXPECT_EQ(cell(1, 1), QString::fromUtf8("text:一号\t冷库"));  // a cell holds the name as it is
  const QStringList d1 = {"number:5.0",
                          "text:2024-05-01 00:00:00",
                          "text:2024-05-01 00:40:00",
                          "number:-0.5",
                          "number:10.4",
                          "number:3.85",
                          "number:4.93",
                          "number:1.0",
                          "number:600.0"};
  for (int c = 0; c < d1.size(); ++c) EXPECT_EQ(cell(1, 2 + c), d1[c]) << c;
  EXPECT_EQ(cell(1, 21), "number:600.0");  // the longest spacing, in seconds
  EXPECT_EQ(cell(1, 22), "number:1.0");    // missing temperatures
  EXPECT_EQ(cell(1, 23), "number:1.0");    // missing humidities
  EXPECT_EQ(cell(2, 13), "text:--");       // D2's humidity sensor was offline throughout
  std::filesystem::remove_all(dir);
}

TEST(HistoryStatisticsDlg, CopyKeepsEveryDeviceOnOneLine) {
  HistoryRowModel rows;
  FillRows(rows);
  const CHistoryStatisticsDlg dlg(SummariseRows(rows.Store()), 10);
  const QStringList lines = dlg.TabSeparatedText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3);
  for (const QString& line : lines)
    EXPECT_EQ(line.count(QLatin1Char('\t')), kSummaryColumnCount - 1) << line.toStdString();
  EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8("D1\t一号 冷库\t5\t")));
}

}  // namespace
