#include "CurveSegments.h"

#include "HistoryChart.h"
#include "HistoryStatements.h"
#include "Reading.h"
#include "ReadingGaps.h"

namespace history {
namespace {

// The value column each coded channel selects, and the code column that rides along with it.
constexpr const char* kTemperatureValueColumn = "history_tab.tempe";
constexpr const char* kTemperatureCodeColumn = ",history_tab.tempe_alarm";
constexpr const char* kHumidityValueColumn = "history_tab.hum";
constexpr const char* kHumidityCodeColumn = ",history_tab.hum_alarm";

}  // namespace

// Any channel other than 1, 2 and 3 draws the temperature.
bool ChannelHasCode(int channel) { return channel != kChannelDeviceTemperature && channel != kChannelVoltage; }

std::string CurveStatementWithCode(const SqlEscaper& escape, int channel, std::string_view deviceId,
                                   std::string_view start, std::string_view end) {
  std::string sql = CurveStatement(escape, channel, deviceId, start, end);
  if (!ChannelHasCode(channel)) return sql;
  const bool humidity = channel == kChannelHumidity;
  // The select list ends with the value column followed by blanks; the code goes right after
  // it, and the rest of the statement stays exactly as it is.
  const std::string value = std::string(humidity ? kHumidityValueColumn : kTemperatureValueColumn) + " ";
  const std::size_t at = sql.find(value);
  if (at != std::string::npos)
    sql.insert(at + value.size() - 1, humidity ? kHumidityCodeColumn : kTemperatureCodeColumn);
  return sql;
}

CurveReading CurveReadingOf(const DbRow& row) {
  static const std::string none;
  const auto at = [&](std::size_t c) -> const std::string& { return c < row.size() ? row[c] : none; };
  const double value = readings::ParseDecimal(at(2));
  // The device temperature and the voltage carry no code: only a missing number breaks them.
  const bool measured = row.size() > 3
                            ? readings::IsMeasured(readings::ChannelStateOf(value, readings::ParseCode(at(3))))
                            : readings::HasValue(value);
  return {SecondOfDay(at(1)), value, !measured};
}

std::vector<std::vector<QPoint>> CurveSegments(const std::vector<CurveReading>& readings, int channel) {
  std::vector<long long> spacings;
  for (std::size_t i = 1; i < readings.size(); ++i)
    spacings.push_back(readings[i].secondOfDay - readings[i - 1].secondOfDay);
  const long long gap = readings::GapThresholdSeconds(std::move(spacings));

  std::vector<std::vector<QPoint>> segments;
  bool broken = true;
  for (std::size_t i = 0; i < readings.size(); ++i) {
    const CurveReading& r = readings[i];
    if (i > 0 && readings::IsGap(r.secondOfDay - readings[i - 1].secondOfDay, gap)) broken = true;
    if (r.noValue) {
      broken = true;
      continue;
    }
    const QPoint point(kChartLeft + r.secondOfDay / kSecondsPerPixel, CurveY(channel, r.value));
    if (broken)
      segments.push_back({point});
    else
      AddCurvePoint(segments.back(), point);
    broken = false;
  }
  return segments;
}

}  // namespace history
