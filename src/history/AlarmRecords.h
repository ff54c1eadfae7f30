#pragma once
// The alarm records of a history query: every excursion (AlarmEvents.h) of every queried
// device, with the device's name, company and department, as the "报警记录" window lists them
// and `--export events` writes them. From the table page's rows, or straight from the server
// with memory that grows with the records, not with the readings.
#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "AlarmEvents.h"
#include "HistoryCsv.h"  // TextEncoding

class DbSession;

namespace history {

class HistoryRowStore;

struct AlarmRecord {
  std::string deviceId, deviceName, company, department;  // GBK
  readings::Excursion event;
  // Who acknowledged the event at a station, when (server time) and what they wrote; GBK, empty
  // when nobody did (or the database keeps no acknowledgements).
  std::string ackUser, ackTime, ackComment;
};

inline constexpr int kAlarmRecordColumnCount = 13;
extern const std::array<const char*, kAlarmRecordColumnCount> kAlarmRecordColumnTitles;  // UTF-8
enum AlarmRecordColumn : int { kArColKind = 4, kArColStart, kArColEnd, kArColDuration, kArColReadings, kArColExtreme };

// The cells of a record: times "YYYY-MM-DD hh:mm:ss", the end "持续中" while open, the
// duration "h:mm:ss", the extreme to two decimals or empty.
QStringList AlarmRecordCells(const AlarmRecord& record);

// Devices in the order they first appear, each device's records by start.
std::vector<AlarmRecord> AlarmRecordsOfRows(const HistoryRowStore& rows);

struct AlarmQueryFigures {
  long long readings = 0;
  std::size_t peakStateBytes = 0;  // the most a device's facts and records held
};
// Runs the table page's statement per device, in time order, read row by row; a device's
// readings are kept only as compact facts until its records are found. False when a statement
// failed.
bool QueryAlarmRecords(DbSession& db, const std::vector<std::string>& deviceIds, const QDate& from, const QDate& to,
                       int temperatureFilter, int humidityFilter, std::vector<AlarmRecord>& records,
                       AlarmQueryFigures* figures = nullptr);

// Fills the acknowledgement of every record that a station acknowledged (matched by device, kind
// and the reading time that began it). Nothing when the database has no acknowledgement table;
// false when a statement failed.
bool AttachAcknowledgements(DbSession& db, std::vector<AlarmRecord>& records);

// A name ending in ".xls" gives a workbook, anything else CSV (UTF-8 with a byte-order mark, or
// GBK). Saved safely: a failed write keeps the file that was there.
bool WriteAlarmRecordFile(const std::vector<AlarmRecord>& records, TextEncoding encoding, const std::string& fileName,
                          std::string& error);

}  // namespace history
