#pragma once
// Monitor actions without a database, for tests of the monitor thread and its owners: the
// clock jumps 11 s per reading, so every pass is due for a refresh at once. Header-only: only
// tests that link the live library include it.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "MonitorLoop.h"
#include "TickCount.h"

inline MonitorActions FakeMonitorActions(std::atomic<int>& refreshes, std::uint32_t firstTick) {
  auto tick = std::make_shared<std::atomic<std::uint32_t>>(firstTick);
  MonitorActions a;
  a.tickCount = [tick] { return tick->fetch_add(11000); };
  a.ping = [] { return 0; };
  a.reconnect = [] {};
  a.refresh = [&refreshes] {
    ++refreshes;
    return true;
  };
  a.sleep = [](std::uint32_t) { std::this_thread::yield(); };
  return a;
}

// A monitor clock that runs `factor` times faster than the tick count from now on, so the real
// loop refreshes every 10 s / factor and pings every 60 s / factor.
inline std::function<std::uint32_t()> AcceleratedMonitorClock(std::uint32_t factor) {
  const std::uint32_t start = platform::GetTickCount();
  return [start, factor] { return start + (platform::GetTickCount() - start) * factor; };
}
