#include "HistoryStatistics.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "Reading.h"
#include "ReadingGaps.h"
#include "ReadingTime.h"

namespace history {

const std::array<const char*, kSummaryColumnCount> kSummaryColumnTitles = {
    "设备ID",   "设备名称", "记录数",   "首条时间", "末条时间", "最低温度", "最高温度",   "平均温度",
    "MKT(℃)",   "高温次数", "高温时长", "低温次数", "低温时长", "最低湿度", "最高湿度",   "平均湿度",
    "高湿次数", "高湿时长", "低湿次数", "低湿时长", "数据间断", "最长间隔", "温度缺失数", "湿度缺失数",
};

namespace {

constexpr double kKelvinOffset = 273.15;
constexpr const char* kNoFigure = "--";
constexpr const char* kDurationFormat = "%lld:%02lld:%02lld";

// Adds one reading's value to a channel; the time it stands for is added by the caller.
void AddValue(ChannelStats& c, double value, double& sum) {
  if (c.valued == 0) c.min = c.max = value;
  c.min = std::min(c.min, value);
  c.max = std::max(c.max, value);
  sum += value;
  ++c.valued;
}

void AddLimit(ChannelStats& c, readings::ChannelState state, long long seconds) {
  if (state == readings::ChannelState::High) {
    ++c.above;
    c.aboveSeconds += seconds;
  } else if (state == readings::ChannelState::Low) {
    ++c.below;
    c.belowSeconds += seconds;
  }
}

// A figure as shown, to two decimals; its number is the shown one, so that a sum of the
// workbook's cells equals the sum of the window's texts.
SummaryField Figure(double value) {
  const QString text = QString::number(value, 'f', 2);
  return {text, readings::ParseDecimal(text.toStdString())};
}

SummaryField Figure(const ChannelStats& c, double value) {
  return c.valued == 0 ? SummaryField{QString::fromUtf8(kNoFigure), std::nullopt} : Figure(value);
}

SummaryField Count(long long n) { return {QString::number(n), static_cast<double>(n)}; }

SummaryField Duration(long long seconds) { return {DurationText(seconds), static_cast<double>(seconds)}; }

SummaryField Text(QString text) { return {std::move(text), std::nullopt}; }

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
  const long long usual = readings::MedianSpacing(spacings);
  const long long gap = readings::GapThresholdSeconds(spacings);

  double tempeSum = 0, humSum = 0;
  std::vector<double> mktValues;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const StatReading& r = readings[i];
    long long standsFor = usual;
    if (i + 1 < readings.size()) {
      const long long spacing = spacings[i];
      s.longestSpacing = std::max(s.longestSpacing, spacing);
      if (readings::IsGap(spacing, gap))
        ++s.gaps;
      else
        standsFor = spacing;
    }
    if (const readings::ChannelState state = readings::ChannelStateOf(r.tempe, r.tempeCode);
        readings::IsMeasured(state)) {
      AddValue(s.temperature, r.tempe, tempeSum);
      AddLimit(s.temperature, state, standsFor);
      mktValues.push_back(r.tempe);
    }
    if (const readings::ChannelState state = readings::ChannelStateOf(r.hum, r.humCode); readings::IsMeasured(state)) {
      AddValue(s.humidity, r.hum, humSum);
      AddLimit(s.humidity, state, standsFor);
    }
  }
  if (s.temperature.valued) s.temperature.mean = tempeSum / s.temperature.valued;
  if (s.humidity.valued) s.humidity.mean = humSum / s.humidity.valued;
  s.hasMkt = !mktValues.empty();
  if (s.hasMkt) s.mkt = MeanKineticTemperature(mktValues);
  return s;
}

StatReading StatReadingOf(std::string_view datetime, std::string_view tempe, std::string_view tempeCode,
                          std::string_view hum, std::string_view humCode) {
  return {DatetimeSeconds(datetime), readings::ParseDecimal(tempe), readings::ParseCode(tempeCode),
          readings::ParseDecimal(hum), readings::ParseCode(humCode)};
}

long long DatetimeSeconds(std::string_view datetime) { return readings::ReadingSeconds(datetime).value_or(0); }

std::string DatetimeText(long long seconds) { return readings::ReadingTimeText(seconds); }

QString DurationText(long long seconds) {
  return QString::asprintf(kDurationFormat, seconds / 3600, seconds / 60 % 60, seconds % 60);
}

std::vector<DeviceSummary> SummariseRows(const HistoryRowStore& rows) {
  const std::size_t devices = rows.Devices().size();
  std::vector<std::vector<StatReading>> readings(devices);
  for (std::size_t r = 0; r < rows.RowCount(); ++r) {
    const auto field = [&](int column) { return rows.Field(r, column); };
    readings[rows.DeviceOf(r)].push_back(StatReadingOf(field(kColDatetime), field(kColTempe), field(kColTempeAlarm),
                                                       field(kColHum), field(kColHumAlarm)));
  }
  std::vector<DeviceSummary> out;
  out.reserve(devices);
  for (std::size_t d = 0; d < devices; ++d) {
    const auto& identity = rows.Devices()[d];
    out.push_back({identity.gbk[0], identity.gbk[3], ComputeDeviceStats(std::move(readings[d]))});
  }
  return out;
}

std::vector<SummaryField> SummaryFields(const DeviceSummary& summary) {
  const DeviceStats& s = summary.stats;
  const bool any = s.count > 0;
  const SummaryField none = Text(QString::fromUtf8(kNoFigure));
  const auto time = [&](long long seconds) { return any ? Text(QString::fromStdString(DatetimeText(seconds))) : none; };
  const ChannelStats& t = s.temperature;
  const ChannelStats& h = s.humidity;
  return {Text(platform::FromGbk(summary.deviceId)),
          Text(platform::FromGbk(summary.deviceName)),
          Count(s.count),
          time(s.first),
          time(s.last),
          Figure(t, t.min),
          Figure(t, t.max),
          Figure(t, t.mean),
          s.hasMkt ? Figure(s.mkt) : none,
          Count(t.above),
          Duration(t.aboveSeconds),
          Count(t.below),
          Duration(t.belowSeconds),
          Figure(h, h.min),
          Figure(h, h.max),
          Figure(h, h.mean),
          Count(h.above),
          Duration(h.aboveSeconds),
          Count(h.below),
          Duration(h.belowSeconds),
          Count(s.gaps),
          Duration(s.longestSpacing),
          Count(s.count - t.valued),
          Count(s.count - h.valued)};
}

QStringList SummaryCells(const DeviceSummary& summary) {
  QStringList cells;
  for (SummaryField& field : SummaryFields(summary)) cells << std::move(field.text);
  return cells;
}

}  // namespace history
