#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "ExcelReport.h"
#include "Gbk.h"
#include "HistoryRowModel.h"
#include "PdfReport.h"
#include "TextTableModel.h"

namespace {

void Fill(res::TextTableModel& model, int rows) {
  model.SetHeaders(QStringList(11, QString()));
  std::vector<QStringList> all;
  all.reserve(static_cast<std::size_t>(rows));
  for (int i = 0; i < rows; ++i)
    all.push_back({QStringLiteral("TH%1").arg(i % 1000, 8, 10, QLatin1Char('0')), QStringLiteral("一号冷库"),
                   QStringLiteral("华东冷链"), QStringLiteral("冷藏库区"),
                   QStringLiteral("2026-12-07 %1:%2:00")
                       .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                       .arg(i % 60, 2, 10, QLatin1Char('0')),
                   QStringLiteral(" 23.5 ↑"), QStringLiteral("45.0   "), QStringLiteral("25.1"),
                   QStringLiteral("220.0 市电"), QStringLiteral("35.0"), QStringLiteral("正常")});
  model.AppendRows(std::move(all));
}

// The same rows as the history table page keeps them (compact, formatted when read).
void FillCompact(history::HistoryRowModel& model, int rows) {
  const std::string name = platform::Utf8ToGbk("一号冷库"), company = platform::Utf8ToGbk("华东冷链"),
                    department = platform::Utf8ToGbk("冷藏库区");
  for (int i = 0; i < rows; ++i) {
    const std::string id = QStringLiteral("TH%1").arg(i % 1000, 8, 10, QLatin1Char('0')).toStdString();
    const std::string time = QStringLiteral("2026-12-07 %1:%2:00")
                                 .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                                 .arg(i % 60, 2, 10, QLatin1Char('0'))
                                 .toStdString();
    model.Stage({id, company, department, time, "23.5", "1", "45.0", "3", "25.1", "220.0", "1", name, "35.0"});
  }
  model.Publish();
}

const std::string kDir = std::filesystem::temp_directory_path().string();

void BM_PdfReport10000Rows(benchmark::State& state) {
  res::TextTableModel model;
  Fill(model, 10000);
  const std::string file = kDir + "/bench-report.pdf";
  for (auto _ : state) {
    if (!WritePdfReport(model, file).ok) state.SkipWithError("pdf failed");
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_PdfReport10000Rows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ExcelExport65535Rows(benchmark::State& state) {
  res::TextTableModel model;
  Fill(model, 65535);
  const std::string file = kDir + "/bench-report.xls";
  for (auto _ : state) {
    if (!WriteExcelReport(model, file).ok) state.SkipWithError("xls failed");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}
BENCHMARK(BM_ExcelExport65535Rows)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_PdfReport10000RowsCompact(benchmark::State& state) {
  history::HistoryRowModel model;
  FillCompact(model, 10000);
  const std::string file = kDir + "/bench-report-compact.pdf";
  for (auto _ : state) {
    if (!WritePdfReport(model, file).ok) state.SkipWithError("pdf failed");
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_PdfReport10000RowsCompact)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_ExcelExport65535RowsCompact(benchmark::State& state) {
  history::HistoryRowModel model;
  FillCompact(model, 65535);
  const std::string file = kDir + "/bench-report-compact.xls";
  for (auto _ : state) {
    if (!WriteExcelReport(model, file).ok) state.SkipWithError("xls failed");
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_ExcelExport65535RowsCompact)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
