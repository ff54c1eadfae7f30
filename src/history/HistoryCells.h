#pragma once
// Cell texts of the history table: one list row per stored reading, eleven columns, built
// from the thirteen columns of the table query. The exports read these texts back exactly as
// shown, arrows and padding included.
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <string_view>

#include "DbSession.h"

namespace history {

// Columns of the table query's rows.
enum HistoryQueryColumn : int {
  kColDeviceId = 0,
  kColCompanyName,
  kColDepartmentName,
  kColDatetime,
  kColTempe,
  kColTempeAlarm,
  kColHum,
  kColHumAlarm,
  kColDeviceTempe,
  kColVoltage,
  kColPower,
  kColDeviceName,
  kColCurrent,
  kHistoryQueryColumnCount
};

struct ListColumn {
  const char* title;  // UTF-8
  int widthPixels;
};
inline constexpr int kHistoryListColumnCount = 11;
extern const std::array<ListColumn, kHistoryListColumnCount> kHistoryListColumns;

// A GBK text as a QString; plain ASCII (numbers, dates, ids) takes a fast path.
QString TextFromGbk(std::string_view gbk);

// Value with its alarm mark, right-aligned in `width` characters (5 for temperature, 4 for
// humidity); code "4" means no value and shows "--".
QString TemperatureCell(std::string_view value, std::string_view alarmCode);
QString HumidityCell(std::string_view value, std::string_view alarmCode);
// Voltage with its power source word.
QString VoltageCell(std::string_view voltage, std::string_view powerCode);
// Only the temperature sensor's code decides the fault column.
QString FaultStateCell(std::string_view temperatureAlarmCode);

// Turns query rows into list rows. Keeps the last text of every column, so names that repeat
// on every row of a device are converted once and shared.
class HistoryRowFormatter {
 public:
  QStringList Cells(const DbRow& row);

 private:
  const QString& Column(const DbRow& row, int column);

  std::array<std::string, kHistoryQueryColumnCount> lastGbk_;
  std::array<QString, kHistoryQueryColumnCount> lastText_;
  std::array<bool, kHistoryQueryColumnCount> seen_{};
};

}  // namespace history
