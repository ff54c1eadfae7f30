#include "HistorySummaryExport.h"

#include <cstdlib>
#include <filesystem>
#include <QRegularExpression>
#include <fstream>

#include "DbSession.h"
#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryStatements.h"
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

bool WriteText(const std::vector<QStringList>& lines, TextEncoding encoding, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  if (encoding == TextEncoding::kUtf8Bom) out << kUtf8Bom;
  for (const QStringList& line : lines) {
    QStringList cells = line;
    for (QString& cell : cells) cell.replace(QRegularExpression(QStringLiteral("[\\t\\r\\n]")), QStringLiteral(" "));
    const QString text = cells.join(QLatin1Char('\t')) + QStringLiteral("\r\n");
    out << (encoding == TextEncoding::kGbk ? platform::ToGbk(text) : text.toStdString());
  }
  out.close();
  return static_cast<bool>(out);
}

bool WriteWorkbook(const std::vector<QStringList>& lines, const std::string& path) {
  xls::XlsBook book;
  book.CreateNew(1);
  xls::XlsSheet* sheet = book.FindSheet(kSheetName);
  if (!sheet) return false;
  for (std::size_t r = 0; r < lines.size(); ++r)
    for (int c = 0; c < lines[r].size(); ++c)
      sheet->CellAt(static_cast<int>(r), c)->SetWideText(lines[r][c].toStdU16String());
  return book.SaveToFile(path);
}

}  // namespace

bool SummariseQuery(const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                    int temperatureFilter, int humidityFilter, std::vector<DeviceSummary>& summaries) {
  const std::string start = DayStartText(from), end = DayEndText(to);
  const auto escape = [](std::string_view t) { return Db().Escape(t); };
  for (const std::string& id : deviceIds) {
    DeviceSummary summary;
    summary.deviceId = id;
    std::vector<StatReading> readings;
    const std::string sql = TableQueryStatement(escape, id, start, end, temperatureFilter, humidityFilter);
    const bool ok = Db().SelectEach(sql, DbFetch::Use, [&](const DbRow& row) {
      if (row.size() < kHistoryQueryColumnCount) return;
      if (summary.deviceName.empty()) summary.deviceName = row[kColDeviceName];
      readings.push_back({DatetimeSeconds(row[kColDatetime]), std::atof(row[kColTempe].c_str()),
                          CodeOf(row[kColTempeAlarm]), std::atof(row[kColHum].c_str()), CodeOf(row[kColHumAlarm])});
    });
    if (!ok || Db().LastErrorNumber() != 0) return false;
    summary.stats = ComputeDeviceStats(std::move(readings));
    summaries.push_back(std::move(summary));
  }
  return true;
}

SummaryFileOutcome WriteSummaryFile(const std::vector<DeviceSummary>& summaries, TextEncoding encoding,
                                    const std::string& fileName) {
  SummaryFileOutcome outcome;
  const std::vector<QStringList> lines = Lines(summaries);
  const std::string partial = fileName + ".part";
  const bool written = EndsWith(fileName, kWorkbookExtension) ? WriteWorkbook(lines, partial)
                                                              : WriteText(lines, encoding, partial);
  std::error_code fileError;
  if (written) std::filesystem::rename(partial, fileName, fileError);
  if (!written || fileError) {
    std::filesystem::remove(partial, fileError);
    outcome.error = "cannot write " + fileName;
    return outcome;
  }
  outcome.ok = true;
  return outcome;
}

}  // namespace history
