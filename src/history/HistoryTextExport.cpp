#include "HistoryTextExport.h"

#include "AlarmRecords.h"
#include "HistorySummaryExport.h"
#include "ReportColumns.h"

namespace history {
namespace {
constexpr const char* kCsvFormat = "csv";
constexpr const char* kSummaryFormat = "summary";
constexpr const char* kEventsFormat = "events";
}  // namespace

bool IsTextExportFormat(const std::string& format) {
  return format == kCsvFormat || format == kSummaryFormat || format == kEventsFormat;
}

TextExportOutcome RunTextExport(DbSession& db, const TextExportRequest& r) {
  TextExportOutcome outcome;
  const bool csv = r.format == kCsvFormat;
  const bool events = r.format == kEventsFormat;
  outcome.fileName = !r.output.empty() ? r.output : ReportFileName(csv || events ? ".csv" : ".tsv");
  if (events) {
    std::vector<AlarmRecord> records;
    if (!QueryAlarmRecords(db, r.deviceIds, r.from, r.to, r.temperatureFilter, r.humidityFilter, records)) {
      outcome.message = "历史数据查询失败";
      return outcome;
    }
    outcome.rowCount = static_cast<long long>(records.size());
    std::string error;
    outcome.ok = WriteAlarmRecordFile(records, r.encoding, outcome.fileName, error);
    if (!outcome.ok) outcome.message = "导出失败: " + outcome.fileName + (error.empty() ? "" : " (" + error + ")");
    return outcome;
  }
  if (csv) {
    const CsvOutcome written = WriteHistoryCsv(db, r.deviceIds, r.from, r.to, r.temperatureFilter, r.humidityFilter,
                                               r.encoding, outcome.fileName);
    outcome.ok = written.ok;
    outcome.rowCount = written.rowCount;
    if (!written.ok) outcome.message = "导出失败: " + outcome.fileName + " (" + written.error + ")";
    return outcome;
  }
  std::vector<DeviceSummary> summaries;
  if (!SummariseQuery(db, r.deviceIds, r.from, r.to, r.temperatureFilter, r.humidityFilter, summaries)) {
    outcome.message = "历史数据查询失败";
    return outcome;
  }
  for (const DeviceSummary& summary : summaries) outcome.rowCount += summary.stats.count;
  const SummaryFileOutcome written = WriteSummaryFile(summaries, r.encoding, outcome.fileName);
  outcome.ok = written.ok;
  if (!written.ok) outcome.message = "导出失败: " + outcome.fileName;
  return outcome;
}

}  // namespace history
