#pragma once
// Runs a function on the user-interface thread and waits for it, like a synchronous window
// message, but the wait can be cancelled: a window that is closing cancels it instead of
// waiting for a thread that waits for the window.
#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class UiHandoff {
 public:
  // Queues `handler` to `context`'s thread and blocks until it has run or Cancel() was called.
  // Returns true when the handler ran. After Cancel() nothing is queued any more and a handler
  // still in the queue is skipped.
  bool RunAndWait(QObject* context, std::function<void()> handler);
  void Cancel();
  // True while a caller is blocked in RunAndWait.
  bool IsWaiting() const;

 private:
  struct State {
    mutable std::mutex mutex;
    std::condition_variable handledChanged;
    bool cancelled = false;
    bool waiting = false;
    std::uint64_t posted = 0;
    std::uint64_t handled = 0;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};
