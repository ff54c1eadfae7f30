#pragma once
// One pass of the monitor thread's loop, separated from the thread so the timing rules can be
// stepped with a fake clock: ping (and reconnect) every 60 s, refresh every 10 s, both at
// once on the first pass, both measured as unsigned differences on the wrapping 32-bit tick
// counter. The loop works on a session of its own, so its steps never wait for anybody.
//
// A failed refresh reconnects and refreshes again at once (a database that failed over to
// another node answers within seconds); while that keeps failing, each further try reconnects
// first and waits 1, 2, 4, 8 s, then the refresh period, between tries. Between refreshes the
// loop looks at its idle connection twice a second: one closed from the other end (a node
// that died behind a proxy) is refreshed, and so reconnected, at once. Once the link is back,
// the next kCatchUpRefreshes refreshes come a second apart.
#include <cstdint>
#include <functional>

struct MonitorActions {
  std::function<std::uint32_t()> tickCount;
  std::function<int()> ping;  // 0 = the server answers
  std::function<void()> reconnect;
  std::function<bool()> refresh;   // true: fresh rows arrived
  std::function<void()> notifyUi;  // returns once the user interface has redrawn (or gave up)
  std::function<void(std::uint32_t)> sleep;
  // The idle connection was closed from the other end; optional.
  std::function<bool()> linkDropped;
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
  static constexpr std::uint32_t kFirstRetryDelayMs = 1000;
  static constexpr std::uint32_t kLinkCheckIntervalMs = 500;
  // Refreshes a second apart after the link came back: a cluster that lost a node takes a few
  // seconds before it takes the collector's writes again, and these show as soon as they land.
  static constexpr int kCatchUpRefreshes = 15;

  explicit MonitorLoop(MonitorActions actions) : actions_(std::move(actions)) {}

  // What one pass did.
  enum class Pass { Idle, Pinged, Refreshed, PingedAndRefreshed };
  Pass RunPass();

  std::uint32_t LastPing() const { return lastPing_; }
  std::uint32_t LastRefresh() const { return lastRefresh_; }

  // The timing rules themselves.
  bool PingDue(std::uint32_t now) const { return !pinged_ || now - lastPing_ > kPingIntervalMs; }
  bool RefreshDue(std::uint32_t now) const {
    return linkDropped_ || lastRefresh_ == 0 || now - lastRefresh_ > RefreshDelayMs();
  }
  // Until the next refresh: the period; after `failedRefreshes` failures in a row the back-off
  // 1, 2, 4, 8 s capped at the period; 1 s while catching up after the link came back.
  std::uint32_t RefreshDelayMs() const;
  int FailedRefreshes() const { return failedRefreshes_; }

 private:
  MonitorActions actions_;
  std::uint32_t lastPing_ = 0;
  std::uint32_t lastRefresh_ = 0;
  int failedRefreshes_ = 0;
  int catchUpRefreshes_ = 0;
  std::uint32_t lastLinkCheck_ = 0;
  bool linkDropped_ = false;
  // The first ping is made at once even when the tick count is still below 60000.
  bool pinged_ = false;
};
