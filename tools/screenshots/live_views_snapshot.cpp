// Renders the tile view with a device in every state, and the curve view with readings
// missing in the middle of a curve, into PNGs (offscreen) for a visual check.
//   live-views-snapshot [tiles.png] [curves.png]   (scripts/screenshots: docs/live-tiles-states.png,
//   docs/live-curves-gap.png)
#include <QApplication>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CCurveView.h"
#include "CIconView.h"
#include "LiveTableFill.h"
#include "SampleState.h"
#include "TickCount.h"

namespace {

constexpr std::uint32_t kNow = 10'000'000u;

bool Save(QWidget& view, const QString& path) {
  view.show();
  QApplication::processEvents();
  if (view.grab().save(path)) return std::printf("%s\n", qPrintable(path)), true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const QString tilesOut = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/live_tiles_states.png");
  const QString curvesOut = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/tmp/live_curves_gap.png");
  platform::SetTickSource([] { return kNow; });
  const float none = std::nanf("");

  auto tiles = DeviceLiveTable::Create();
  const auto add = [&](const char* id, const char* name, LiveSample s, std::uint32_t age = 0) {
    AddRecord(*tiles, {id, name, "", ""}, s).changeTick = kNow - age;
  };
  add("1000000001", "正常", Sample(-18.2f, 0, 45.5f, 0, kPowerMains, 12.1f, 35.9f, 24.5f));
  add("1000000002", "温度偏高 ↑", Sample(-12.5f, 1, 48.0f, 0));
  add("1000000003", "湿度偏低 ↓", Sample(4.5f, 0, 8.5f, 2));
  add("1000000004", "电池供电", Sample(6.0f, 0, 55.0f, 0, kPowerBattery, 3.7f, 18.4f));
  add("1000000005", "温度传感器掉线", Sample(0, 3, 55.0f, 0));
  add("1000000006", "湿度传感器掉线", Sample(21.0f, 0, 52.0f, 3));
  add("1000000007", "温度无值", Sample(21.0f, 4, 40.0f, 0));
  add("1000000008", "湿度无值", Sample(21.0f, 0, none, 4));
  add("1000000009", "通讯掉线", Sample(20.5f, 0, 41.0f, 0), 600'000);
  add("1000000010", "通讯掉线 报警", Sample(31.5f, 1, 41.0f, 0, kPowerBattery, 3.6f, 12.0f), 600'000);
  add("1000000011", "全部为空",
      Sample(none, kCodeNotReported, none, kCodeNotReported, kCodeNotReported, none, none, none));
  add("1000000012", "未知报警码", Sample(22.0f, 2147483647, 40.0f, 0));
  add("1000000013", "传感器掉线 通讯掉线", Sample(0, 3, 55.0f, 0), 600'000);
  CIconView tileView(*tiles);
  tileView.resize(4 * 205 + 5, 4 * 145 + 5);
  bool ok = Save(tileView, tilesOut);

  // Device 0: the temperature sensor drops out for a while, then single readings are missing.
  auto curves = DeviceLiveTable::Create();
  DeviceLiveRecord& gap = AddRecord(*curves, {"1000000001", "", "", ""}, {}, false);
  DeviceLiveRecord& steady = AddRecord(*curves, {"1000000002", "", "", ""}, {}, false);
  for (int i = 0; i < 300; ++i) {
    const float wave = 10.0f * std::sin(i / 25.0f);
    LiveSample s = Sample(20 + wave, 0, 55 + wave, 0, kPowerMains, 12.0f, 35.0f, 30 + wave / 2);
    if (i >= 80 && i < 120) s.temperatureAlarm = kAlarmSensorOffline;
    if (i == 160 || i == 161 || i == 200) s.temperatureAlarm = kAlarmNoValue;
    if (i >= 230 && i < 250) s.humidity = none, s.humidityAlarm = kAlarmNoValue;
    if (i >= 260 && i < 270) s.voltage = none;
    gap.AppendSample(s);
    steady.AppendSample(Sample(-5 - wave, 0, 70 - wave, 0, kPowerBattery, 3.6f, 12.0f, 10));
  }
  CCurveView curveView(*curves);
  curveView.resize(1050, 650);
  ok = Save(curveView, curvesOut) && ok;
  return ok ? 0 : 1;
}
