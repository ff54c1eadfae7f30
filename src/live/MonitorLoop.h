#pragma once
// One pass of the monitor thread's loop, separated from the thread so the timing rules can be
// stepped with a fake clock: ping (and reconnect) every 60 s, refresh every 10 s, both at
// once on the first pass, both measured as unsigned differences on the wrapping 32-bit tick
// counter. The loop works on a session of its own, so its steps never wait for anybody.
#include <cstdint>
#include <functional>

struct MonitorActions {
  std::function<std::uint32_t()> tickCount;
  std::function<int()> ping;  // 0 = the server answers
  std::function<void()> reconnect;
  std::function<void()> refresh;
  std::function<void()> notifyUi;  // returns once the user interface has redrawn (or gave up)
  std::function<void(std::uint32_t)> sleep;
  // Breaks off a statement the loop is stuck in (from another thread, at shutdown); optional.
  std::function<void()> abandon;
  // Runs on the thread once the loop has ended (closes the thread's own connection); optional.
  std::function<void()> finish;
};

class MonitorLoop {
 public:
  static constexpr std::uint32_t kPingIntervalMs = 60000;
  static constexpr std::uint32_t kRefreshIntervalMs = 10000;
  static constexpr std::uint32_t kPassSleepMs = 10;

  explicit MonitorLoop(MonitorActions actions) : actions_(std::move(actions)) {}

  // What one pass did.
  enum class Pass { Idle, Pinged, Refreshed, PingedAndRefreshed };
  Pass RunPass();

  std::uint32_t LastPing() const { return lastPing_; }
  std::uint32_t LastRefresh() const { return lastRefresh_; }

  // The timing rules themselves.
  bool PingDue(std::uint32_t now) const { return !pinged_ || now - lastPing_ > kPingIntervalMs; }
  bool RefreshDue(std::uint32_t now) const { return lastRefresh_ == 0 || now - lastRefresh_ > kRefreshIntervalMs; }

 private:
  MonitorActions actions_;
  std::uint32_t lastPing_ = 0;
  std::uint32_t lastRefresh_ = 0;
  // The first ping is made at once even when the tick count is still below 60000.
  bool pinged_ = false;
};
