#include "UiHandoff.h"

bool UiHandoff::RunAndWait(QObject* context, std::function<void()> handler) {
  std::shared_ptr<State> state = state_;
  std::uint64_t ticket = 0;
  {
    std::lock_guard lock(state->mutex);
    if (state->cancelled) return false;
    ticket = ++state->posted;
  }
  // The queued call holds its own reference to the state: it may run after this object is
  // gone (it then only sees the cancellation).
  QMetaObject::invokeMethod(
      context,
      [state, ticket, handler = std::move(handler)] {
        {
          std::lock_guard lock(state->mutex);
          if (state->cancelled) return;
        }
        handler();
        std::lock_guard lock(state->mutex);
        state->handled = ticket;
        state->handledChanged.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(state->mutex);
  state->waiting = true;
  state->handledChanged.wait(lock, [&] { return state->cancelled || state->handled >= ticket; });
  state->waiting = false;
  return state->handled >= ticket;
}

void UiHandoff::Cancel() {
  std::lock_guard lock(state_->mutex);
  state_->cancelled = true;
  state_->handledChanged.notify_all();
}

bool UiHandoff::IsWaiting() const {
  std::lock_guard lock(state_->mutex);
  return state_->waiting;
}
