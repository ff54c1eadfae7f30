#include "ReadingClock.h"

#include <algorithm>

#include "ReadingTime.h"

namespace liveclock {
namespace {

// Older readings than this keep the same mark: the tick counter compares ages up to 2^31 ms.
constexpr std::int64_t kLongestAgeMs = 0x7FFFFFFF;

}  // namespace

std::int64_t CivilSeconds(const platform::LocalTime& time) {
  return readings::CivilSeconds(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

std::uint32_t FirstChangeTick(std::string_view readingTime, std::uint32_t nowTick,
                              std::optional<std::int64_t> localNowSeconds) {
  std::uint32_t tick = nowTick;
  if (localNowSeconds) {
    if (const auto reading = readings::ReadingSeconds(readingTime); reading && *reading < *localNowSeconds) {
      const std::int64_t ageMs = std::min<std::int64_t>((*localNowSeconds - *reading) * 1000, kLongestAgeMs);
      tick = nowTick - static_cast<std::uint32_t>(ageMs);
    }
  }
  return tick != 0 ? tick : 1;
}

}  // namespace liveclock
