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
    // Rows go straight from the stored result into the page's compact store: no copy of a
    // month of rows as texts on the way.
    long long rows = 0;
    const bool ok = Db().SelectEach(sql, DbFetch::Store, [&](const DbRow& row) {
      page.StageHistoryRow(row);
      ++rows;
    });
    page.PublishRows();
    if (!ok) return outcome;
    outcome.rowCount += rows;
    if (deviceDone) deviceDone(static_cast<int>(i + 1));
  }
  outcome.ok = true;
  return outcome;
}
