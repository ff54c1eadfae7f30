// Drawing a full page of tiles and a full group of curves into the views' off-screen images.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "CCurveView.h"
#include "CIconView.h"
#include "DeviceLiveTable.h"
#include "Gbk.h"

namespace {

std::unique_ptr<DeviceLiveTable> DemoTable(int devices, int samplesEach) {
  auto table = DeviceLiveTable::Create();
  for (int d = 0; d < devices; ++d) {
    DeviceLiveRecord& r = *table->Add(platform::ToGbk(QString::asprintf("D%03d", d)));
    r.deviceName = platform::ToGbk(QStringLiteral("冷库%1号测点").arg(d));
    for (int i = 0; i < samplesEach; ++i) {
      const float wave = float(std::sin((i + 13 * d) / 20.0));
      r.AppendSample({20 + 15 * wave, d % 5 == 1 ? 1 : 0, 50 + 30 * wave, d % 7 == 2 ? 2 : 0, 28 + 5 * wave, 12 + wave,
                      d % 4 == 0 ? 0 : 1, 40 + 5 * wave});
    }
  }
  return table;
}

// 1920 x 1080 holds 9 x 7 = 63 tiles; 63 shown devices fill the page.
void BM_DrawTilePage(benchmark::State& state) {
  auto table = DemoTable(63, 3);
  CIconView view(*table);
  view.resize(1920, 1080);
  view.DrawTilePage(CIconView::kRedraw);
  for (auto _ : state) view.DrawTilePage(CIconView::kRedraw);
}
BENCHMARK(BM_DrawTilePage)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The 45-tile page of a 1920 x 800 client (9 x 5).
void BM_DrawTilePage45(benchmark::State& state) {
  auto table = DemoTable(45, 3);
  CIconView view(*table);
  view.resize(1920, 800);
  view.DrawTilePage(CIconView::kRedraw);
  for (auto _ : state) view.DrawTilePage(CIconView::kRedraw);
}
BENCHMARK(BM_DrawTilePage45)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A full group: 10 devices with 399 samples each, in a 1680 x 1000 view.
void BM_DrawCurveGroup(benchmark::State& state) {
  auto table = DemoTable(10, 399);
  CCurveView view(*table);
  view.resize(1680, 1000);
  view.DrawCurveGroup(CCurveView::kRedraw);
  for (auto _ : state) view.DrawCurveGroup(CCurveView::kRedraw);
}
BENCHMARK(BM_DrawCurveGroup)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
