#include "MonitorThread.h"

#include <chrono>

#include "DbSession.h"
#include "RefreshLiveTable.h"
#include "TickCount.h"

namespace {
constexpr auto kStopPollInterval = std::chrono::milliseconds(20);
}

MonitorActions DatabaseMonitorActions(DbSession& db, DeviceLiveTable& table, Login login) {
  MonitorActions a;
  a.tickCount = [] { return platform::GetTickCount(); };
  // The session is the loop's own. Never opened before, its first ping fails and the reconnect
  // opens it, on the thread.
  a.ping = [&db] { return db.Ping(); };
  a.reconnect = [&db] { db.ConnectDatabase(); };
  a.refresh = [&db, &table, login = std::move(login)] { return RefreshLiveTable(db, table, login); };
  a.sleep = [](std::uint32_t ms) { platform::Sleep(ms); };
  a.linkDropped = [&db] { return db.IdleLinkClosed(); };
  a.abandon = [&db] { db.AbandonStatement(); };
  a.finish = [&db] { db.Close(); };
  return a;
}

void MonitorThread::Start(QObject* uiContext, std::function<void()> onRefreshed, MonitorActions actions) {
  if (thread_.joinable() || stopped_) return;
  actions.notifyUi = [this, uiContext, onRefreshed = std::move(onRefreshed)] {
    handoff_.RunAndWait(uiContext, onRefreshed);
  };
  // A thread that is being stopped does not start a reconnect the close would wait for.
  if (actions.reconnect)
    actions.reconnect = [this, reconnect = std::move(actions.reconnect)] {
      if (monitorRunning.load() == 1) reconnect();
    };
  abandon_ = actions.abandon;
  monitorRunning = 1;
  finished_ = false;
  thread_ = std::thread([this, actions = std::move(actions)]() mutable { Run(std::move(actions)); });
}

void MonitorThread::Run(MonitorActions actions) {
  // Nobody waits for this thread's statements but itself: the long read time-out applies.
  DbSession::ReadTimeoutScope patient(DbSession::kLongReadTimeoutSeconds);
  const std::function<void()> finish = std::move(actions.finish);
  MonitorLoop loop(std::move(actions));
  while (monitorRunning.load() == 1) loop.RunPass();
  if (finish) finish();
  finished_ = true;
}

void MonitorThread::Stop() {
  stopped_ = true;
  monitorRunning = 0;
  handoff_.Cancel();
  // A statement stuck on a locked table or a hung server would hold the join for its whole
  // read time-out: break it off, again if the thread started another one meanwhile. A
  // connect in progress ends within its own short time-out.
  while (thread_.joinable() && !finished_.load()) {
    if (abandon_) abandon_();
    std::this_thread::sleep_for(kStopPollInterval);
  }
  if (thread_.joinable()) thread_.join();
}
