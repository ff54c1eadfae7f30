#pragma once
// Reading times against the station's own clock. A record filled at start-up with a reading
// that is already old must not pass for a live device until the time-out has run again, so
// its first changeTick is set back by the reading's age.
#include <cstdint>
#include <optional>
#include <string_view>

#include "LocalTime.h"

namespace liveclock {

// The local clock on the scale of reading times (readings::ReadingSeconds).
std::int64_t CivilSeconds(const platform::LocalTime& time);

// The changeTick of a freshly filled record: the refresh's tick, set back by the reading's age
// when the reading time parses and lies in the past of `localNowSeconds`. Never 0 ("never").
std::uint32_t FirstChangeTick(std::string_view readingTime, std::uint32_t nowTick,
                              std::optional<std::int64_t> localNowSeconds);

}  // namespace liveclock
