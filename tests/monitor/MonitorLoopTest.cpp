// The monitor loop's timing rules, stepped with a fake clock: first ping and refresh at
// once, refresh every 10 s and ping every 60 s across the 32-bit wrap-around, reconnect after a
// failed ping.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MonitorLoop.h"

namespace {

struct FakeStation {
  std::uint32_t tick = 0;
  int pingResult = 0;
  std::uint32_t stepCostMs = 0;      // clock advance of a refresh (and of the redraw)
  std::vector<bool> refreshResults;  // cycled through; empty: every refresh succeeds
  std::size_t refreshCalls = 0;
  std::vector<std::string> log;

  MonitorActions Actions() {
    MonitorActions a;
    a.tickCount = [this] { return tick; };
    a.ping = [this] {
      log.push_back("ping");
      return pingResult;
    };
    a.reconnect = [this] { log.push_back("reconnect"); };
    a.refresh = [this] {
      log.push_back("refresh");
      tick += stepCostMs;
      const std::size_t call = refreshCalls++;
      return refreshResults.empty() || refreshResults[call % refreshResults.size()];
    };
    a.notifyUi = [this] {
      log.push_back("notify");
      tick += stepCostMs;
    };
    a.sleep = [this](std::uint32_t ms) {
      log.push_back("sleep" + std::to_string(ms));
      tick += ms;
    };
    return a;
  }
  int Count(const std::string& what) const { return static_cast<int>(std::count(log.begin(), log.end(), what)); }
};

using Pass = MonitorLoop::Pass;

TEST(MonitorLoop, FirstPassPingsAndRefreshesAtOnceEvenRightAfterBoot) {
  FakeStation station;
  station.tick = 1234;  // well below the 60 s ping interval
  MonitorLoop loop(station.Actions());
  EXPECT_EQ(loop.RunPass(), Pass::PingedAndRefreshed);
  EXPECT_EQ(station.log, (std::vector<std::string>{"ping", "refresh", "notify", "sleep10"}));
}

TEST(MonitorLoop, RefreshEveryTenSecondsPingEverySixty) {
  FakeStation station;
  station.tick = 100000;
  MonitorLoop loop(station.Actions());
  while (station.tick < 100000 + 125000) loop.RunPass();
  // Both "more than" the interval: refreshes at 0, 10.01, 20.02 ... s; pings at 0, 60.01, 120.02 s.
  EXPECT_EQ(station.Count("ping"), 3);
  EXPECT_EQ(station.Count("refresh"), 13);
  EXPECT_EQ(station.Count("notify"), 13);
  EXPECT_EQ(station.Count("reconnect"), 0);
}

TEST(MonitorLoop, LastRefreshIsTakenAfterTheRedrawReturns) {
  FakeStation station;
  station.tick = 50000;
  station.stepCostMs = 700;
  MonitorLoop loop(station.Actions());
  loop.RunPass();
  EXPECT_EQ(loop.LastRefresh(), 50000u + 1400u);
  EXPECT_FALSE(loop.RefreshDue(50000 + 1400 + 10000));
  EXPECT_TRUE(loop.RefreshDue(50000 + 1400 + 10001));
}

TEST(MonitorLoop, FailedPingReconnects) {
  FakeStation station;
  station.tick = 70000;
  station.pingResult = 1;
  MonitorLoop loop(station.Actions());
  loop.RunPass();
  EXPECT_EQ(station.log, (std::vector<std::string>{"ping", "reconnect", "refresh", "notify", "sleep10"}));
}

TEST(MonitorLoop, TimersKeepRunningAcrossTheTickWrapAround) {
  FakeStation station;
  station.tick = 0xFFFFFFFFu - 30000;  // about 30 s before the counter wraps
  MonitorLoop loop(station.Actions());
  std::uint64_t elapsed = 0;
  std::uint32_t previous = station.tick;
  while (elapsed < 130000) {
    loop.RunPass();
    elapsed += static_cast<std::uint32_t>(station.tick - previous);
    previous = station.tick;
  }
  EXPECT_LT(station.tick, 0x00100000u) << "the clock did wrap";
  EXPECT_EQ(station.Count("ping"), 3);
  EXPECT_EQ(station.Count("refresh"), 13);
}

// A failed refresh reconnects and tries again at once; then each try reconnects first and the
// waits grow 1, 2, 4, 8 s up to the period, and fall back to it after a success.
TEST(MonitorLoop, FailedRefreshReconnectsAtOnceThenBacksOff) {
  FakeStation station;
  station.tick = 100000;
  MonitorLoop loop(station.Actions());
  loop.RunPass();  // connected and refreshed
  station.refreshResults = {false};
  std::vector<std::uint32_t> tries;
  std::vector<std::size_t> refreshesPerTry;
  const int reconnectsBefore = station.Count("reconnect");
  while (station.tick < 100000 + 50000) {
    const std::size_t before = station.refreshCalls;
    loop.RunPass();
    if (station.refreshCalls == before) continue;
    tries.push_back(station.tick);
    refreshesPerTry.push_back(station.refreshCalls - before);
  }
  ASSERT_GE(tries.size(), 6u);
  EXPECT_EQ(refreshesPerTry[0], 2u) << "the first failure is tried again at once";
  EXPECT_EQ(refreshesPerTry[1], 1u);
  std::vector<std::uint32_t> waits;
  for (std::size_t i = 1; i < 6; ++i) waits.push_back((tries[i] - tries[i - 1] + 500) / 1000);
  EXPECT_EQ(waits, (std::vector<std::uint32_t>{1, 2, 4, 8, 10}));
  EXPECT_EQ(station.Count("reconnect") - reconnectsBefore, static_cast<int>(tries.size()));
  // Back: a second apart for a while, to show what the collector writes as soon as it can.
  station.refreshResults = {};
  for (int i = 0; i <= MonitorLoop::kCatchUpRefreshes; ++i) {
    EXPECT_EQ(loop.RefreshDelayMs(), i == 0 ? 10000u : 1000u) << i;
    const std::size_t before = station.refreshCalls;
    while (station.refreshCalls == before) loop.RunPass();
    EXPECT_EQ(loop.FailedRefreshes(), 0);
  }
  EXPECT_EQ(loop.RefreshDelayMs(), MonitorLoop::kRefreshIntervalMs);
}

// An idle connection closed from the other end is refreshed (and so reconnected) within half a
// second, not at the end of the period; a sound one is looked at twice a second and left alone.
TEST(MonitorLoop, AConnectionClosedBetweenRefreshesIsRefreshedAtOnce) {
  FakeStation station;
  station.tick = 100000;
  int looks = 0;
  bool dropped = false;
  MonitorActions actions = station.Actions();
  actions.linkDropped = [&] {
    ++looks;
    return dropped;
  };
  MonitorLoop loop(std::move(actions));
  loop.RunPass();
  while (station.tick < 103000) loop.RunPass();
  EXPECT_EQ(station.Count("refresh"), 1);
  EXPECT_GE(looks, 5);
  dropped = true;
  const std::uint32_t droppedAt = station.tick;
  while (station.Count("refresh") == 1) loop.RunPass();
  EXPECT_LE(station.tick - droppedAt, MonitorLoop::kLinkCheckIntervalMs + 20);
  dropped = false;
  EXPECT_EQ(loop.RefreshDelayMs(), MonitorLoop::kFirstRetryDelayMs) << "catching up";
}

}  // namespace
