// The state bits behind the summary (by the views' rules), the summary counts, the bell's new
// events from the scanned table, and the data-age text.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "AlarmSummary.h"
#include "LiveTableFill.h"
#include "SampleState.h"

using namespace alarms;

namespace {

TEST(AlarmStateBits, FollowTheViewsRules) {
  const float none = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float t;
    int tCode;
    float h;
    int hCode;
    bool lost;
    std::uint8_t bits;
    int power = kPowerMains;
  } cases[] = {
      {20, 0, 40, 0, false, 0},
      {20, 1, 40, 0, false, kBitTemperatureHigh},
      {20, 0, 40, 2, false, kBitHumidityLow},
      {20, 2, 40, 1, false, kBitTemperatureLow | kBitHumidityHigh},
      {none, 4, none, 4, false, 0},              // no value is not an alarm
      {none, 1, 40, 0, false, 0},                // nor is a code without its value
      {20, 0, 40, 3, false, kBitSensorOffline},  // either channel
      {20, 3, 40, 1, true, kBitSensorOffline | kBitHumidityHigh | kBitCommunicationLost},  // silent: lost too
      {20, 0, 40, 0, true, kBitCommunicationLost},
      {20, 5, 40, 0, false, kBitValueAlarm},  // unknown codes never pass for normal
      {20, 0, 40, kCodeNotReported, false, kBitValueAlarm},
      {20, 0, 40, 0, false, kBitSupplyLost, kPowerBattery},
      {20, 1, 40, 0, true, kBitTemperatureHigh | kBitSupplyLost | kBitCommunicationLost, kPowerBattery},
      {20, 0, 40, 0, false, 0, kCodeNotReported},  // a missing power code is no supply loss
      {20, 0, 40, 0, false, 0, 7},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StateBits(Sample(c.t, c.tCode, c.h, c.hCode, c.power), c.lost), c.bits)
        << c.tCode << "/" << c.hCode << " " << c.lost << " power " << c.power;
}

class AlarmScan : public ::testing::Test {
 protected:
  std::unique_ptr<DeviceLiveTable> table = DeviceLiveTable::Create();
  static constexpr std::uint32_t kNow = 1'000'000;
  DeviceLiveRecord& Add(const char* id, int t, int h, bool lost = false) {
    DeviceLiveRecord& r = AddRecord(*table, {id, id, "c", "d"}, Sample(20, t, 40, h));
    r.changeTick = lost ? kNow - 200'000 : kNow;
    return r;
  }
  LiveScan Scan() { return ScanLiveTable(*table, kNow, 120); }
};

TEST_F(AlarmScan, CountsShownDevicesByState) {
  Add("high", 1, 0);
  Add("low-and-lost", 0, 2, true);
  Add("offline", 3, 0, true);
  Add("lost", 0, 0, true);
  Add("ok", 0, 0);
  Add("hidden", 1, 3).shown = 0;
  AddRecord(*table, {"nosample", "n", "c", "d"}, {}, false);
  AddRecord(*table, {"battery", "n", "c", "d"}, Sample(20, 0, 40, 0, kPowerBattery)).changeTick = kNow;
  EXPECT_EQ(Scan().counts, (AlarmCounts{2, 1, 3, 1})) << "a silent device counts as lost whatever its codes";
}

TEST_F(AlarmScan, NewEventIsAStateBitAShownDeviceDidNotHoldBefore) {
  DeviceLiveRecord& a = Add("a", 0, 0);
  DeviceLiveRecord& b = Add("b", 1, 0);
  readings::DeviceEventDetector detector;
  EXPECT_TRUE(readings::RingsBell(detector.Feed(Scan().devices))) << "an alarm seen first is new";
  struct Step {
    const char* what;
    std::function<void()> change;
    bool newEvent;
  } steps[] = {
      {"nothing changed", [] {}, false},
      {"b back to normal", [&] { b.AppendSample(Sample(20, 0, 40, 0)); }, false},
      {"b high again", [&] { b.AppendSample(Sample(20, 1, 40, 0)); }, true},
      {"b still high, now also a sensor fault", [&] { b.AppendSample(Sample(20, 1, 40, 3)); }, true},
      {"b turns from high to low", [&] { b.AppendSample(Sample(20, 2, 40, 3)); }, true},
      {"b on battery", [&] { b.AppendSample(Sample(20, 2, 40, 3, kPowerBattery)); }, true},
      {"b back on mains", [&] { b.AppendSample(Sample(20, 2, 40, 3)); }, false},
      {"a lost", [&] { a.changeTick = kNow - 200'000; }, true},
      {"hidden c appears in alarm", [&] { Add("c", 2, 0).shown = 0; }, false},
      {"c checked in the tree while in alarm", [&] { table->records[2].shown = 1; }, false},
      {"new device d in alarm", [&] { Add("d", 0, 1); }, true},
  };
  for (const Step& step : steps) {
    step.change();
    EXPECT_EQ(readings::RingsBell(detector.Feed(Scan().devices)), step.newEvent) << step.what;
  }
}

TEST(AlarmSummaryText, CountsInTheirStateColours) {
  const QString html = SummaryHtml({3, 0, 2, 1});
  EXPECT_TRUE(html.contains(QString::fromUtf8("<span style=\"color:#aa0000\">报警 3</span>"))) << html.toStdString();
  EXPECT_TRUE(html.contains(QString::fromUtf8("<span style=\"color:#00a854\">传感器掉线 0</span>")));
  EXPECT_TRUE(html.contains(QString::fromUtf8("<span style=\"color:#0000ff\">通讯掉线 2</span>")));
  EXPECT_TRUE(html.contains(QString::fromUtf8("<span style=\"color:#aa0000\">供电中断 1</span>")));
  EXPECT_EQ(html.count(QString::fromUtf8(" · ")), 3);
}

TEST(AlarmSummaryText, DataAgeTurnsPlainWhenTheDatabaseStopsAnswering) {
  const RefreshStamp at{true, 0xFFFFF000u, 9, 5, 7};  // near the wrap of the tick counter
  struct Case {
    RefreshStamp last;
    std::uint32_t now;
    Freshness expected;
  } cases[] = {
      {{}, 5, {QString::fromUtf8("数据库未响应，尚无数据"), true}},
      {at, 0xFFFFF000u + 10'500, {QString::fromUtf8("数据更新于 09:05:07"), false}},
      {at, 0xFFFFF000u + kStaleAfterMs, {QString::fromUtf8("数据更新于 09:05:07"), false}},
      {at, 0xFFFFF000u + kStaleAfterMs + 1, {QString::fromUtf8("数据库未响应，数据更新于 09:05:07"), true}},
  };
  for (const Case& c : cases) EXPECT_EQ(FreshnessOf(c.last, c.now), c.expected) << c.expected.text.toStdString();
}

}  // namespace
