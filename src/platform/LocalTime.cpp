#include "LocalTime.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace platform {
namespace {
std::mutex sourceMutex;
std::function<LocalTime()>& Source() {
  static std::function<LocalTime()> source;
  return source;
}
}  // namespace

LocalTime GetLocalTime() {
  {
    std::lock_guard lock(sourceMutex);
    if (Source()) return Source()();
  }
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&seconds, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.milliseconds =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  t.dayOfWeek = tm.tm_wday;
  return t;
}

void SetLocalTimeSource(std::function<LocalTime()> source) {
  std::lock_guard lock(sourceMutex);
  Source() = std::move(source);
}

}  // namespace platform
