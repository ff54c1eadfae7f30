#pragma once
// Statements of the history table and curve queries, and the day bounds they compare
// `datetime` against. A range runs from its first day's "YYYY-MM-DD 00:00:00" up to, but not
// including, the day after its last day at "00:00:00", zero-padded. That bound selects the
// same rows whether the collector made `datetime` a text or a DATETIME column: a DATETIME
// column rejects "24:00:00" as an invalid value and would select nothing.
#include <QDate>
#include <string>
#include <string_view>

#include "SqlFormat.h"

namespace history {

// A filter value of 0, 1 or 2 selects that alarm code; anything else selects every code.
inline constexpr int kFilterAny = 3;
int NormalisedFilter(int filter);

// "YYYY-MM-DD 00:00:00" of `day`, and of the day after it (the exclusive end of `day`).
std::string DayStartText(const QDate& day);
std::string DayEndText(const QDate& day);

// One device's readings in [start, end), with the alarm conditions the filters ask for.
std::string TableQueryStatement(const SqlEscaper& escape, std::string_view deviceId, std::string_view start,
                                std::string_view end, int temperatureFilter, int humidityFilter);

// The same rows in time order (the alarm records).
std::string OrderedTableQueryStatement(const SqlEscaper& escape, std::string_view deviceId, std::string_view start,
                                       std::string_view end, int temperatureFilter, int humidityFilter);

// One device's readings of one channel (0 temperature, 1 humidity, 2 internal temperature,
// 3 voltage; others as 0) in [start, end), ordered by time.
std::string CurveStatement(const SqlEscaper& escape, int channel, std::string_view deviceId, std::string_view start,
                           std::string_view end);

}  // namespace history
