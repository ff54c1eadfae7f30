// The monitor thread against a real user-interface thread: the redraw runs on the UI thread
// while the monitor thread waits, and stopping never deadlocks with a thread that is waiting
// for a window that is busy closing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <atomic>
#include <thread>

#include "MonitorThread.h"

namespace {

// A clock that advances 11 s per reading, so every pass is due for a refresh at once.
MonitorActions FastActions(std::atomic<int>& refreshes) {
  auto tick = std::make_shared<std::atomic<std::uint32_t>>(0xFFFF0000u);  // wraps during the test
  MonitorActions a;
  a.tickCount = [tick] { return tick->fetch_add(11000); };
  a.tryAcquireBusy = [] { return true; };
  a.releaseBusy = [] {};
  a.ping = [] { return 0; };
  a.reconnect = [] {};
  a.refresh = [&refreshes] { ++refreshes; };
  a.sleep = [](std::uint32_t) { std::this_thread::yield(); };
  return a;
}

TEST(MonitorThread, RedrawRunsOnTheUiThreadWhileTheMonitorWaits) {
  QObject window;
  std::atomic<int> refreshes{0};
  int redraws = 0;
  bool onUiThread = true;
  MonitorThread monitor;
  monitor.Start(&window, [&] {
    ++redraws;
    onUiThread = onUiThread && QThread::currentThread() == window.thread();
    // The monitor thread is blocked meanwhile: it cannot have started another refresh.
    EXPECT_EQ(refreshes.load(), redraws);
  }, FastActions(refreshes));
  EXPECT_EQ(monitor.monitorRunning.load(), 1);
  QTRY_VERIFY(redraws >= 3);
  monitor.Stop();
  EXPECT_TRUE(onUiThread);
  EXPECT_EQ(monitor.monitorRunning.load(), 0);
  EXPECT_FALSE(monitor.IsStarted());
}

TEST(MonitorThread, StopWhileTheThreadWaitsForTheWindowDoesNotDeadlock) {
  QObject window;
  std::atomic<int> refreshes{0};
  int redraws = 0;
  MonitorThread monitor;
  monitor.Start(&window, [&] { ++redraws; }, FastActions(refreshes));
  // Without event processing the thread soon blocks in its redraw request.
  while (!monitor.IsWaitingForUi()) std::this_thread::yield();
  monitor.Stop();  // must return although the UI thread never served the request
  EXPECT_FALSE(monitor.IsStarted());
  // The request left in the queue is dropped, not run after shutdown.
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(redraws, 0);
}

TEST(MonitorThread, StoppedThreadIsNeverRestartedAndStopIsRepeatable) {
  QObject window;
  std::atomic<int> refreshes{0};
  MonitorThread monitor;
  monitor.Stop();
  monitor.Start(&window, [] {}, FastActions(refreshes));
  EXPECT_FALSE(monitor.IsStarted());
  monitor.Stop();
}

TEST(MonitorThread, DestroyingTheOwnerEndsAThreadThatWaitsForIt) {
  std::atomic<int> refreshes{0};
  {
    QObject window;
    MonitorThread monitor;
    monitor.Start(&window, [] {}, FastActions(refreshes));
    while (!monitor.IsWaitingForUi()) std::this_thread::yield();
  }  // ~MonitorThread stops and joins
  SUCCEED();
}

}  // namespace
