#include "ReadingTime.h"

#include <cstdio>

namespace readings {
namespace {

constexpr long long kSecondsPerDay = 86400;
constexpr const char* kReadingTimeFormat = "%04d-%02d-%02d %02d:%02d:%02d";

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Every reading of a query passes here: digits by hand, no sscanf.
bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

}  // namespace

long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

long long CivilSeconds(int year, int month, int day, int hour, int minute, int second) {
  return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * kSecondsPerDay +
         hour * 3600LL + minute * 60LL + second;
}

std::optional<long long> ReadingSeconds(std::string_view t) {
  if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':') return std::nullopt;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (!Digits(t, 0, 4, y) || !Digits(t, 5, 2, mo) || !Digits(t, 8, 2, d) || !Digits(t, 11, 2, h) ||
      !Digits(t, 14, 2, mi) || !Digits(t, 17, 2, s))
    return std::nullopt;
  if (mo < 1 || mo > 12 || d < 1 || d > DaysInMonth(y, mo) || h > 23 || mi > 59 || s > 59) return std::nullopt;
  return CivilSeconds(y, mo, d, h, mi, s);
}

std::string ReadingTimeText(long long seconds) {
  long long days = seconds / kSecondsPerDay, rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  int y = 0, m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  char text[32];
  std::snprintf(text, sizeof text, kReadingTimeFormat, y, m, d, static_cast<int>(rest / 3600),
                static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  return text;
}

}  // namespace readings
