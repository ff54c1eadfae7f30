#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "AlarmEvents.h"
#include "DeviceEvents.h"
#include "ReadingGaps.h"

using namespace readings;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using K = AlarmKind;

// One reading a minute unless `time` says otherwise; codes as the collector writes them.
Reading R(long long time, double t, int tc, double h, int hc, int power = kPowerMains, double volt = 3.6) {
  return {time, {t, tc}, {h, hc}, power, volt};
}

struct Expected {
  K kind;
  long long start, end;
  bool open;
  long long readings;
  double extreme;  // NaN: none
};

std::string Describe(const Excursion& e) {
  return std::to_string(static_cast<int>(e.kind)) + " " + std::to_string(e.start) + ".." + std::to_string(e.end) +
         (e.open ? " open" : "") + " n=" + std::to_string(e.readings) + " x=" + std::to_string(e.extreme);
}

TEST(AlarmEvents, RunsOfEveryKindFromReadingsInTimeOrder) {
  const struct {
    const char* name;
    std::vector<Reading> readings;
    std::vector<Expected> events;
  } cases[] = {
      {"no readings", {}, {}},
      {"one reading above: open, no duration", {R(0, 30, 1, 50, 0)}, {{K::TemperatureHigh, 0, 0, true, 1, 30}}},
      {"above ends at the first reading out of it; highest value",
       {R(0, 20, 0, 50, 0), R(60, 31, 1, 50, 0), R(120, 33, 1, 50, 0), R(180, 20, 0, 50, 0)},
       {{K::TemperatureHigh, 60, 180, false, 2, 33}}},
      {"below, humidity above and below overlap; lowest below; open at the end",
       {R(0, 1, 2, 90, 1), R(60, -2, 2, 95, 1), R(120, 5, 0, 10, 2), R(180, 5, 0, 8, 2)},
       {{K::TemperatureLow, 0, 120, false, 2, -2},
        {K::HumidityHigh, 0, 120, false, 2, 95},
        {K::HumidityLow, 120, 180, true, 2, 8}}},
      {"no value (NULL, code 4) neither starts nor ends a run",
       {R(0, 31, 1, 50, 0), R(60, kNaN, 1, 50, 0), R(120, 25, 4, 50, 0), R(180, 32, 1, 50, 0), R(240, kNaN, 0, 50, 0),
        R(300, 20, 0, 50, 0)},
       {{K::TemperatureHigh, 0, 300, false, 2, 32}}},
      {"sensor offline on either channel; both channels without a value say nothing",
       {R(0, 0, 3, 50, 0), R(60, 20, 0, 0, 3), R(120, kNaN, 0, kNaN, 4), R(180, 20, 0, 50, 0)},
       {{K::SensorOffline, 0, 180, false, 2, kNaN}}},
      {"on battery from the start: lowest voltage; an unreported supply says nothing",
       {R(0, 20, 0, 50, 0, kPowerBattery, 3.5), R(60, 20, 0, 50, 0, kCodeNotReported),
        R(120, 20, 0, 50, 0, kPowerBattery, 3.1), R(180, 20, 0, 50, 0, kPowerMains)},
       {{K::SupplyLost, 0, 180, false, 2, 3.1}}},
      {"a gap is an event and ends the runs open before it at the reading before it",
       {R(0, 31, 1, 50, 0), R(60, 32, 1, 50, 0), R(120, 33, 1, 50, 0), R(1200, 34, 1, 50, 0), R(1260, 20, 0, 50, 0)},
       {{K::TemperatureHigh, 0, 120, false, 3, 33},
        {K::CommunicationLost, 120, 1200, false, 0, kNaN},
        {K::TemperatureHigh, 1200, 1260, false, 1, 34}}},
      {"an unknown code beside a value is a value alarm, and ends the channel's high run",
       {R(0, 31, 1, 50, 0), R(60, 31, 7, 50, 0), R(120, 20, 0, 50, kCodeNotReported), R(180, 20, 0, 50, 0)},
       {{K::TemperatureHigh, 0, 60, false, 1, 31}, {K::ValueAlarm, 60, 180, false, 2, kNaN}}},
      {"five minutes after minute readings is no gap, a second more is",
       {R(0, 20, 0, 50, 0), R(60, 20, 0, 50, 0), R(120, 20, 0, 50, 0), R(420, 20, 0, 50, 0), R(480, 20, 0, 50, 0),
        R(540, 20, 0, 50, 0), R(841, 20, 0, 50, 0)},
       {{K::CommunicationLost, 540, 841, false, 0, kNaN}}},
      {"five minutes is no gap for a device reporting every two",
       {R(0, 31, 1, 50, 0), R(120, 31, 1, 50, 0), R(240, 31, 1, 50, 0), R(540, 31, 1, 50, 0)},
       {{K::TemperatureHigh, 0, 540, true, 4, 31}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Excursion> got = ExcursionsOf(c.readings);
    ASSERT_EQ(got.size(), c.events.size()) << (got.empty() ? "" : Describe(got.front()));
    for (std::size_t i = 0; i < got.size(); ++i) {
      const Expected& e = c.events[i];
      SCOPED_TRACE(Describe(got[i]));
      EXPECT_EQ(got[i].kind, e.kind);
      EXPECT_EQ(got[i].start, e.start);
      EXPECT_EQ(got[i].end, e.end);
      EXPECT_EQ(got[i].open, e.open);
      EXPECT_EQ(got[i].readings, e.readings);
      if (std::isnan(e.extreme))
        EXPECT_TRUE(std::isnan(got[i].extreme));
      else
        EXPECT_DOUBLE_EQ(got[i].extreme, e.extreme);
    }
  }
}

// The live table sees one reading at a time; the records see them all. Fed the same readings,
// both find the same kinds starting at the same readings.
TEST(AlarmEvents, LiveEventsAndRecordsAgreeOnKindsAndStarts) {
  const std::vector<Reading> readings = {
      R(0, 20, 0, 50, 0),   R(60, 31, 1, 50, 0),  R(120, 31, 9, 95, 1), R(180, 20, 0, 95, 1, kPowerBattery),
      R(240, 0, 3, 95, 1),  R(300, 20, 0, 10, 2), R(360, -5, 2, 10, 2), R(420, 20, kCodeNotReported, 50, 0),
      R(480, 20, 0, 50, 0),
  };
  std::vector<std::pair<AlarmKind, long long>> live, recorded;
  DeviceEventDetector detector;
  for (const Reading& r : readings) {
    const DeviceStates states[] = {{"d", StateBitsOf(r, false), true}};
    for (const DeviceEvent& e : detector.Feed(states))
      if (e.edge == EventEdge::Start) live.emplace_back(e.kind, r.time);
  }
  for (const Excursion& e : ExcursionsOf(readings)) recorded.emplace_back(e.kind, e.start);
  std::sort(live.begin(), live.end());
  std::sort(recorded.begin(), recorded.end());
  EXPECT_EQ(live, recorded);
  EXPECT_EQ(live.size(), 8u);
}

TEST(AlarmEvents, TallyFindsTheSameMedianAsTheSortedSpacings) {
  const std::vector<std::vector<long long>> series = {{}, {60}, {60, 600}, {600, 60, 7200}, {60, 60, 120, 120, 3600}};
  for (const auto& spacings : series) {
    SpacingTally tally;
    for (long long s : spacings) tally.Add(s);
    EXPECT_EQ(tally.Median(), MedianSpacing(spacings));
    EXPECT_EQ(tally.Threshold(), GapThresholdSeconds(spacings));
  }
}

}  // namespace
