// Cell texts and colours of the live table, case by case.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "DecimalCommaLocale.h"
#include "LiveTableFill.h"
#include "LiveTableRules.h"
#include "SampleState.h"

using namespace livetable;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr std::int32_t kHugeCode = std::numeric_limits<std::int32_t>::max();  // "99999999999", pinned

struct CodeCase {
  float value;
  int code;
  const char* text;
  QRgb colour;
};

TEST(LiveTableRules, TemperatureCellByAlarmCode) {
  const CodeCase cases[] = {
      {25.3f, 0, "025.3", kNormalGreen},
      {25.3f, 1, "025.3 ↑", kAlarmRed},
      {-5.2f, 2, "-05.2 ↓", kAlarmRed},
      {31.0f, 3, "000.0   ", kAlarmRed},  // sensor offline shows zero, not the stale value
      {31.0f, 4, "--", kNormalGreen},
      {31.0f, 7, "031.0   ", kAlarmRed},  // an unknown code keeps the measured value, no arrow
      {31.0f, -1, "031.0   ", kAlarmRed},
      {105.0f, 0, "105.0", kNormalGreen},
      {kNaN, 0, "--", kNormalGreen},  // NULL, garbage or 1e39: no value, never "nan" or 0
      {kNaN, 1, "--", kNormalGreen},
      {kNaN, 3, "000.0   ", kAlarmRed},
      {31.0f, kHugeCode, "031.0   ", kAlarmRed},  // an unknown code is an alarm, never normal
      {5.0f, kCodeNotReported, "005.0   ", kAlarmRed},
      {kNaN, kCodeNotReported, "--", kNormalGreen},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(TemperatureCell(c.value, c.code), (CellLook{QString::fromUtf8(c.text), c.colour}));
  }
}

TEST(LiveTableRules, HumidityCellByAlarmCode) {
  const CodeCase cases[] = {
      {55.5f, 0, "55.5   ", kNormalGreen}, {55.5f, 1, "55.5 ↑", kAlarmRed},          {5.5f, 2, "05.5 ↓", kAlarmRed},
      {55.5f, 3, "55.5  ", kAlarmRed},  // keeps the value, two blanks
      {55.5f, 4, "--", kNormalGreen},      {55.5f, 9, "55.5   ", kAlarmRed},         {kNaN, 0, "--", kNormalGreen},
      {kNaN, 3, "--", kAlarmRed},          {55.5f, kHugeCode, "55.5   ", kAlarmRed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(HumidityCell(c.value, c.code), (CellLook{QString::fromUtf8(c.text), c.colour}));
  }
}

TEST(LiveTableRules, VoltageCellByPowerSource) {
  const CodeCase cases[] = {
      {12.0f, 0, "12.0 电池", kAlarmRed},
      {12.0f, 1, "12.0 市电", kBlack},
      {5.5f, 1, "05.5 市电", kBlack},
      {3.6f, 2, "03.6", kBlack},
      {3.6f, kCodeNotReported, "03.6", kBlack},  // NULL source: unknown, not battery
      {kNaN, kPowerBattery, "-- 电池", kAlarmRed},
      {kNaN, kCodeNotReported, "--", kBlack},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    EXPECT_EQ(VoltageCell(c.value, c.code), (CellLook{QString::fromUtf8(c.text), c.colour}));
  }
}

TEST(LiveTableRules, FaultStateSensorBeforeCommunication) {
  const struct {
    int temperatureAlarm, humidityAlarm;
    bool lost;
    const char* text;
    QRgb colour;
  } cases[] = {
      {0, 0, false, "正常", kNormalGreen},
      {1, 2, false, "正常", kNormalGreen},
      {4, 4, false, "正常", kNormalGreen},
      {3, 0, false, "传感器掉线", kAlarmRed},
      {0, 3, true, "传感器掉线", kAlarmRed},
      {0, 0, true, "通讯掉线", kOfflineBlue},
      {kCodeNotReported, 0, false, "正常", kNormalGreen},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FaultStateCell(Sample(20, c.temperatureAlarm, 50, c.humidityAlarm), c.lost),
              (CellLook{QString::fromUtf8(c.text), c.colour}));
  }
  // A device that delivered no value on either channel is not claimed normal.
  EXPECT_EQ(FaultStateCell(Sample(kNaN, 4, kNaN, 4), false), (CellLook{"--", kNormalGreen}));
  EXPECT_EQ(FaultStateCell(Sample(kNaN, 4, kNaN, 4), true).text, "通讯掉线");
  EXPECT_EQ(FaultStateCell(Sample(kNaN, 4, 50, 0), false).text, "正常");
}

TEST(LiveTableRules, NumberTexts) {
  EXPECT_EQ(CurrentText(35.9f), "35");
  EXPECT_EQ(CurrentText(-35.9f), "-35");
  EXPECT_EQ(CurrentText(0.0f), "0");
  // Values no int can hold must not reach the conversion.
  EXPECT_EQ(CurrentText(kNaN), "--");
  EXPECT_EQ(CurrentText(std::numeric_limits<float>::infinity()), "--");
  EXPECT_EQ(CurrentText(1e20f), "2147483647");
  EXPECT_EQ(CurrentText(-1e20f), "-2147483648");
  EXPECT_EQ(InternalTemperatureText(36.5f), "36.5");
  EXPECT_EQ(InternalTemperatureText(-3.0f), "-3.0");
  EXPECT_EQ(InternalTemperatureText(kNaN), "--");
}

