#pragma once
// The statistics of a history query as a file, for scheduled jobs that mail them: one line per
// queried device with the figures of the statistics window. A name ending in ".xls" gives a
// workbook, anything else tab-separated text (UTF-8 with a byte-order mark, or GBK).
#include <QDate>
#include <string>
#include <vector>

#include "HistoryCsv.h"  // TextEncoding
#include "HistoryStatistics.h"

class DbSession;

namespace history {

// Runs the table page's statements and keeps only what the figures need. Every requested
// device gets a summary, also one without readings (count 0). False when a statement failed.
bool SummariseQuery(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                    int temperatureFilter, int humidityFilter, std::vector<DeviceSummary>& summaries);

struct SummaryFileOutcome {
  bool ok = false;
  std::string error;
};
SummaryFileOutcome WriteSummaryFile(const std::vector<DeviceSummary>& summaries, TextEncoding encoding,
                                    const std::string& fileName);

}  // namespace history
