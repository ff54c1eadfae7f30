#include "MonitorThread.h"

#include "DbSession.h"
#include "RefreshLiveTable.h"
#include "TickCount.h"

MonitorActions DatabaseMonitorActions(DeviceLiveTable& table) {
  MonitorActions a;
  a.tickCount = [] { return platform::GetTickCount(); };
  a.tryAcquireBusy = [] { return Db().TryAcquireBusy(); };
  a.releaseBusy = [] { Db().ReleaseBusy(); };
  a.ping = [] { return Db().Ping(); };
  a.reconnect = [] { Db().Reconnect(); };
  a.refresh = [&table] { RefreshLiveTable(table); };
  a.sleep = [](std::uint32_t ms) { platform::Sleep(ms); };
  return a;
}

void MonitorThread::Start(QObject* uiContext, std::function<void()> onRefreshed, MonitorActions actions) {
  if (thread_.joinable() || stopped_) return;
  actions.notifyUi = [this, uiContext, onRefreshed = std::move(onRefreshed)] {
    handoff_.RunAndWait(uiContext, onRefreshed);
  };
  monitorRunning = 1;
  thread_ = std::thread([this, actions = std::move(actions)]() mutable { Run(std::move(actions)); });
}

void MonitorThread::Run(MonitorActions actions) {
  MonitorLoop loop(std::move(actions));
  while (monitorRunning.load() == 1) loop.RunPass();
}

void MonitorThread::Stop() {
  stopped_ = true;
  monitorRunning = 0;
  handoff_.Cancel();
  if (thread_.joinable()) thread_.join();
}
