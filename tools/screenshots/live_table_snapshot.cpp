// Renders the device tree beside the live table with demo records in every state and saves
// the picture (offscreen), so the drawing can be looked at without a database or a display.
//   live-table-snapshot [out.png]   (scripts/screenshots writes build/screenshots/live_table.png)
#include <QApplication>
#include <QSplitter>
#include <cstdio>
#include <cstdlib>

#include "AppConfig.h"
#include "CMyTreeView.h"
#include "CVeltraneView.h"
#include "LiveTableFill.h"
#include "TickCount.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/live_table.png");
  platform::SetTickSource([] { return 10'000'000u; });

  auto table = DeviceLiveTable::Create();
  const auto add = [&](const char* id, const char* name, const char* company, const char* dept, LiveSample s,
                       std::uint32_t age = 0) {
    AddRecord(*table, {id, name, company, dept, "2024-05-01 10:00:00"}, s).changeTick = 10'000'000u - age;
  };
  add("1000000001", "一号冷库", "华东冷链公司", "仓储部", Sample(-18.2f, 0, 45.5f, 0, kPowerMains, 12.1f, 35.9f));
  add("1000000002", "二号冷库", "华东冷链公司", "仓储部", Sample(-12.5f, 1, 48.0f, 0, kPowerMains, 12.0f, 36.2f));
  add("1000000003", "配送车A", "华东冷链公司", "运输部", Sample(4.5f, 2, 8.5f, 2, kPowerBattery, 5.5f, 20.0f));
  add("1000000004", "配送车B", "华东冷链公司", "运输部", Sample(6.0f, 3, 55.0f, 0, kPowerBattery, 3.7f, 18.4f));
  add("2000000001", "机房温湿度", "北方数据中心", "机房", Sample(23.4f, 0, 61.0f, 1, kPowerMains, 12.2f, 40.0f));
  add("2000000002", "电池间", "北方数据中心", "机房", Sample(25.0f, 0, 52.0f, 3, kPowerMains, 12.2f, 40.0f));
  add("2000000003", "库房走廊", "北方数据中心", "库房", Sample(21.0f, 4, 40.0f, 4, 7, 12.0f, 30.0f));
  add("2000000004", "库房门口", "北方数据中心", "库房", Sample(20.5f, 0, 41.0f, 0, kPowerMains, 12.0f, 31.0f), 600'000);

  QSplitter splitter;
  auto* tree = new CMyTreeView(*table, &splitter);
  auto* view = new CVeltraneView(*table, &splitter);
  tree->BuildDeviceTree();
  view->List().selectRow(1);
  splitter.resize(1400, 360);
  splitter.setSizes({1400 / 8, 1400 / 8 * 7});
  splitter.show();
  QApplication::processEvents();
  if (!splitter.grab().save(out)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
    return 1;
  }
  std::printf("%s\n", qPrintable(out));
  return 0;
}
