#include "HistorySummaryExport.h"

#include "Catalogue.h"
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

QStringList Titles() {
  QStringList titles;
  for (const char* title : kSummaryColumnTitles) titles << QString::fromUtf8(title);
  return titles;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const std::string s(suffix);
  if (text.size() < s.size()) return false;
  return QString::fromStdString(text.substr(text.size() - s.size()))
             .compare(QString::fromStdString(s), Qt::CaseInsensitive) == 0;
}

bool WriteText(const std::vector<DeviceSummary>& summaries, TextEncoding encoding, const std::string& path,
               std::string& error) {
  std::string out = encoding == TextEncoding::kUtf8Bom ? kUtf8Bom : "";
  const auto add = [&](const QStringList& cells) {
    const QString text = SummaryLine(cells) + QStringLiteral("\r\n");
    out += encoding == TextEncoding::kGbk ? platform::ToGbk(text) : text.toStdString();
  };
  add(Titles());
  for (const DeviceSummary& summary : summaries) add(SummaryCells(summary));
  return platform::SaveFileContents(path, out, &error);
}

// Counts, figures and durations (seconds) as number cells, so that they can be summed and
// charted; names, times and "--" as text.
bool WriteWorkbook(const std::vector<DeviceSummary>& summaries, const std::string& path, std::string& error) {
  xls::XlsBook book;
  book.CreateNew(1);
  xls::XlsSheet* sheet = book.FindSheet(kSheetName);
  if (!sheet) return false;
  const QStringList titles = Titles();
  for (int c = 0; c < titles.size(); ++c) sheet->CellAt(0, c)->SetWideText(titles[c].toStdU16String());
  for (std::size_t r = 0; r < summaries.size(); ++r) {
    const std::vector<SummaryField> fields = SummaryFields(summaries[r]);
    for (std::size_t c = 0; c < fields.size(); ++c) {
      xls::XlsCell* cell = sheet->CellAt(static_cast<int>(r) + 1, static_cast<int>(c));
      if (fields[c].number)
        cell->SetDouble(*fields[c].number);
      else
        cell->SetWideText(fields[c].text.toStdU16String());
    }
  }
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
  std::string error;
  outcome.ok = EndsWith(fileName, kWorkbookExtension) ? WriteWorkbook(summaries, fileName, error)
                                                      : WriteText(summaries, encoding, fileName, error);
  if (!outcome.ok) outcome.error = "cannot write " + fileName + (error.empty() ? "" : ": " + error);
  return outcome;
}

}  // namespace history
