#include "HistoryCsv.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "DbSession.h"
#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "HistoryStatements.h"

namespace history {
namespace {

constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
constexpr const char* kLineEnd = "\r\n";
constexpr std::size_t kWriteBuffer = 1 << 16;

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};

std::string Encoded(const QString& text, TextEncoding encoding) {
  return encoding == TextEncoding::kGbk ? platform::ToGbk(text) : text.toStdString();
}

}  // namespace

bool ParseTextEncoding(std::string_view name, TextEncoding& encoding) {
  const QString n = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
  if (n == "utf-8" || n == "utf8") encoding = TextEncoding::kUtf8Bom;
  else if (n == "gbk") encoding = TextEncoding::kGbk;
  else return false;
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

CsvOutcome WriteHistoryCsv(const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                           int temperatureFilter, int humidityFilter, TextEncoding encoding,
                           const std::string& fileName) {
  CsvOutcome outcome;
  const std::string partial = fileName + ".part";
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(partial.c_str(), "wb"));
  if (!file) {
    outcome.error = "cannot write " + fileName;
    return outcome;
  }
  std::setvbuf(file.get(), nullptr, _IOFBF, kWriteBuffer);
  bool written = true;
  const auto put = [&](const std::string& bytes) {
    written = written && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  };
  if (encoding == TextEncoding::kUtf8Bom) put(kUtf8Bom);
  std::vector<std::string> fields;
  for (const ListColumn& column : kHistoryListColumns) fields.push_back(Encoded(QString::fromUtf8(column.title), encoding));
  put(CsvLine(fields));

  const std::string start = DayStartText(from), end = DayEndText(to);
  const auto escape = [](std::string_view t) { return Db().Escape(t); };
  HistoryRowFormatter formatter;  // converts the names repeated on every row once
  bool queried = true;
  for (const std::string& id : deviceIds) {
    const std::string sql = TableQueryStatement(escape, id, start, end, temperatureFilter, humidityFilter);
    // Streamed: each row is written as it arrives, nothing is kept.
    queried = Db().SelectEach(sql, DbFetch::Use, [&](const DbRow& row) {
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
    // A connection lost in the middle of a streamed result ends it early without an error
    // from the fetch: ask the session, so a cut-off file is never reported as complete.
    if (queried && Db().LastErrorNumber() != 0) queried = false;
    if (!queried) break;
  }
  written = std::fflush(file.get()) == 0 && written;
  written = std::fclose(file.release()) == 0 && written;

  std::error_code fileError;
  if (!queried || !written) {
    std::filesystem::remove(partial, fileError);
    outcome.error = queried ? "cannot write " + fileName : "query failed";
    return outcome;
  }
  std::filesystem::rename(partial, fileName, fileError);
  if (fileError) {
    std::filesystem::remove(partial, fileError);
    outcome.error = "cannot rename the file into place";
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}

}  // namespace history
