#pragma once
// Local wall-clock time, broken down, with a seam for tests (file names and "today").
#include <functional>

namespace platform {

struct LocalTime {
  int year = 1970, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
  int dayOfWeek = 4;  // 0 = Sunday
};

LocalTime GetLocalTime();
// Installs a fixed or scripted clock; an empty function restores the system clock.
void SetLocalTimeSource(std::function<LocalTime()> source);

}  // namespace platform
