#include "HistoryCells.h"

#include <algorithm>

#include "Gbk.h"
#include "Reading.h"

namespace history {

const std::array<ListColumn, kHistoryListColumnCount> kHistoryListColumns = {{
    {"设备ID", 80},
    {"设备名称", 223},
    {"公司", 220},
    {"部门", 157},
    {"时间", 150},
    {"温度(℃)", 80},
    {"湿度(%)", 80},
    {"设备温度(℃)", 90},
    {"设备电压(V)", 90},
    {"设备电流(mA)", 90},
    {"故障状态", 100},
}};

namespace {

// A value padded on the left to `width` like printf's "%*s", counted in bytes of the value
// as the C library counts them (a longer value is not cut), and a fixed text after it.
class TextField {
 public:
  TextField(int width, const char* suffix) : suffix_(QString::fromUtf8(suffix)), width_(width) {}
  QString Format(std::string_view value) const {
    const int pad = width_ - static_cast<int>(value.size());
    QString out;
    out.reserve(std::max(pad, 0) + static_cast<int>(value.size()) + suffix_.size());
    if (pad > 0) out += QString(pad, QLatin1Char(' '));
    out += TextFromGbk(value);
    out += suffix_;
    return out;
  }

 private:
  QString suffix_;
  int width_ = 0;
};

std::array<TextField, kValueCellMarks.size()> ValueFields(int width) {
  return {TextField(width, kValueCellMarks[0]), TextField(width, kValueCellMarks[1]),
          TextField(width, kValueCellMarks[2]), TextField(width, kValueCellMarks[3])};
}

QString ValueCell(const std::array<TextField, kValueCellMarks.size()>& fields, std::string_view value,
                  std::string_view alarmCode) {
  static const QString noValue = QString::fromUtf8(kNoValueCellText);
  const int mark = ValueCellMark(value, alarmCode);
  return mark < 0 ? noValue : fields[static_cast<std::size_t>(mark)].Format(value);
}

}  // namespace

QString TextFromGbk(std::string_view gbk) {
  for (unsigned char c : gbk)
    if (c >= 0x80) return platform::FromGbk(gbk);
  return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
}

int ValueCellMark(std::string_view value, std::string_view alarmCode) {
  using readings::ChannelState;
  const readings::Channel channel = readings::ParseChannel(value, alarmCode);
  switch (channel.State()) {
    case ChannelState::Normal: return 0;
    case ChannelState::High: return 1;
    case ChannelState::Low: return 2;
    case ChannelState::NoValue: return -1;
    case ChannelState::SensorOffline:
    case ChannelState::UnknownCode: break;
  }
  // No view shows a value no sensor measured: without a number the cell is "--" too.
  return readings::HasValue(channel.value) ? 3 : -1;
}

std::size_t PowerWordIndex(std::string_view powerCode) {
  switch (readings::ParseCode(powerCode)) {
    case kPowerBattery: return 0;
    case kPowerMains: return 1;
    default: return 2;
  }
}

bool ShowsSensorOffline(std::string_view temperatureAlarmCode, std::string_view humidityAlarmCode) {
  // Only the codes decide the offline state; the values play no part in it.
  const readings::Channel temperature{0, readings::ParseCode(temperatureAlarmCode)};
  const readings::Channel humidity{0, readings::ParseCode(humidityAlarmCode)};
  return readings::FaultLineOf(temperature, humidity, false) == readings::FaultLine::SensorOffline;
}

QString TemperatureCell(std::string_view value, std::string_view alarmCode) {
  static const auto fields = ValueFields(kTemperatureCellWidth);
  return ValueCell(fields, value, alarmCode);
}

QString HumidityCell(std::string_view value, std::string_view alarmCode) {
  static const auto fields = ValueFields(kHumidityCellWidth);
  return ValueCell(fields, value, alarmCode);
}

QString VoltageCell(std::string_view voltage, std::string_view powerCode) {
  static const std::array<TextField, kPowerWords.size()> words = {
      TextField(0, kPowerWords[0]), TextField(0, kPowerWords[1]), TextField(0, kPowerWords[2])};
  return words[PowerWordIndex(powerCode)].Format(voltage);
}

QString FaultStateCell(std::string_view temperatureAlarmCode, std::string_view humidityAlarmCode) {
  static const QString offline = QString::fromUtf8(kSensorOfflineText);
  static const QString normal = QString::fromUtf8(kNormalText);
  return ShowsSensorOffline(temperatureAlarmCode, humidityAlarmCode) ? offline : normal;
}

const QString& HistoryRowFormatter::Column(const DbRow& row, int column) {
  const auto c = static_cast<std::size_t>(column);
  static const std::string empty;
  const std::string& gbk = c < row.size() ? row[c] : empty;
  if (!seen_[c] || gbk != lastGbk_[c]) {
    lastGbk_[c] = gbk;
    lastText_[c] = TextFromGbk(gbk);
    seen_[c] = true;
  }
  return lastText_[c];
}

QStringList HistoryRowFormatter::Cells(const DbRow& row) {
  static const std::string empty;
  const auto at = [&](int c) -> const std::string& {
    return static_cast<std::size_t>(c) < row.size() ? row[static_cast<std::size_t>(c)] : empty;
  };
  QStringList cells;
  cells.reserve(kHistoryListColumnCount);
  cells << Column(row, kColDeviceId) << Column(row, kColDeviceName) << Column(row, kColCompanyName)
        << Column(row, kColDepartmentName) << Column(row, kColDatetime)
        << TemperatureCell(at(kColTempe), at(kColTempeAlarm)) << HumidityCell(at(kColHum), at(kColHumAlarm))
        << Column(row, kColDeviceTempe) << VoltageCell(at(kColVoltage), at(kColPower)) << Column(row, kColCurrent)
        << FaultStateCell(at(kColTempeAlarm), at(kColHumAlarm));
  return cells;
}

}  // namespace history
