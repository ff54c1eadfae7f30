#include "TickCount.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace platform {
namespace {
std::mutex sourceMutex;
TickSource& Source() {
  static TickSource source;
  return source;
}
}  // namespace

std::uint32_t GetTickCount() {
  {
    std::lock_guard lock(sourceMutex);
    if (Source()) return Source()();
  }
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetTickSource(TickSource source) {
  std::lock_guard lock(sourceMutex);
  Source() = std::move(source);
}

void Sleep(std::uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace platform
