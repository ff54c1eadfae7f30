// RefreshRows with a full live table (1024 shown devices), offscreen.
//   live_table_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSignalSpy>
#include <cstdlib>

#include "CVeltraneView.h"
#include "LiveTableFill.h"
#include "TickCount.h"

namespace {

std::unique_ptr<DeviceLiveTable> FullTable() {
  auto table = DeviceLiveTable::Create();
  for (int i = 0; i < DeviceLiveTable::kCapacity; ++i) {
    const std::string id = std::to_string(1000000000 + i);
    AddRecord(*table,
              {id, "冷库温湿度" + std::to_string(i), "华东冷链公司" + std::to_string(i % 7),
               "仓储部" + std::to_string(i % 13), "2024-05-01 10:00:00"},
              Sample(20.0f + i % 10, i % 5, 50.0f, i % 4, i % 2));
    table->records[static_cast<std::size_t>(i)].changeTick = 1;
  }
  return table;
}

void BM_RefreshRowsRebuild(benchmark::State& state) {
  auto table = FullTable();
  CVeltraneView view(*table);
  for (auto _ : state) view.RefreshRows(true);
  state.counters["rows"] = view.List().GetItemCount();
}

void BM_RefreshRowsInPlaceUnchanged(benchmark::State& state) {
  auto table = FullTable();
  CVeltraneView view(*table);
  QSignalSpy changed(view.List().Model(), &QAbstractItemModel::dataChanged);
  for (auto _ : state) view.RefreshRows();
  state.counters["cellsWritten"] = static_cast<double>(changed.count());
}

void BM_RefreshRowsInPlaceAllChanged(benchmark::State& state) {
  auto table = FullTable();
  CVeltraneView view(*table);
  float t = 0;
  for (auto _ : state) {
    state.PauseTiming();
    t += 0.1f;
    for (int i = 0; i < table->LiveCount(); ++i) {
      DeviceLiveRecord& r = table->records[static_cast<std::size_t>(i)];
      r.AppendSample(Sample(20.0f + t, 0, 50.0f + t, 0, kPowerMains));
      r.readingTime = t > 50 ? "2024-05-01 10:00:10" : "2024-05-01 10:00:20";
    }
    state.ResumeTiming();
    view.RefreshRows();
  }
}

BENCHMARK(BM_RefreshRowsRebuild)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshRowsInPlaceUnchanged)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshRowsInPlaceAllChanged)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  platform::SetTickSource([] { return 1000u; });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
