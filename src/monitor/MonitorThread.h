#pragma once
// The background thread that keeps the live table current: every 10 s it re-reads the latest
// readings and has the main frame redraw (waiting until it has), every 60 s it pings the
// database and reconnects when the link is gone. It works on a connection of its own, which
// it opens, re-opens and finally closes itself, so no dialog ever holds it up.
//
// Shutdown: Stop() clears monitorRunning, cancels a redraw the thread may be waiting for (so a
// window that is closing never deadlocks with a thread that waits for that window), breaks off
// a statement the thread is stuck in, and joins the thread (which closes its connection on its
// way out), so the live table is never freed while the thread can still write it.
#include <atomic>
#include <functional>
#include <thread>

#include "LoginState.h"
#include "MonitorLoop.h"
#include "UiHandoff.h"

class DbSession;
class QObject;
struct DeviceLiveTable;

// The loop's actions on `db`, a session of the thread's own (configured, not yet opened: the
// first ping fails and the reconnect opens it on the thread; the thread closes it when it
// ends), and the real clock; notifyUi is filled in by the thread. The session and the table
// must outlive the thread.
MonitorActions DatabaseMonitorActions(DbSession& db, DeviceLiveTable& table, Login login);

class MonitorThread {
 public:
  MonitorThread() = default;
  MonitorThread(const MonitorThread&) = delete;
  MonitorThread& operator=(const MonitorThread&) = delete;
  ~MonitorThread() { Stop(); }

  // Starts the loop once; `onRefreshed` runs on `uiContext`'s thread after every refresh while
  // the monitor thread waits. A thread that was stopped is never restarted.
  void Start(QObject* uiContext, std::function<void()> onRefreshed, MonitorActions actions);
  // Ends the thread; safe to call more than once and from the user-interface thread while the
  // thread waits for it.
  void Stop();

  bool IsStarted() const { return thread_.joinable(); }
  // Test hook: the thread is blocked until the user-interface thread runs the redraw.
  bool IsWaitingForUi() const { return handoff_.IsWaiting(); }

  // 1 while the thread must keep looping.
  std::atomic<int> monitorRunning{0};

 private:
  void Run(MonitorActions actions);

  UiHandoff handoff_;
  std::function<void()> abandon_;
  std::atomic<bool> finished_{false};
  std::thread thread_;
  bool stopped_ = false;
};
