#pragma once
// Reading times: the collector writes "YYYY-MM-DD hh:mm:ss" (local time, as text). One parser
// for the live table's clock, the history's statistics, curves and alarm records, and the
// acknowledgements, on one continuous scale of seconds (1970-01-01 00:00:00 is 0; no time zone,
// no leap seconds), so that two readings compare and subtract the same everywhere.
#include <optional>
#include <string>
#include <string_view>

namespace readings {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long long DaysFromCivil(long long year, unsigned month, unsigned day);
long long CivilSeconds(int year, int month, int day, int hour, int minute, int second);

// The seconds of exactly "YYYY-MM-DD hh:mm:ss" naming a real date and time; nullopt for any
// other text (a date alone, a 'T', a trailing blank, 2023-02-29, 24:00:00).
std::optional<long long> ReadingSeconds(std::string_view text);
// Back to "YYYY-MM-DD hh:mm:ss".
std::string ReadingTimeText(long long seconds);

}  // namespace readings
