#include "HistoryTableQuery.h"

#include "CHistoryTablePage.h"
#include "DbSession.h"
#include "HistoryStatements.h"

HistoryTableQueryOutcome QueryHistoryIntoPage(CHistoryTablePage& page, const std::vector<std::string>& deviceIds,
                                              const QDate& from, const QDate& to, int temperatureFilter,
                                              int humidityFilter, const std::function<void(int)>& deviceDone) {
  HistoryTableQueryOutcome outcome;
  const std::string start = history::DayStartText(from);
  const std::string end = history::DayEndText(to);
  const int temperature = history::NormalisedFilter(temperatureFilter);
  const int humidity = history::NormalisedFilter(humidityFilter);
  const auto escape = [](std::string_view t) { return Db().Escape(t); };
  // A long range of many devices may take a while; the window shows progress meanwhile.
  DbSession::ReadTimeoutScope patient(DbSession::kLongReadTimeoutSeconds);
  for (std::size_t i = 0; i < deviceIds.size(); ++i) {
    const std::string sql = history::TableQueryStatement(escape, deviceIds[i], start, end, temperature, humidity);
    const DbResult result = Db().Select(sql, DbFetch::Store);
    if (!result.ok) return outcome;
    page.AppendHistoryRows(result.rows);
    outcome.rowCount += static_cast<long long>(result.rows.size());
    if (deviceDone) deviceDone(static_cast<int>(i + 1));
  }
  outcome.ok = true;
  return outcome;
}
