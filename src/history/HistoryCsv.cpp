#include "HistoryCsv.h"

#include "DbSession.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "HistoryStatements.h"
#include "TableFileWriter.h"

namespace history {

CsvOutcome WriteHistoryCsv(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                           int temperatureFilter, int humidityFilter, TextEncoding encoding,
                           const std::string& fileName) {
  CsvOutcome outcome;
  // Saved safely: until the last row is written the file of that name keeps what it held.
  tables::TableFileWriter file(fileName, tables::TableFormat::kCsv, encoding);
  QStringList titles;
  for (const ListColumn& column : kHistoryListColumns) titles << QString::fromUtf8(column.title);
  if (!file.Begin(titles)) {
    outcome.error = file.Error();
    return outcome;
  }

  const std::string start = DayStartText(from), end = DayEndText(to);
  const auto escape = [&db](std::string_view t) { return db.Escape(t); };
  HistoryRowFormatter formatter;  // converts the names repeated on every row once
  std::vector<std::string> fields;
  bool queried = true;
  for (const std::string& id : deviceIds) {
    const std::string sql = TableQueryStatement(escape, id, start, end, temperatureFilter, humidityFilter);
    // Streamed: each row is written as it arrives, nothing is kept.
    queried = db.SelectEach(sql, [&](const DbRow& row) {
      fields.clear();
      if (encoding == TextEncoding::kGbk) {
        const QueryField field = [&](int c) {
          return static_cast<std::size_t>(c) < row.size() ? std::string_view(row[static_cast<std::size_t>(c)])
                                                          : std::string_view();
        };
        for (int c = 0; c < kHistoryListColumnCount; ++c) fields.push_back(ListCellGbk(field, c));
      } else {
        for (const QString& cell : formatter.Cells(row)) fields.push_back(cell.toStdString());
      }
      file.AddEncoded(fields);
    });
    // A result that broke off part-way fails (SelectEach), so a cut-off file is never reported
    // as complete.
    if (queried && db.LastErrorNumber() != 0) queried = false;
    if (!queried) break;
  }
  if (!queried) {
    file.Discard();
    outcome.error = "query failed";
    return outcome;
  }
  outcome.rowCount = file.RowCount();
  outcome.ok = file.Finish();
  if (!outcome.ok) outcome.error = file.Error();
  return outcome;
}

}  // namespace history
