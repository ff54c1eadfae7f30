#pragma once
// Statements of the history table and curve queries, and the day bounds they compare
// `datetime` against. `datetime` is text, so the bounds are text too: a day runs from
// "YYYY-MM-DD 00:00:00" to "YYYY-MM-DD 24:00:00", which as text lies after every reading of
// that day and before the next day's first.
#include <QDate>
#include <string>
#include <string_view>

#include "SqlFormat.h"

namespace history {

// A filter value of 0, 1 or 2 selects that alarm code; anything else selects every code.
inline constexpr int kFilterAny = 3;
int NormalisedFilter(int filter);

std::string DayStartText(const QDate& day);
std::string DayEndText(const QDate& day);

// One device's readings in [start, end], with the alarm conditions the filters ask for.
std::string TableQueryStatement(const SqlEscaper& escape, std::string_view deviceId, std::string_view start,
                                std::string_view end, int temperatureFilter, int humidityFilter);

// One device's readings of one channel (0 temperature, 1 humidity, 2 internal temperature,
// 3 voltage; others as 0) in [start, end], ordered by time.
std::string CurveStatement(const SqlEscaper& escape, int channel, std::string_view deviceId, std::string_view start,
                           std::string_view end);

}  // namespace history
