#include "HistoryTableQuery.h"

#include "HistoryRowModel.h"
#include "HistoryStatements.h"

HistoryTableQueryOutcome QueryHistoryRows(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from,
                                          const QDate& to, int temperatureFilter, int humidityFilter,
                                          const std::function<void(const DbRow&)>& onRow,
                                          const std::function<void(int)>& deviceDone) {
  HistoryTableQueryOutcome outcome;
  const std::string start = history::DayStartText(from);
  const std::string end = history::DayEndText(to);
  const int temperature = history::NormalisedFilter(temperatureFilter);
  const int humidity = history::NormalisedFilter(humidityFilter);
  const auto escape = [&db](std::string_view t) { return db.Escape(t); };
  // A long range of many devices may take a while; the window shows progress meanwhile.
  DbSession::ReadTimeoutScope patient(DbSession::kLongReadTimeoutSeconds);
  for (std::size_t i = 0; i < deviceIds.size(); ++i) {
    const std::string sql = history::TableQueryStatement(escape, deviceIds[i], start, end, temperature, humidity);
    long long rows = 0;
    const bool ok = db.SelectEach(sql, [&](const DbRow& row) {
      onRow(row);
      ++rows;
    });
    if (!ok) return outcome;
    outcome.rowCount += rows;
    if (deviceDone) deviceDone(static_cast<int>(i + 1));
  }
  outcome.ok = true;
  return outcome;
}

HistoryTableQueryOutcome QueryHistoryIntoRows(DbSession& db, history::HistoryRowModel& rows,
                                              const std::vector<std::string>& deviceIds, const QDate& from,
                                              const QDate& to, int temperatureFilter, int humidityFilter,
                                              const std::function<void(int)>& deviceDone) {
  // Rows go straight from the server into the compact store: no copy of a month of
  // rows as texts on the way.
  const HistoryTableQueryOutcome outcome = QueryHistoryRows(
      db, deviceIds, from, to, temperatureFilter, humidityFilter, [&rows](const DbRow& row) { rows.Stage(row); },
      [&](int done) {
        rows.Publish();
        if (deviceDone) deviceDone(done);
      });
  rows.Publish();
  return outcome;
}
