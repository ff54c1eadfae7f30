#pragma once
// Texts and colours of the live table's cells, kept free of widgets so that every case can be
// tested on its own. The view copies records under the table lock and writes what these return.
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>

#include "DeviceLiveTable.h"
#include "GbkTextCache.h"
#include "LiveStateColours.h"

namespace livetable {

// Cell text colours (RGB).
inline constexpr QRgb kNormalGreen = livestate::kNormalGreen;
inline constexpr QRgb kAlarmRed = livestate::kAlarmRed;
inline constexpr QRgb kOfflineBlue = livestate::kOfflineBlue;
inline constexpr QRgb kBlack = qRgb(0, 0, 0);

enum Column : int {
  kColDeviceId,
  kColDeviceName,
  kColCompany,
  kColDepartment,
  kColReadingTime,
  kColTemperature,
  kColHumidity,
  kColInternalTemperature,
  kColVoltage,
  kColCurrent,
  kColFaultState,
  kColumnCount
};

struct ColumnHeading {
  const char* caption;  // UTF-8
  int widthPixels;
};

inline constexpr std::array<ColumnHeading, kColumnCount> kColumns = {{
    {"设备ID", 80},
    {"设备名称", 220},
    {"公司", 220},
    {"部门", 160},
    {"时间", 140},
    {"温度(℃)", 60},
    {"湿度(%)", 60},
    {"设备温度(℃)", 90},
    {"设备电压(V)", 80},
    {"设备电流(mA)", 90},
    {"故障状态", 100},
}};

// The columns whose cells carry a text colour of their own. The reading time turns offline
// blue once the device has gone silent, so the row shows the silence also when a sensor
// fault holds the fault column.
inline constexpr std::array<int, 5> kColouredColumns = {kColReadingTime, kColTemperature, kColHumidity, kColVoltage,
                                                        kColFaultState};

struct CellLook {
  QString text;
  QRgb colour = kBlack;
  bool operator==(const CellLook&) const = default;
};

CellLook TemperatureCell(float temperature, std::int32_t temperatureAlarm);
CellLook HumidityCell(float humidity, std::int32_t humidityAlarm);
CellLook VoltageCell(float voltage, std::int32_t powerSource);
// A sensor fault outranks a communication loss; "--" for a device that delivered neither
// a temperature nor a humidity value.
CellLook FaultStateCell(const LiveSample& sample, bool communicationLost);
QString InternalTemperatureText(float internalTemperature);
// The current truncated toward zero to whole milliamperes. Every number text reads "--" for
// a value that is not a finite number.
QString CurrentText(float current);

// A record gets a row when it holds at least one sample and is checked in the tree.
bool GetsRow(const DeviceLiveRecord& record);

// Everything one row shows, computed from a record while the table lock is held.
struct RowLook {
  std::array<QString, kColumnCount> texts;
  std::array<QRgb, kColumnCount> colours{};  // meaningful for kColouredColumns only
};

// `texts` decodes the record's GBK texts.
RowLook RowFor(const DeviceLiveRecord& record, std::uint32_t nowTick, int commTimeoutSeconds, GbkTextCache& texts);

}  // namespace livetable
