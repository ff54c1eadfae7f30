#include <gtest/gtest.h>

#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"
#include "HistoryStatistics.h"

using namespace history;

namespace {

// Readings of 2024-05-01 every 10 minutes from `minute`, temperature code and value.
StatReading At(int minute, double tempe, int tempeCode = 0, double hum = 50.0, int humCode = 0) {
  return {DatetimeSeconds("2024-05-01 00:00:00") + minute * 60LL, tempe, tempeCode, hum, humCode};
}

TEST(HistoryStatistics, MeanKineticTemperatureMatchesHandComputedValues) {
  // MKT = (ΔH/R) / -ln(mean of exp(-ΔH/(R·T))) with T in kelvin, ΔH/R = 10000 K. By hand for
  // 25 and 35 °C: exp(-33.5402) and exp(-32.4517) average to exp(-32.8546), and 10000 / 32.8546
  // is 304.37 K, i.e. 31.22 °C.
  const struct {
    std::vector<double> celsius;
    double mkt;
  } cases[] = {{{25.0, 35.0}, 31.22}, {{2.0, 8.0, 8.0, 20.0}, 12.20}, {{20.0}, 20.00}, {{-80.0, -78.0}, -78.87}};
  for (const auto& c : cases) EXPECT_NEAR(MeanKineticTemperature(c.celsius), c.mkt, 0.01) << c.celsius.size();
}

TEST(HistoryStatistics, FiguresOfADevice) {
  const struct {
    const char* what;
    std::vector<StatReading> readings;
    int count, valued;
    double min, max, mean;
    int above;
    long long aboveSeconds;
    int below;
    long long belowSeconds;
    int gaps;
  } cases[] = {
      {"one reading", {At(0, 21.5)}, 1, 1, 21.5, 21.5, 21.5, 0, 0, 0, 0, 0},
      {"all offline or without value", {At(0, 0, 3), At(10, 0, 4), At(20, 0, 3)}, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      // Above from 00:10 to 00:30 (two readings standing for 10 minutes each), the last one,
      // below, stands for the usual spacing.
      {"limits take the spacing",
       {At(20, 9.0, 1), At(0, 5.0), At(10, 9.0, 1), At(30, 1.0, 2)},
       4,
       4,
       1.0,
       9.0,
       6.0,
       2,
       1200,
       1,
       600,
       0},
      // An above reading before a 3-hour outage stands for 10 minutes, not 3 hours.
      {"a gap", {At(0, 5.0), At(10, 9.0, 1), At(190, 9.0, 1), At(200, 5.0)}, 4, 4, 5.0, 9.0, 7.0, 2, 1200, 0, 0, 1},
      {"offline readings are counted but have no value",
       {At(0, 4.0), At(10, 0.0, 3), At(20, 6.0)},
       3,
       2,
       4.0,
       6.0,
       5.0,
       0,
       0,
       0,
       0,
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const DeviceStats s = ComputeDeviceStats(c.readings);
    EXPECT_EQ(s.count, c.count);
    EXPECT_EQ(s.temperature.valued, c.valued);
    EXPECT_EQ(s.hasMkt, c.valued > 0);
    if (c.valued) {
      EXPECT_DOUBLE_EQ(s.temperature.min, c.min);
      EXPECT_DOUBLE_EQ(s.temperature.max, c.max);
      EXPECT_DOUBLE_EQ(s.temperature.mean, c.mean);
    }
    EXPECT_EQ(s.temperature.above, c.above);
    EXPECT_EQ(s.temperature.aboveSeconds, c.aboveSeconds);
    EXPECT_EQ(s.temperature.below, c.below);
    EXPECT_EQ(s.temperature.belowSeconds, c.belowSeconds);
    EXPECT_EQ(s.gaps, c.gaps);
  }
}

TEST(HistoryStatistics, DatetimesAndDurationsAsText) {
  for (const char* text : {"1970-01-01 00:00:00", "2024-02-29 23:59:59", "2024-03-01 00:00:00", "2026-12-31 12:34:56"})
    EXPECT_EQ(DatetimeText(DatetimeSeconds(text)), text);
  EXPECT_EQ(DatetimeSeconds("2024-03-01 00:00:00") - DatetimeSeconds("2024-02-28 00:00:00"), 2 * 86400);
  EXPECT_EQ(DurationText(0), "0:00:00");
  EXPECT_EQ(DurationText(90061), "25:01:01");
}

TEST(HistoryStatistics, SummaryOfStoredRowsPerDevice) {
  HistoryRowStore rows;
  const auto add = [&](const char* id, const char* datetime, const char* tempe, const char* code, const char* hum,
                       const char* humCode) {
    rows.Append(
        {id, "C", "D", datetime, tempe, code, hum, humCode, "30", "3.6", "1", platform::Utf8ToGbk("探头"), "1"});
  };
  add("D2", "2024-05-01 00:10:00", "20.0", "0", "60.0", "1");
  add("D1", "2024-05-01 00:00:00", "0", "3", "0", "4");
  add("D2", "2024-05-01 00:00:00", "22.0", "0", "40.0", "2");
  const std::vector<DeviceSummary> summaries = SummariseRows(rows);
  ASSERT_EQ(summaries.size(), 2u);
  const QStringList d2 = SummaryCells(summaries[0]);
  ASSERT_EQ(d2.size(), kSummaryColumnCount);
  EXPECT_EQ(d2.mid(0, 9), QStringList({"D2", "探头", "2", "2024-05-01 00:00:00", "2024-05-01 00:10:00", "20.00",
                                       "22.00", "21.00", "21.05"}));
  EXPECT_EQ(d2.mid(16, 4), QStringList({"1", "0:10:00", "1", "0:10:00"}));
  const QStringList d1 = SummaryCells(summaries[1]);
  EXPECT_EQ(d1.mid(2, 7), QStringList({"1", "2024-05-01 00:00:00", "2024-05-01 00:00:00", "--", "--", "--", "--"}));
}

TEST(HistoryStatistics, ReadingsWithoutANumberAreMissingNotZero) {
  HistoryRowStore rows;
  const auto add = [&](const char* id, int minute, const char* tempe, const char* code, const char* hum,
                       const char* humCode) {
    const std::string datetime = DatetimeText(DatetimeSeconds("2024-05-01 00:00:00") + minute * 60LL);
    rows.Append({id, "C", "D", datetime, tempe, code, hum, humCode, "30", "3.6", "1", "N", "1"});
  };
  // Ten readings, two temperatures and one humidity NULL (an empty text) with code 0, as
  // collectors write them. By hand: the eight temperatures sum to 163.6, mean 20.45, MKT
  // 20.456; the lowest humidity is 50.0.
  const char* tempe[] = {"20.0", "", "20.1", "20.2", "20.3", "", "20.5", "20.7", "20.8", "21.0"};
  const char* hum[] = {"50.0", "52.0", "", "54.0", "55.0", "56.0", "57.0", "58.0", "59.0", "60.0"};
  for (int i = 0; i < 10; ++i) add("D1", i * 10, tempe[i], "0", hum[i], "0");
  // No numbers at all; the codes 1 and 2 must not count time above or below a limit.
  add("D2", 0, "abc", "1", "nan", "2");
  add("D2", 10, "1e39", "1", "inf", "0");
  add("D2", 20, "", "2", "-nan", "1");
  const std::vector<DeviceSummary> summaries = SummariseRows(rows);
  ASSERT_EQ(summaries.size(), 2u);
  const QStringList d1 = SummaryCells(summaries[0]);
  EXPECT_EQ(d1.mid(5, 4), QStringList({"20.00", "21.00", "20.45", "20.46"}));
  EXPECT_EQ(d1.mid(13, 3), QStringList({"50.00", "60.00", "55.67"}));
  EXPECT_EQ(d1[2], "10");
  EXPECT_EQ(d1.mid(22), QStringList({"2", "1"}));  // missing temperatures, humidities
  const QStringList d2 = SummaryCells(summaries[1]);
  EXPECT_EQ(d2.mid(5, 8), QStringList({"--", "--", "--", "--", "0", "0:00:00", "0", "0:00:00"}));
  EXPECT_EQ(d2.mid(13, 7), QStringList({"--", "--", "--", "0", "0:00:00", "0", "0:00:00"}));
  EXPECT_EQ(d2.mid(22), QStringList({"3", "3"}));

  // The appended columns keep the first 22 titles where they were.
  EXPECT_STREQ(kSummaryColumnTitles[21], "最长间隔");
  EXPECT_STREQ(kSummaryColumnTitles[22], "温度缺失数");
}

TEST(HistoryStatistics, SummaryLineNeverSplits) {
  EXPECT_EQ(SummaryLine({"D1", "一号\t冷库\r\n北", "3"}), QString::fromUtf8("D1\t一号 冷库  北\t3"));
}

}  // namespace
