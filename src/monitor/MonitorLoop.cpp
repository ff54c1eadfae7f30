#include "MonitorLoop.h"

#include <algorithm>

std::uint32_t MonitorLoop::RefreshDelayMs() const {
  if (failedRefreshes_ == 0) return catchUpRefreshes_ > 0 ? kFirstRetryDelayMs : kRefreshIntervalMs;
  const int doublings = std::min(failedRefreshes_ - 1, 4);
  return std::min(kFirstRetryDelayMs << doublings, kRefreshIntervalMs);
}

MonitorLoop::Pass MonitorLoop::RunPass() {
  const std::uint32_t now = actions_.tickCount();
  if (actions_.linkDropped && lastRefresh_ != 0 && failedRefreshes_ == 0 &&
      now - lastLinkCheck_ >= kLinkCheckIntervalMs) {
    lastLinkCheck_ = now;
    linkDropped_ = actions_.linkDropped();
  }
  bool pinged = false;
  if (PingDue(now)) {
    if (actions_.ping() != 0) actions_.reconnect();
    lastPing_ = actions_.tickCount();
    pinged_ = true;
    pinged = true;
  }
  bool refreshed = false;
  if (RefreshDue(now)) {
    bool recovering = failedRefreshes_ > 0 || linkDropped_;
    if (failedRefreshes_ > 0) actions_.reconnect();
    bool fresh = actions_.refresh();
    if (!fresh && failedRefreshes_ == 0) {
      actions_.reconnect();
      recovering = true;
      fresh = actions_.refresh();
    }
    failedRefreshes_ = fresh ? 0 : failedRefreshes_ + 1;
    if (fresh && recovering)
      catchUpRefreshes_ = kCatchUpRefreshes;
    else if (fresh && catchUpRefreshes_ > 0)
      --catchUpRefreshes_;
    linkDropped_ = false;
    actions_.notifyUi();
    // Taken after the redraw, so the next refresh is 10 s after the previous one finished.
    lastRefresh_ = actions_.tickCount();
    refreshed = true;
  }
  actions_.sleep(kPassSleepMs);
  if (pinged && refreshed) return Pass::PingedAndRefreshed;
  if (pinged) return Pass::Pinged;
  return refreshed ? Pass::Refreshed : Pass::Idle;
}
