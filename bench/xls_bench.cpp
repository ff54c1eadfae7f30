// Writing the Excel export's workbook: six text columns of history rows under a title
// row, as the export hands them over (UTF-16), saved to a file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "HistoryText.h"
#include "XlsBook.h"

namespace {

const char16_t* const kTitles[] = {u"设备ID", u"设备名称", u"部门", u"时间", u"温度", u"湿度"};

std::vector<std::array<std::u16string, 6>> HistoryRows(int count) {
  std::vector<std::array<std::u16string, 6>> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (int r = 1; r <= count; ++r) rows.push_back(xls_test::HistoryRow(r));
  return rows;
}

double PeakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_WriteHistoryWorkbook(benchmark::State& state) {
  const auto rows = HistoryRows(static_cast<int>(state.range(0)));
  const std::string path =
      (std::filesystem::temp_directory_path() / ("xls_bench_" + std::to_string(getpid()) + ".xls")).string();
  for (auto _ : state) {
    xls::XlsBook book;
    book.CreateNew(3);
    xls::XlsSheet* sheet = book.FindSheet("Sheet1");
    for (int c = 0; c < 6; ++c) sheet->CellAt(0, c)->SetWideText(kTitles[c]);
    for (std::size_t r = 0; r < rows.size(); ++r)
      for (int c = 0; c < 6; ++c)
        sheet->CellAt(static_cast<int>(r) + 1, c)->SetWideText(rows[r][static_cast<std::size_t>(c)]);
    if (!book.SaveToFile(path)) state.SkipWithError("SaveToFile failed");
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  state.counters["peak_RSS_MB"] = PeakResidentMegabytes();
  std::filesystem::remove(path);
}

}  // namespace

BENCHMARK(BM_WriteHistoryWorkbook)->Arg(10000)->Arg(65535)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
