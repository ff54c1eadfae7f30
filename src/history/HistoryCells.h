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

// The one table of cell formats, shared by the cells here and their GBK twins (ListCellGbk):
// a value right-aligned in `width` characters (5 for temperature, 4 for humidity) and the mark
// of its alarm state; "--" when the reading has no value (code 4, or no number in the column).
inline constexpr int kTemperatureCellWidth = 5, kHumidityCellWidth = 4;
inline constexpr const char* kNoValueCellText = "--";
// Normal, above (↑), below (↓), and three blanks for an offline sensor or an unknown code.
inline constexpr std::array<const char*, 4> kValueCellMarks = {"", " ↑", " ↓", "   "};
// The index into kValueCellMarks for a value and its code; -1 shows kNoValueCellText.
int ValueCellMark(std::string_view value, std::string_view alarmCode);
// Battery, mains, anything else, after the voltage.
inline constexpr std::array<const char*, 3> kPowerWords = {" 电池", " 市电", " 未知"};
std::size_t PowerWordIndex(std::string_view powerCode);
// The fault column: sensor offline when either channel's code is 3, normal otherwise.
inline constexpr const char* kSensorOfflineText = "传感器掉线";
inline constexpr const char* kNormalText = "正常";
bool ShowsSensorOffline(std::string_view temperatureAlarmCode, std::string_view humidityAlarmCode);

QString TemperatureCell(std::string_view value, std::string_view alarmCode);
QString HumidityCell(std::string_view value, std::string_view alarmCode);
// Voltage with its power source word.
QString VoltageCell(std::string_view voltage, std::string_view powerCode);
QString FaultStateCell(std::string_view temperatureAlarmCode, std::string_view humidityAlarmCode);

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
