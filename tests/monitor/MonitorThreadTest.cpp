// The monitor thread against a real user-interface thread: the redraw runs on the UI thread
// while the monitor thread waits, and stopping never deadlocks with a thread that is waiting
// for a window that is busy closing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <QTest>
#include <atomic>
#include <thread>

#include "FakeMonitorActions.h"
#include "MonitorThread.h"

namespace {

// The clock wraps during the test.
MonitorActions FastActions(std::atomic<int>& refreshes) { return FakeMonitorActions(refreshes, 0xFFFF0000u); }

TEST(MonitorThread, RedrawRunsOnTheUiThreadWhileTheMonitorWaits) {
  QObject window;
  std::atomic<int> refreshes{0};
  int redraws = 0;
  bool onUiThread = true;
  MonitorThread monitor;
  monitor.Start(
      &window,
      [&] {
        ++redraws;
        onUiThread = onUiThread && QThread::currentThread() == window.thread();
        // The monitor thread is blocked meanwhile: it cannot have started another refresh.
        EXPECT_EQ(refreshes.load(), redraws);
      },
      FastActions(refreshes));
  EXPECT_EQ(monitor.monitorRunning.load(), 1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return redraws >= 3; }));
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
  monitor.Start(
      &window, [&] { ++redraws; }, FastActions(refreshes));
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
  monitor.Start(
      &window, [] {}, FastActions(refreshes));
  EXPECT_FALSE(monitor.IsStarted());
  monitor.Stop();
}

TEST(MonitorThread, DestroyingTheOwnerEndsAThreadThatWaitsForIt) {
  std::atomic<int> refreshes{0};
  {
    QObject window;
    MonitorThread monitor;
    monitor.Start(
        &window, [] {}, FastActions(refreshes));
    while (!monitor.IsWaitingForUi()) std::this_thread::yield();
  }  // ~MonitorThread stops and joins
  SUCCEED();
}

}  // namespace
