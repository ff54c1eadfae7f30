// Merging live-query rows into the live table: record lookup and creation, the capacity,
// the ring's drop rule, changeTick and values that arrive as NULL or garbage.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "LiveTableRules.h"
#include "ReadingClock.h"
#include "ReadingTime.h"
#include "RefreshLiveTable.h"
#include "SampleState.h"
#include "TileRules.h"

namespace {

LiveRow Row(const std::string& id, const std::string& time = "2024-05-01 10:00:00", const std::string& tempe = "21.5",
            const std::string& tempeAlarm = "0", const std::string& hum = "45.0", const std::string& humAlarm = "0") {
  return {id, "company", "dept", time, tempe, tempeAlarm, hum, humAlarm, "30.5", "3.6", "1", "12.7", "name-" + id};
}

class ApplyLiveRowsTest : public ::testing::Test {
 protected:
  std::unique_ptr<DeviceLiveTable> table = DeviceLiveTable::Create();
  void Apply(const std::vector<LiveRow>& rows, std::uint32_t tick = 1000) { ApplyLiveRows(*table, rows, tick); }
  const DeviceLiveRecord& Record(int slot) { return table->records[static_cast<std::size_t>(slot)]; }
};

TEST_F(ApplyLiveRowsTest, NewDeviceFillsTheNextSlotWithOneSampleAndIsShown) {
  Apply({Row("D000000001"), Row("D000000002")});
  ASSERT_EQ(table->LiveCount(), 2);
  const DeviceLiveRecord& r = Record(1);
  EXPECT_EQ(r.deviceId, "D000000002");
  EXPECT_EQ(r.deviceName, "name-D000000002");
  EXPECT_EQ(r.companyName, "company");
  EXPECT_EQ(r.departmentName, "dept");
  EXPECT_EQ(r.readingTime, "2024-05-01 10:00:00");
  EXPECT_EQ(r.present, 1);
  EXPECT_EQ(r.shown, 1);
  EXPECT_EQ(r.SampleCount(), 1);
  const LiveSample& s = r.LatestSample();
  EXPECT_FLOAT_EQ(s.temperature, 21.5f);
  EXPECT_FLOAT_EQ(s.humidity, 45.0f);
  EXPECT_FLOAT_EQ(s.internalTemperature, 30.5f);
  EXPECT_FLOAT_EQ(s.voltage, 3.6f);
  EXPECT_EQ(s.powerSource, kPowerMains);
  EXPECT_FLOAT_EQ(s.current, 12.7f);
}

TEST_F(ApplyLiveRowsTest, RepeatedRowIsMergedIntoOneRecordWithTwoSamples) {
  Apply({Row("D000000001"), Row("D000000001")});
  EXPECT_EQ(table->LiveCount(), 1);
  EXPECT_EQ(Record(0).SampleCount(), 2);
}

TEST_F(ApplyLiveRowsTest, ExistingRecordKeepsItsSlotAndShownFlag) {
  Apply({Row("A"), Row("B")});
  table->records[1].shown = 0;
  Apply({Row("B", "2024-05-01 10:00:10"), Row("C")});
  EXPECT_EQ(table->LiveCount(), 3);
  EXPECT_EQ(Record(1).deviceId, "B");
  EXPECT_EQ(Record(1).shown, 0);
  EXPECT_EQ(Record(1).SampleCount(), 2);
  EXPECT_EQ(Record(0).SampleCount(), 1);  // not returned: keeps its last values
  EXPECT_EQ(Record(2).deviceId, "C");
}

TEST_F(ApplyLiveRowsTest, ChangeTickMovesOnlyWhenTheReadingTimeChanges) {
  Apply({Row("A", "2024-05-01 10:00:00")}, 5000);
  EXPECT_EQ(Record(0).changeTick, 5000u);
  Apply({Row("A", "2024-05-01 10:00:00")}, 15000);
  EXPECT_EQ(Record(0).changeTick, 5000u);
  Apply({Row("A", "2024-05-01 10:00:10")}, 25000);
  EXPECT_EQ(Record(0).changeTick, 25000u);
  EXPECT_EQ(Record(0).SampleCount(), 3);  // a sample per refresh, changed or not
}

TEST_F(ApplyLiveRowsTest, EmptyOrUnchangedReadingTimeTurnsLostAfterTheTimeOut) {
  Apply({Row("A", ""), Row("B")}, 5000);
  for (std::uint32_t later : {15000u, 115000u, 125001u}) Apply({Row("A", ""), Row("B")}, later);
  for (int slot : {0, 1}) {
    EXPECT_FALSE(IsCommunicationLost(Record(slot), 5000 + 120000, 120)) << slot;
    EXPECT_TRUE(IsCommunicationLost(Record(slot), 5000 + 120001, 120)) << slot;
  }
  Apply({Row("A", "2024-05-01 10:00:10")}, 130000);
  EXPECT_FALSE(IsCommunicationLost(Record(0), 131000, 120)) << "a first reading is a change";
}

TEST_F(ApplyLiveRowsTest, ReadingAlreadyOlderThanTheTimeOutAtStartIsLostAtOnce) {
  const std::int64_t now = *readings::ReadingSeconds("2024-05-01 10:05:00");
  ApplyLiveRows(*table,
                std::vector<LiveRow>{Row("old", "2024-05-01 10:02:59"), Row("fresh", "2024-05-01 10:04:50"),
                                     Row("future", "2024-05-01 10:06:00"), Row("odd", "yesterday")},
                5000, now);
  EXPECT_TRUE(IsCommunicationLost(Record(0), 5000, 120));
  EXPECT_FALSE(IsCommunicationLost(Record(1), 5000 + 109000, 120)) << "fresh: lost 120 s after its own time";
  EXPECT_TRUE(IsCommunicationLost(Record(1), 5000 + 110001, 120));
  for (int slot : {2, 3}) {
    EXPECT_EQ(Record(slot).changeTick, 5000u) << "no usable age: from the fill";
  }
  ApplyLiveRows(*table, std::vector<LiveRow>{Row("old", "2024-05-01 10:05:00")}, 15000, now + 10);
  EXPECT_FALSE(IsCommunicationLost(Record(0), 15000, 120)) << "a new reading counts from the refresh";
}

TEST(ReadingClock, CivilSecondsOfReadingTimes) {
  EXPECT_EQ(readings::ReadingSeconds("1970-01-01 00:00:00"), 0);
  EXPECT_EQ(
      readings::ReadingSeconds("2024-03-01 00:00:00").value() - readings::ReadingSeconds("2024-02-28 23:59:59").value(),
      86401);  // leap day
  EXPECT_EQ(liveclock::CivilSeconds(platform::LocalTime{2024, 5, 1, 10, 0, 1}),
            readings::ReadingSeconds("2024-05-01 10:00:01"));
  for (const char* bad : {"", "2024-05-01", "2024-05-01 10:00", "2023-02-29 10:00:00", "2024-13-01 10:00:00",
                          "2024-05-01 24:00:00", "2024-05-01T10:00:00", "2024-05-01 10:0a:00", "2024-05-01 10:00:00 "})
    EXPECT_FALSE(readings::ReadingSeconds(bad).has_value()) << bad;
}

TEST_F(ApplyLiveRowsTest, RecordsAreFoundByTheirIdAndAddedOnceEach) {
  Apply({Row("A"), Row("B")});
  ASSERT_NE(table->Add("C"), nullptr);  // as the views' tests fill a table
  EXPECT_EQ(table->Add("C"), nullptr) << "one record per id";
  Apply({Row("C"), Row("A"), Row("a")});
  EXPECT_EQ(table->LiveCount(), 4);
  EXPECT_EQ(table->Find("C"), &Record(2));
  EXPECT_EQ(Record(2).SampleCount(), 1);
  EXPECT_EQ(Record(0).SampleCount(), 2);
  EXPECT_EQ(Record(3).deviceId, "a") << "ids compare byte for byte";
  EXPECT_EQ(table->Find("Z"), nullptr);
}

TEST_F(ApplyLiveRowsTest, DevicesBeyondTheCapacityAreIgnored) {
  std::vector<LiveRow> rows;
  for (int i = 0; i < DeviceLiveTable::kCapacity + 1; ++i) rows.push_back(Row("D" + std::to_string(i)));
  Apply(rows);
  EXPECT_EQ(table->LiveCount(), DeviceLiveTable::kCapacity);
  EXPECT_EQ(Record(DeviceLiveTable::kCapacity - 1).deviceId, "D1023");
  EXPECT_TRUE(table->overCapacity);
  Apply({Row("D1024"), Row("D0")});
  EXPECT_EQ(table->LiveCount(), DeviceLiveTable::kCapacity);
  EXPECT_EQ(Record(0).SampleCount(), 2);  // known devices still update when the table is full
}

TEST_F(ApplyLiveRowsTest, FullRingDropsTheOldestTwoHundred) {
  for (int i = 0; i < 399; ++i) Apply({Row("A")});
  EXPECT_EQ(Record(0).SampleCount(), 399);
  EXPECT_EQ(Record(0).ringStart, 0);
  Apply({Row("A")});  // the 400th
  EXPECT_EQ(Record(0).ringStart, 200);
  EXPECT_EQ(Record(0).ringWrite, 0);
  EXPECT_EQ(Record(0).SampleCount(), 200);
  for (int i = 0; i < 200; ++i) Apply({Row("A")});
  EXPECT_EQ(Record(0).ringStart, 0);
  EXPECT_EQ(Record(0).ringWrite, 200);
  EXPECT_EQ(Record(0).SampleCount(), 200);
}

TEST_F(ApplyLiveRowsTest, NewestSampleFollowsTheRingAcrossItsEnd) {
  for (int i = 0; i < 400; ++i) Apply({Row("A", "t", std::to_string(i))});
  EXPECT_EQ(Record(0).LatestSampleIndex(), 399);
  EXPECT_FLOAT_EQ(Record(0).LatestSample().temperature, 399.0f);
  Apply({Row("A", "t", "-5.5")});
  EXPECT_EQ(Record(0).LatestSampleIndex(), 0);
  EXPECT_FLOAT_EQ(Record(0).LatestSample().temperature, -5.5f);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct BadValueCase {
  const char* name;
  LiveRow row;
  std::int32_t temperatureAlarm, humidityAlarm;
  float temperature;  // NaN: no value
};

class LiveRowBadValues : public ::testing::TestWithParam<BadValueCase> {};

TEST_P(LiveRowBadValues, MissingValuesReadAsNoValueAndCodesNeverWrapOntoValidOnes) {
  auto table = DeviceLiveTable::Create();
  const std::vector<LiveRow> rows{GetParam().row};
  ApplyLiveRows(*table, rows, 1);
  ASSERT_EQ(table->LiveCount(), 1);
  const LiveSample& s = table->records[0].LatestSample();
  EXPECT_EQ(s.temperatureAlarm, GetParam().temperatureAlarm);
  EXPECT_EQ(s.humidityAlarm, GetParam().humidityAlarm);
  if (std::isnan(GetParam().temperature)) {
    EXPECT_TRUE(std::isnan(s.temperature)) << s.temperature;
  } else {
    EXPECT_FLOAT_EQ(s.temperature, GetParam().temperature);
  }
}

constexpr std::int32_t kNone = kCodeNotReported;
constexpr std::int32_t kHuge = std::numeric_limits<std::int32_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, LiveRowBadValues,
    ::testing::Values(
        BadValueCase{"AllPresent", Row("A", "t", "20.0", "1", "40.0", "2"), 1, 2, 20.0f},
        BadValueCase{"NullTemperature", Row("A", "t", "", "0", "40.0", "0"), kAlarmNoValue, 0, kNaN},
        BadValueCase{"NullHumidityAlarmHigh", Row("A", "t", "20.0", "0", "", "1"), 0, kAlarmNoValue, 20.0f},
        BadValueCase{"NullValueSensorOffline", Row("A", "t", "", "3", "", "3"), kAlarmSensorOffline,
                     kAlarmSensorOffline, kNaN},
        BadValueCase{"NullAlarmCode", Row("A", "t", "-3.5", "", "40.0", "x"), kNone, kNone, -3.5f},
        BadValueCase{"LeadingSpacesAndSign", Row("A", "t", " +7.25", " 1", "40", "0"), 1, 0, 7.25f},
        BadValueCase{"NotFinite", Row("A", "t", "nan", "0", "inf", "1"), kAlarmNoValue, kAlarmNoValue, kNaN},
        BadValueCase{"BeyondAFloatOrNoNumber", Row("A", "t", "1e39", "0", "abc", "0"), kAlarmNoValue, kAlarmNoValue,
                     kNaN},
        BadValueCase{"CodesBeyondThirtyTwoBits", Row("A", "t", "20", "99999999999", "40", "-99999999999"), kHuge,
                     kNone + 1, 20.0f}),
    [](const auto& info) { return std::string(info.param.name); });

// A row the collector left all NULL must not show a reading nobody measured.
TEST(ApplyLiveRowsAllNull, ShowsNoValueUnknownSourceAndNoNormalState) {
  auto table = DeviceLiveTable::Create();
  const std::vector<LiveRow> rows{{"A", "c", "d", "", "", "", "", "", "", "", "", "", "n"}};
  ApplyLiveRows(*table, rows, 1);
  const DeviceLiveRecord& r = table->records[0];
  EXPECT_EQ(r.LatestSample().powerSource, kCodeNotReported);

  GbkTextCache texts;
  const livetable::RowLook row = livetable::RowFor(r, 1, 120, texts);
  for (int column : {livetable::kColTemperature, livetable::kColHumidity, livetable::kColInternalTemperature,
                     livetable::kColVoltage, livetable::kColCurrent, livetable::kColFaultState})
    EXPECT_EQ(row.texts[static_cast<std::size_t>(column)], "--") << "column " << column;
  EXPECT_EQ(row.colours[livetable::kColVoltage], livetable::kBlack);

  const tiles::TileFace face = tiles::FaceFor({{}, {}, true, r.LatestSample(), false});
  EXPECT_EQ(face.temperature, QStringLiteral("-- ℃   "));
  EXPECT_EQ(face.humidity, QStringLiteral("--  %   "));
  EXPECT_EQ(face.state, QStringLiteral("--   "));
  EXPECT_EQ(face.supply, QStringLiteral("--V/--mA  --℃"));
  EXPECT_EQ(face.supplyColour, tiles::kBlack);
  EXPECT_EQ(face.innerBorder, tiles::kInnerBorderNormal);
}

TEST(ApplyLiveRowsShortRow, RowWithTooFewColumnsIsSkipped) {
  auto table = DeviceLiveTable::Create();
  const std::vector<LiveRow> rows{{"A", "c", "d"}};
  ApplyLiveRows(*table, rows, 1);
  EXPECT_EQ(table->LiveCount(), 0);
}

}  // namespace
