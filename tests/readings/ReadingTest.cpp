#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "DecimalCommaLocale.h"
#include "Reading.h"
#include "ReadingGaps.h"

using namespace readings;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(Reading, TextsAsValuesAndCodesInEveryLocale) {
  const struct {
    const char* text;
    double value;  // NaN: no value
    std::int32_t code;
  } cases[] = {
      {"", kNaN, kCodeNotReported},  // SQL NULL
      {"abc", kNaN, kCodeNotReported},
      {"nan", kNaN, kCodeNotReported},
      {"inf", kNaN, kCodeNotReported},
      {"-inf", kNaN, kCodeNotReported},
      {"1e39", kNaN, 1},  // no float holds it; as a code, its leading integer
      {"3.4e38", 3.4e38, 3},
      {"99999999999", 99999999999.0, kMax},  // beyond 32 bits: pinned, never wrapped onto 0..4
      {"-99999999999", -99999999999.0, kCodeNotReported + 1},
      {"01", 1.0, 1},
      {" 3", 3.0, 3},
      {"+2", 2.0, 2},
      {"21.5", 21.5, 21},
      {"-12.25", -12.25, -12},
  };
  const auto check = [&](const char* locale) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(locale) + " \"" + c.text + "\"");
      const double value = ParseDecimal(c.text);
      if (std::isnan(c.value))
        EXPECT_TRUE(std::isnan(value)) << value;
      else
        EXPECT_EQ(value, c.value);
      EXPECT_EQ(ParseCode(c.text), c.code);
    }
  };
  check("C");
  if (!testlocale::UseDecimalComma()) GTEST_SKIP() << "no decimal-comma locale (the locales package and localedef)";
  check(testlocale::kDecimalComma);
  std::setlocale(LC_NUMERIC, "C");
}

TEST(Reading, ChannelStatesAndFaultLines) {
  const struct {
    double value;
    std::int32_t code;
    ChannelState state;
    bool alarm, measured;
  } states[] = {
      {21.5, kAlarmNormal, ChannelState::Normal, false, true},
      {21.5, kAlarmHigh, ChannelState::High, true, true},
      {21.5, kAlarmLow, ChannelState::Low, true, true},
      {0.0, kAlarmSensorOffline, ChannelState::SensorOffline, true, false},
      {kNaN, kAlarmSensorOffline, ChannelState::SensorOffline, true, false},  // code 3 wins
      {21.5, kAlarmNoValue, ChannelState::NoValue, false, false},
      {kNaN, kAlarmNormal, ChannelState::NoValue, false, false},
      {kNaN, kAlarmHigh, ChannelState::NoValue, false, false},  // no value is never above a limit
      {21.5, kMax, ChannelState::UnknownCode, true, true},
      {21.5, kCodeNotReported, ChannelState::UnknownCode, true, true},
      {kNaN, 7, ChannelState::NoValue, false, false},
  };
  for (const auto& c : states) {
    SCOPED_TRACE(std::to_string(c.value) + " / " + std::to_string(c.code));
    EXPECT_EQ(ChannelStateOf(c.value, c.code), c.state);
    EXPECT_EQ(IsAlarm(c.state), c.alarm);
    EXPECT_EQ(IsMeasured(c.state), c.measured);
  }
  EXPECT_EQ(ParseChannel("nan", "0").State(), ChannelState::NoValue);

  const Channel ok{21.5, 0}, offline{0, kAlarmSensorOffline}, none{kNaN, 0};
  EXPECT_EQ(FaultLineOf(ok, ok, false), FaultLine::Normal);
  EXPECT_EQ(FaultLineOf(ok, offline, true), FaultLine::SensorOffline);  // either channel, over a comm loss
  EXPECT_EQ(FaultLineOf(offline, ok, false), FaultLine::SensorOffline);
  EXPECT_EQ(FaultLineOf(ok, ok, true), FaultLine::CommunicationLost);
  EXPECT_EQ(FaultLineOf(none, none, false), FaultLine::NoReading);
  EXPECT_EQ(FaultLineOf(none, ok, false), FaultLine::Normal);

  EXPECT_FALSE(IsCommunicationLost(120000, 120)) << "exactly the time-out is not yet a loss";
  EXPECT_TRUE(IsCommunicationLost(120001, 120));
  EXPECT_TRUE(IsCommunicationLost(1, 0));
  EXPECT_FALSE(IsCommunicationLost(0xFFFFFFFFu, -1));
}

TEST(ReadingGaps, GapThresholdIsThreeMediansAndAtLeastFiveMinutes) {
  const struct {
    std::vector<long long> spacings;
    long long threshold;
  } cases[] = {
      {{}, 300}, {{60, 60, 60}, 300}, {{600, 600, 7200}, 1800}, {{30, 40, 3530}, 300}, {{3600}, 10800},
  };
  for (const auto& c : cases) EXPECT_EQ(GapThresholdSeconds(c.spacings), c.threshold);
  EXPECT_EQ(MedianSpacing({}), 0);
  EXPECT_EQ(MedianSpacing({600, 60, 7200}), 600);
}

}  // namespace
