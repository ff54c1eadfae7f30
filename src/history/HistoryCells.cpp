#include "HistoryCells.h"

#include "Gbk.h"

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

// Alarm code "0" … "3" selects the format; anything else but "4" formats like "3".
constexpr const char* kTemperatureFormats[] = {"%5s", "%5s ↑", "%5s ↓", "%5s   "};
constexpr const char* kHumidityFormats[] = {"%4s", "%4s ↑", "%4s ↓", "%4s   "};
constexpr const char* kNoValueText = "--";
constexpr const char* kNoValueCode = "4";

constexpr const char* kBatteryFormat = "%s 电池";
constexpr const char* kMainsFormat = "%s 市电";
constexpr const char* kUnknownPowerFormat = "%s 未知";

constexpr const char* kSensorOfflineText = "传感器掉线";
constexpr const char* kNormalText = "正常";
constexpr const char* kSensorOfflineCode = "3";

// A format of the form <prefix>%<width>s<suffix>, split once so a hundred thousand rows do
// not parse it again. The width pads on the left like printf's, counted in bytes of the
// value as the C library counts them; a longer value is not cut.
class TextField {
 public:
  explicit TextField(std::string_view format) {
    const auto percent = format.find('%');
    const auto s = format.find('s', percent);
    prefix_ = QString::fromUtf8(format.substr(0, percent));
    for (char c : format.substr(percent + 1, s - percent - 1)) width_ = width_ * 10 + (c - '0');
    suffix_ = QString::fromUtf8(format.substr(s + 1));
  }
  QString Format(std::string_view value) const {
    const int pad = width_ - static_cast<int>(value.size());
    QString out;
    out.reserve(prefix_.size() + std::max(pad, 0) + static_cast<int>(value.size()) + suffix_.size());
    out += prefix_;
    if (pad > 0) out += QString(pad, QLatin1Char(' '));
    out += TextFromGbk(value);
    out += suffix_;
    return out;
  }

 private:
  QString prefix_, suffix_;
  int width_ = 0;
};

int AlarmFormatIndex(std::string_view code) {
  if (code.size() == 1 && code[0] >= '0' && code[0] <= '3') return code[0] - '0';
  return 3;
}

template <std::size_t N>
std::array<TextField, N> Fields(const char* const (&formats)[N]) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<TextField, N>{TextField(formats[I])...};
  }(std::make_index_sequence<N>{});
}

}  // namespace

QString TextFromGbk(std::string_view gbk) {
  for (unsigned char c : gbk)
    if (c >= 0x80) return platform::FromGbk(gbk);
  return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
}

QString TemperatureCell(std::string_view value, std::string_view alarmCode) {
  static const auto fields = Fields(kTemperatureFormats);
  if (alarmCode == kNoValueCode) return QString::fromUtf8(kNoValueText);
  return fields[static_cast<std::size_t>(AlarmFormatIndex(alarmCode))].Format(value);
}

QString HumidityCell(std::string_view value, std::string_view alarmCode) {
  static const auto fields = Fields(kHumidityFormats);
  if (alarmCode == kNoValueCode) return QString::fromUtf8(kNoValueText);
  return fields[static_cast<std::size_t>(AlarmFormatIndex(alarmCode))].Format(value);
}

QString VoltageCell(std::string_view voltage, std::string_view powerCode) {
  static const TextField battery(kBatteryFormat), mains(kMainsFormat), unknown(kUnknownPowerFormat);
  if (powerCode == "0") return battery.Format(voltage);
  if (powerCode == "1") return mains.Format(voltage);
  return unknown.Format(voltage);
}

QString FaultStateCell(std::string_view temperatureAlarmCode) {
  static const QString offline = QString::fromUtf8(kSensorOfflineText);
  static const QString normal = QString::fromUtf8(kNormalText);
  return temperatureAlarmCode == kSensorOfflineCode ? offline : normal;
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
        << Column(row, kColDeviceTempe) << VoltageCell(at(kColVoltage), at(kColPower))
        << Column(row, kColCurrent) << FaultStateCell(at(kColTempeAlarm));
  return cells;
}

}  // namespace history
