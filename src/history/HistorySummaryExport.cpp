#include "HistorySummaryExport.h"

#include <QRegularExpression>
#include <cstdlib>

#include "DbSession.h"
#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryStatements.h"
#include "SaveFile.h"
#include "XlsBook.h"

namespace history {
namespace {

constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";
constexpr const char* kWorkbookExtension = ".xls";
constexpr const char* kSheetName = "Sheet1";

int CodeOf(const std::string& code) { return code.size() == 1 && code[0] >= '0' && code[0] <= '9' ? code[0] - '0' : -1; }

std::vector<QStringList> Lines(const std::vector<DeviceSummary>& summaries) {
  std::vector<QStringList> lines;
  QStringList titles;
  for (const char* title : kSummaryColumnTitles) titles << QString::fromUtf8(title);
  lines.push_back(titles);
  for (const DeviceSummary& summary : summaries) lines.push_back(SummaryCells(summary));
  return lines;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const std::string s(suffix);
  if (text.size() < s.size()) return false;
  return QString::fromStdString(text.substr(text.size() - s.size())).compare(QString::fromStdString(s), Qt::CaseInsensitive) == 0;
}

bool WriteText(const std::vector<QStringList>& lines, TextEncoding encoding, const std::string& path,
               std::string& error) {
  std::string out = encoding == TextEncoding::kUtf8Bom ? kUtf8Bom : "";
  static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
  for (const QStringList& line : lines) {
    QStringList cells = line;
    // A name holding a tab or a line break would shift the columns.
    for (QString& cell : cells) cell.replace(breaks, QStringLiteral(" "));
    const QString text = cells.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    out += encoding == TextEncoding::kGbk ? platform::ToGbk(text) : text.toStdString();
  }
  return platform::SaveFileContents(path, out, &error);
}

bool WriteWorkbook(const std::vector<QStringList>& lines, const std::string& path, std::string& error) {
  xls::XlsBook book;
  book.CreateNew(1);
  xls::XlsSheet* sheet = book.FindSheet(kSheetName);
  if (!sheet) return false;
  for (std::size_t r = 0; r < lines.size(); ++r)
    for (int c = 0; c < lines[r].size(); ++c)
      sheet->CellAt(static_cast<int>(r), c)->SetWideText(lines[r][c].toStdU16String());
  if (book.SaveToFile(path)) return true;  // saved safely by the writer
  error = book.SaveError();
  return false;
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
    const bool ok = db.SelectEach(sql, DbFetch::Use, [&](const DbRow& row) {
      if (row.size() < kHistoryQueryColumnCount) return;
      if (summary.deviceName.empty()) summary.deviceName = row[kColDeviceName];
      readings.push_back({DatetimeSeconds(row[kColDatetime]), std::atof(row[kColTempe].c_str()),
                          CodeOf(row[kColTempeAlarm]), std::atof(row[kColHum].c_str()), CodeOf(row[kColHumAlarm])});
    });
    if (!ok || db.LastErrorNumber() != 0) return false;
    summary.stats = ComputeDeviceStats(std::move(readings));
    summaries.push_back(std::move(summary));
  }
  return true;
}

SummaryFileOutcome WriteSummaryFile(const std::vector<DeviceSummary>& summaries, TextEncoding encoding,
                                    const std::string& fileName) {
  SummaryFileOutcome outcome;
  const std::vector<QStringList> lines = Lines(summaries);
  std::string error;
  outcome.ok = EndsWith(fileName, kWorkbookExtension) ? WriteWorkbook(lines, fileName, error)
                                                      : WriteText(lines, encoding, fileName, error);
  if (!outcome.ok) outcome.error = "cannot write " + fileName + (error.empty() ? "" : ": " + error);
  return outcome;
}

}  // namespace history
