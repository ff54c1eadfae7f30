#include "HistoryCsv.h"

#include "DbSession.h"
#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "HistoryStatements.h"
#include "SaveFile.h"

namespace history {
namespace {

constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kWriteBuffer = 1 << 16;

std::string Encoded(const QString& text, TextEncoding encoding) {
  return encoding == TextEncoding::kGbk ? platform::ToGbk(text) : text.toStdString();
}

}  // namespace

bool ParseTextEncoding(std::string_view name, TextEncoding& encoding) {
  const QString n = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
  if (n == "utf-8" || n == "utf8")
    encoding = TextEncoding::kUtf8Bom;
  else if (n == "gbk")
    encoding = TextEncoding::kGbk;
  else
    return false;
  return true;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += CsvField(fields[i]);
  }
  return line + kLineEnd;
}

CsvOutcome WriteHistoryCsv(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                           int temperatureFilter, int humidityFilter, TextEncoding encoding,
                           const std::string& fileName) {
  CsvOutcome outcome;
  // Saved safely: until the last row is written the file of that name keeps what it held.
  platform::SaveFile file(fileName);
  if (!file.Open()) {
    outcome.error = file.ErrorString();
    return outcome;
  }
  std::string pending;
  pending.reserve(kWriteBuffer);
  const auto put = [&](const std::string& bytes) {
    pending += bytes;
    if (pending.size() < kWriteBuffer) return;
    file.Write(pending);
    pending.clear();
  };
  if (encoding == TextEncoding::kUtf8Bom) put(kUtf8Bom);
  std::vector<std::string> fields;
  for (const ListColumn& column : kHistoryListColumns)
    fields.push_back(Encoded(QString::fromUtf8(column.title), encoding));
  put(CsvLine(fields));

  const std::string start = DayStartText(from), end = DayEndText(to);
  const auto escape = [&db](std::string_view t) { return db.Escape(t); };
  HistoryRowFormatter formatter;  // converts the names repeated on every row once
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
      put(CsvLine(fields));
      ++outcome.rowCount;
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
  file.Write(pending);
  outcome.ok = file.Commit();
  if (!outcome.ok) outcome.error = file.ErrorString();
  return outcome;
}

}  // namespace history