TEST(LiveTableRules, WhichRecordsGetARow) {
  DeviceLiveRecord r;
  r.shown = 1;
  EXPECT_FALSE(GetsRow(r)) << "no sample yet";
  r.AppendSample({});
  EXPECT_TRUE(GetsRow(r));
  r.shown = 0;
  EXPECT_FALSE(GetsRow(r));
  r.shown = 1;
  for (int i = 0; i < 399; ++i) r.AppendSample({});  // the ring drops and wraps: ringWrite 0
  ASSERT_EQ(r.ringWrite, 0);
  EXPECT_TRUE(GetsRow(r));
  r.ringWrite = 401;
  EXPECT_FALSE(GetsRow(r)) << "a corrupt ring index is skipped";
  r.ringWrite = -1;
  EXPECT_FALSE(GetsRow(r));
}

TEST(LiveTableRules, RowUsesTheLatestSampleAndTheRecordTexts) {
  auto table = DeviceLiveTable::Create();
  DeviceLiveRecord& r = AddRecord(*table, {"1000000001", "冷库一号", "华东公司", "仓储部"}, Sample(1, 0, 1, 0));
  r.AppendSample(Sample(-18.5f, 2, 45.0f, 0, kPowerBattery, 11.8f, 12.3f, 20.0f));
  r.changeTick = 5000;

  GbkTextCache texts;
  const RowLook row = RowFor(r, 6000, 120, texts);
  const QStringList expected = {"1000000001",          "冷库一号", "华东公司", "仓储部",
                                "2024-05-01 10:00:00", "-18.5 ↓",  "45.0   ",  "20.0",
                                "11.8 电池",           "12",       "正常"};
  for (int c = 0; c < kColumnCount; ++c) EXPECT_EQ(row.texts[c], expected[c]) << "column " << c;
  EXPECT_EQ(row.colours[kColTemperature], kAlarmRed);
  EXPECT_EQ(row.colours[kColHumidity], kNormalGreen);
  EXPECT_EQ(row.colours[kColVoltage], kAlarmRed);
  EXPECT_EQ(row.colours[kColFaultState], kNormalGreen);
  EXPECT_EQ(row.colours[kColReadingTime], kBlack);

  // Silent with a dead sensor: the fault column keeps its red, the reading time turns blue.
  r.AppendSample(Sample(0, 3, 45.0f, 0));
  const RowLook silent = RowFor(r, 5000 + 120001, 120, texts);
  EXPECT_EQ(silent.texts[kColFaultState], "传感器掉线");
  EXPECT_EQ(silent.colours[kColFaultState], kAlarmRed);
  EXPECT_EQ(silent.colours[kColReadingTime], kOfflineBlue);
}

TEST(LiveTableRules, NumbersIgnoreTheProcessLocale) {
  // Qt adopts the user's locale; a decimal comma there must not reach the cells.
  if (!testlocale::UseDecimalComma()) GTEST_SKIP() << "no decimal-comma locale can be had";
  EXPECT_EQ(TemperatureCell(25.3f, 1).text, "025.3 ↑");
  EXPECT_EQ(HumidityCell(5.5f, 2).text, "05.5 ↓");
  EXPECT_EQ(VoltageCell(12.0f, kPowerMains).text, "12.0 市电");
  EXPECT_EQ(InternalTemperatureText(-3.0f), "-3.0");
  std::setlocale(LC_NUMERIC, "C");
}

TEST(LiveTableRules, CommunicationLossFromTheChangeTick) {
  DeviceLiveRecord r;
  r.AppendSample({});
  GbkTextCache texts;
  const auto state = [&](std::uint32_t now) { return RowFor(r, now, 120, texts).texts[kColFaultState].toStdString(); };
  r.changeTick = 1000;
  EXPECT_EQ(state(1000 + 120000), "正常") << "exactly the time-out is not yet a loss";
  EXPECT_EQ(state(1000 + 120001), "通讯掉线");
  r.changeTick = 0xFFFFFF00u;  // across the wrap of the tick counter
  EXPECT_EQ(state(0x100), "正常");
  EXPECT_EQ(state(0xFFFFFF00u + 200000u), "通讯掉线");
  r.changeTick = 0;  // never changed: never lost
  EXPECT_EQ(state(0x7FFFFFFF), "正常");
}

TEST(GbkTextCache, DecodesRepeatedNamesAndStaysBounded) {
  GbkTextCache texts;
  const std::string name = platform::Utf8ToGbk("华东公司");
  EXPECT_EQ(texts.Decode(name), "华东公司");
  EXPECT_EQ(texts.Decode(name), "华东公司");
  EXPECT_EQ(texts.Decode("2024-05-01 10:00:00"), "2024-05-01 10:00:00");
  EXPECT_EQ(texts.Size(), 1u) << "ASCII is not cached";
  EXPECT_EQ(texts.Decode("\xb0"), platform::FromGbk("\xb0")) << "a truncated character decodes as without the cache";
  for (std::size_t i = 0; i < GbkTextCache::kLimit; ++i) texts.Decode(name + std::to_string(i));
  EXPECT_LE(texts.Size(), GbkTextCache::kLimit);
  EXPECT_EQ(texts.Decode(name), "华东公司");
}

}  // namespace
