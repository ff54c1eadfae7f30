#pragma once
// The headless text exports of the history query: "csv" (the table page's rows, a device at a time)
// "summary" (the statistics of every device) and "events" (the alarm records). No table page and no window are needed.
#include <QDate>
#include <string>
#include <vector>

#include "HistoryCsv.h"

class DbSession;

namespace history {

struct TextExportRequest {
  std::string format;                  // "csv", "summary" or "events"
  std::vector<std::string> deviceIds;  // GBK
  QDate from, to;
  int temperatureFilter = 3, humidityFilter = 3;
  TextEncoding encoding = TextEncoding::kUtf8Bom;
  std::string output;  // empty: the time-based name with ".csv" or ".tsv"
};

struct TextExportOutcome {
  bool ok = false;
  std::string fileName;
  std::string message;  // for the console on failure
  long long rowCount = 0;
};

bool IsTextExportFormat(const std::string& format);
TextExportOutcome RunTextExport(DbSession& db, const TextExportRequest& request);

}  // namespace history
