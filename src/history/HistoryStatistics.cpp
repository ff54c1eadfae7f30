#include "HistoryStatistics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "ReadingGaps.h"

namespace history {

const std::array<const char*, kSummaryColumnCount> kSummaryColumnTitles = {
    "设备ID",   "设备名称", "记录数",   "首条时间", "末条时间", "最低温度", "最高温度", "平均温度",
    "MKT(℃)",  "高温次数", "高温时长", "低温次数", "低温时长", "最低湿度", "最高湿度", "平均湿度",
    "高湿次数", "高湿时长", "低湿次数", "低湿时长", "数据间断", "最长间隔",
};

namespace {

constexpr double kKelvinOffset = 273.15;
constexpr int kAboveCode = 1, kBelowCode = 2;
constexpr const char* kNoFigure = "--";
constexpr const char* kDatetimeFormat = "%04d-%02d-%02d %02d:%02d:%02d";
constexpr const char* kDurationFormat = "%lld:%02lld:%02lld";

bool HasValue(int code) { return code != 3 && code != 4; }

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

// Adds one reading's value to a channel; the time it stands for is added by the caller.
void AddValue(ChannelStats& c, double value, double& sum) {
  if (c.valued == 0) c.min = c.max = value;
  c.min = std::min(c.min, value);
  c.max = std::max(c.max, value);
  sum += value;
  ++c.valued;
}

void AddLimit(ChannelStats& c, int code, long long seconds) {
  if (code == kAboveCode) {
    ++c.above;
    c.aboveSeconds += seconds;
  } else if (code == kBelowCode) {
    ++c.below;
    c.belowSeconds += seconds;
  }
}

QString Figure(const ChannelStats& c, double value) {
  return c.valued == 0 ? QString::fromUtf8(kNoFigure) : QString::number(value, 'f', 2);
}

int CodeOf(std::string_view code) { return code.size() == 1 && code[0] >= '0' && code[0] <= '9' ? code[0] - '0' : -1; }

}  // namespace

double MeanKineticTemperature(const std::vector<double>& celsius) {
  if (celsius.empty()) return 0;
  // Shifted by the largest term so that exp() neither underflows nor loses the small ones.
  std::vector<double> exponents;
  exponents.reserve(celsius.size());
  for (double t : celsius) exponents.push_back(-kMktActivationKelvin / (t + kKelvinOffset));
  const double top = *std::max_element(exponents.begin(), exponents.end());
  double sum = 0;
  for (double e : exponents) sum += std::exp(e - top);
  const double logMean = top + std::log(sum / static_cast<double>(celsius.size()));
  return -kMktActivationKelvin / logMean - kKelvinOffset;
}

DeviceStats ComputeDeviceStats(std::vector<StatReading> readings) {
  DeviceStats s;
  s.count = static_cast<int>(readings.size());
  if (readings.empty()) return s;
  std::stable_sort(readings.begin(), readings.end(),
                   [](const StatReading& a, const StatReading& b) { return a.time < b.time; });
  s.first = readings.front().time;
  s.last = readings.back().time;

  std::vector<long long> spacings;
  for (std::size_t i = 1; i < readings.size(); ++i) spacings.push_back(readings[i].time - readings[i - 1].time);
  const long long usual = MedianSpacing(spacings);
  const long long gap = GapThresholdSeconds(spacings);

  double tempeSum = 0, humSum = 0;
  std::vector<double> mktValues;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const StatReading& r = readings[i];
    long long standsFor = usual;
    if (i + 1 < readings.size()) {
      const long long spacing = spacings[i];
      s.longestSpacing = std::max(s.longestSpacing, spacing);
      if (spacing > gap) ++s.gaps;
      else standsFor = spacing;
    }
    if (HasValue(r.tempeCode)) {
      AddValue(s.temperature, r.tempe, tempeSum);
      AddLimit(s.temperature, r.tempeCode, standsFor);
      mktValues.push_back(r.tempe);
    }
    if (HasValue(r.humCode)) {
      AddValue(s.humidity, r.hum, humSum);
      AddLimit(s.humidity, r.humCode, standsFor);
    }
  }
  if (s.temperature.valued) s.temperature.mean = tempeSum / s.temperature.valued;
  if (s.humidity.valued) s.humidity.mean = humSum / s.humidity.valued;
  s.hasMkt = !mktValues.empty();
  if (s.hasMkt) s.mkt = MeanKineticTemperature(mktValues);
  return s;
}

long long DatetimeSeconds(std::string_view datetime) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
  const std::string text(datetime);
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &sec) < 3 || mo < 1 || mo > 12 || d < 1)
    return 0;
  return DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 + h * 3600LL + mi * 60LL + sec;
}

std::string DatetimeText(long long seconds) {
  long long days = seconds / 86400, rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  int y, m, d;
  CivilFromDays(days, y, m, d);
  char text[32];
  std::snprintf(text, sizeof text, kDatetimeFormat, y, m, d, static_cast<int>(rest / 3600),
                static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
  return text;
}

QString DurationText(long long seconds) {
  return QString::asprintf(kDurationFormat, seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::vector<DeviceSummary> SummariseRows(const HistoryRowStore& rows) {
  const std::size_t devices = rows.Devices().size();
  std::vector<std::vector<StatReading>> readings(devices);
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    const auto value = [&](int column) { return std::atof(std::string(rows.Field(r, column)).c_str()); };
    readings[rows.DeviceOf(r)].push_back({DatetimeSeconds(rows.Field(r, kColDatetime)), value(kColTempe),
                                          CodeOf(rows.Field(r, kColTempeAlarm)), value(kColHum),
                                          CodeOf(rows.Field(r, kColHumAlarm))});
  }
  std::vector<DeviceSummary> out;
  out.reserve(devices);
  for (std::size_t d = 0; d < devices; ++d) {
    const auto& identity = rows.Devices()[d];
    out.push_back({identity.gbk[0], identity.gbk[3], ComputeDeviceStats(std::move(readings[d]))});
  }
  return out;
}

QStringList SummaryCells(const DeviceSummary& summary) {
  const DeviceStats& s = summary.stats;
  const bool any = s.count > 0;
  const QString none = QString::fromUtf8(kNoFigure);
  QStringList cells;
  cells << platform::FromGbk(summary.deviceId) << platform::FromGbk(summary.deviceName) << QString::number(s.count)
        << (any ? QString::fromStdString(DatetimeText(s.first)) : none)
        << (any ? QString::fromStdString(DatetimeText(s.last)) : none);
  const ChannelStats& t = s.temperature;
  cells << Figure(t, t.min) << Figure(t, t.max) << Figure(t, t.mean)
        << (s.hasMkt ? QString::number(s.mkt, 'f', 2) : none) << QString::number(t.above)
        << DurationText(t.aboveSeconds) << QString::number(t.below) << DurationText(t.belowSeconds);
  const ChannelStats& h = s.humidity;
  cells << Figure(h, h.min) << Figure(h, h.max) << Figure(h, h.mean) << QString::number(h.above)
        << DurationText(h.aboveSeconds) << QString::number(h.below) << DurationText(h.belowSeconds);
  cells << QString::number(s.gaps) << DurationText(s.longestSpacing);
  return cells;
}

}  // namespace history
