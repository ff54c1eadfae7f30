#include "MonitorLoop.h"

MonitorLoop::Pass MonitorLoop::RunPass() {
  const std::uint32_t now = actions_.tickCount();
  bool pinged = false;
  if (PingDue(now)) {
    if (actions_.ping() != 0) actions_.reconnect();
    lastPing_ = actions_.tickCount();
    pinged_ = true;
    pinged = true;
  }
  bool refreshed = false;
  if (RefreshDue(now)) {
    actions_.refresh();
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
