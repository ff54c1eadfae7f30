#include "ReadingClock.h"

#include <algorithm>
#include <charconv>

namespace liveclock {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  for (std::size_t i = at; i < at + count; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  std::from_chars(text.data() + at, text.data() + at + count, value);
  return true;
}

std::int64_t Seconds(int y, int mo, int d, int h, int mi, int s) {
  return DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 + h * 3600 + mi * 60 + s;
}

// Older readings than this keep the same mark: the tick counter compares ages up to 2^31 ms.
constexpr std::int64_t kLongestAgeMs = 0x7FFFFFFF;

}  // namespace

std::optional<std::int64_t> CivilSeconds(std::string_view t) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':') return std::nullopt;
  if (!Digits(t, 0, 4, y) || !Digits(t, 5, 2, mo) || !Digits(t, 8, 2, d) || !Digits(t, 11, 2, h) ||
      !Digits(t, 14, 2, mi) || !Digits(t, 17, 2, s))
    return std::nullopt;
  if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || s > 59) return std::nullopt;
  return Seconds(y, mo, d, h, mi, s);
}

std::int64_t CivilSeconds(const platform::LocalTime& time) {
  return Seconds(time.year, time.month, time.day, time.hour, time.minute, time.second);
}

std::uint32_t FirstChangeTick(std::string_view readingTime, std::uint32_t nowTick,
                              std::optional<std::int64_t> localNowSeconds) {
  std::uint32_t tick = nowTick;
  if (localNowSeconds) {
    if (const std::optional<std::int64_t> reading = CivilSeconds(readingTime); reading && *reading < *localNowSeconds) {
      const std::int64_t ageMs = std::min((*localNowSeconds - *reading) * 1000, kLongestAgeMs);
      tick = nowTick - static_cast<std::uint32_t>(ageMs);
    }
  }
  return tick != 0 ? tick : 1;
}

}  // namespace liveclock
