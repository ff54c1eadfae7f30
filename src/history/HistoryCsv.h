#pragma once
// The history table query as a CSV file, for spreadsheets and scripts: the eleven columns of
// the table page with its headings and cell texts, RFC 4180 quoting, CRLF line ends. One
// device's rows are read at a time and written out before the next device's are read, so
// memory grows with the longest device, not with the whole query.
// UTF-8 with a byte-order mark by default (spreadsheet programs in Chinese locales then read
// it as UTF-8), or GBK like the rest of the station's files.
#include <QDate>
#include <string>
#include <vector>

#include "TableText.h"

class DbSession;

namespace history {

// The text forms live with the table writer (src/tables).
using tables::CsvField;
using tables::CsvLine;
using tables::ParseTextEncoding;
using tables::TextEncoding;

struct CsvOutcome {
  bool ok = false;
  long long rowCount = 0;
  std::string error;
};

// Writes `fileName`, replacing it only when complete. The statements and filters are those of
// the table page's query.
CsvOutcome WriteHistoryCsv(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                           int temperatureFilter, int humidityFilter, TextEncoding encoding,
                           const std::string& fileName);

}  // namespace history
