#pragma once
// Figures of a history query per device: how many readings, over which time, the lowest,
// highest and mean temperature and humidity, how often and how long they were above or below
// their limits, and the mean kinetic temperature. A channel of a reading without a measured
// value (codes 3 and 4, or no number in the column: see Reading.h) counts only as a reading
// and as a missing one. Pure functions; the statistics window and the headless summary show
// their results as texts (SummaryCells), the summary workbook as numbers (SummaryFields).
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TableText.h"

namespace history {

class HistoryRowStore;

// Activation energy over the gas constant of the pharmaceutical convention.
inline constexpr double kMktActivationKelvin = 10000.0;

struct StatReading {
  long long time;  // seconds, DatetimeSeconds()
  double tempe;    // NaN: no value
  int tempeCode;
  double hum;
  int humCode;
};
// A reading from the texts of the table query's columns.
StatReading StatReadingOf(std::string_view datetime, std::string_view tempe, std::string_view tempeCode,
                          std::string_view hum, std::string_view humCode);

struct ChannelStats {
  int valued = 0;  // readings with a measured value (readings::IsMeasured)
  double min = 0, max = 0, mean = 0;
  int above = 0, below = 0;                      // readings with code 1 / code 2
  long long aboveSeconds = 0, belowSeconds = 0;  // the time those readings stand for
};

struct DeviceStats {
  int count = 0;
  long long first = 0, last = 0;
  ChannelStats temperature, humidity;
  bool hasMkt = false;
  double mkt = 0;
  int gaps = 0;                  // spacings longer than the gap threshold
  long long longestSpacing = 0;  // seconds
};

// Mean kinetic temperature in °C of equally weighted readings in °C; 0 for none.
double MeanKineticTemperature(const std::vector<double>& celsius);

// Readings in any order. A reading stands for the time until the next one; across a gap, and
// for the last reading, it stands for the usual (median) spacing instead.
DeviceStats ComputeDeviceStats(std::vector<StatReading> readings);

// Reading times on the one scale of readings::ReadingSeconds, and back; an unreadable time is 0.
long long DatetimeSeconds(std::string_view datetime);
std::string DatetimeText(long long seconds);
// "h:mm:ss", hours not wrapped at a day.
QString DurationText(long long seconds);

struct DeviceSummary {
  std::string deviceId, deviceName;  // GBK
  DeviceStats stats;
};
// One summary per device of the rows, in the order the devices first appear.
std::vector<DeviceSummary> SummariseRows(const HistoryRowStore& rows);

// The columns of a summary line; the last two count the readings without a temperature and
// without a humidity value.
inline constexpr int kSummaryColumnCount = 24;
extern const std::array<const char*, kSummaryColumnCount> kSummaryColumnTitles;  // UTF-8
// A cell of a summary line as text, and as a number where it is one: counts, figures (as
// shown, to two decimals) and durations in seconds. Names, times and "--" are texts only.
struct SummaryField {
  QString text;
  std::optional<double> number;
};
std::vector<SummaryField> SummaryFields(const DeviceSummary& summary);
QStringList SummaryCells(const DeviceSummary& summary);
// Cells joined by tabs into one line of text: a tab or a line break inside a cell (a device
// name may hold one) becomes a blank, so that a line never splits or shifts its columns.
inline QString SummaryLine(QStringList cells) { return tables::TabSeparatedLine(std::move(cells)); }

}  // namespace history
