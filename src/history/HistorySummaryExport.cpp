#include "HistorySummaryExport.h"

#include "Catalogue.h"
#include "DbSession.h"
#include "HistoryCells.h"
#include "HistoryStatements.h"
#include "TableFileWriter.h"

namespace history {
namespace {

QStringList Titles() {
  QStringList titles;
  for (const char* title : kSummaryColumnTitles) titles << QString::fromUtf8(title);
  return titles;
}

}  // namespace

bool SummariseQuery(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                    int temperatureFilter, int humidityFilter, std::vector<DeviceSummary>& summaries) {
  const std::string start = DayStartText(from), end = DayEndText(to);
  const auto escape = [&db](std::string_view t) { return db.Escape(t); };
  for (const std::string& id : deviceIds) {
    DeviceSummary summary;
    summary.deviceId = id;
    std::vector<StatReading> readings;
    const std::string sql = TableQueryStatement(escape, id, start, end, temperatureFilter, humidityFilter);
    const bool ok = db.SelectEach(sql, [&](const DbRow& row) {
      if (row.size() < kHistoryQueryColumnCount) return;
      if (summary.deviceName.empty()) summary.deviceName = row[kColDeviceName];
      readings.push_back(
          StatReadingOf(row[kColDatetime], row[kColTempe], row[kColTempeAlarm], row[kColHum], row[kColHumAlarm]));
    });
    if (!ok || db.LastErrorNumber() != 0) return false;
    if (readings.empty()) {
      // No reading carries the name: the catalogue knows it.
      const DbResult device = catalogue::Device(db, id);
      if (!device.ok) return false;
      if (!device.rows.empty() && device.rows[0].size() > 1) summary.deviceName = device.rows[0][1];
    }
    summary.stats = ComputeDeviceStats(std::move(readings));
    summaries.push_back(std::move(summary));
  }
  return true;
}

SummaryFileOutcome WriteSummaryFile(const std::vector<DeviceSummary>& summaries, TextEncoding encoding,
                                    const std::string& fileName) {
  SummaryFileOutcome outcome;
  // Counts, figures and durations (seconds) are number cells in a workbook, so that they can be
  // summed and charted; names, times and "--" are text.
  tables::TableFileWriter file(fileName, tables::FormatForName(fileName, tables::TableFormat::kTabText), encoding);
  if (file.Begin(Titles())) {
    for (const DeviceSummary& summary : summaries) {
      std::vector<tables::TableCell> cells;
      for (SummaryField& field : SummaryFields(summary)) cells.push_back({std::move(field.text), field.number});
      file.Add(cells);
    }
    outcome.ok = file.Finish();
  }
  if (!outcome.ok) outcome.error = "cannot write " + fileName + (file.Error().empty() ? "" : ": " + file.Error());
  return outcome;
}

}  // namespace history
