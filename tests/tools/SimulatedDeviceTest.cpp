#include <gtest/gtest.h>

#include <set>

#include "SimulatedDevice.h"

TEST(SimulatedDevice, AlarmCodesFollowTheLimits) {
  EXPECT_EQ(AlarmCode(30.1, 2, 30), 1);
  EXPECT_EQ(AlarmCode(30.0, 2, 30), 0);
  EXPECT_EQ(AlarmCode(1.9, 2, 30), 2);
}

TEST(SimulatedDevice, ThirtyDevicesShowEveryStateTheStationDisplays) {
  std::set<int> temperatureCodes, humidityCodes, powerCodes;
  bool silent = false;
  for (int i = 0; i < 30; ++i) {
    SimulatedDevice device("D", "C", "01", BehaviourForIndex(i), 7u + static_cast<unsigned>(i));
    device.StartOutsideLimit(ForcedAlarmForIndex(i));
    silent |= device.behaviour() == DeviceBehaviour::Silent;
    for (int step = 0; step < 2000; ++step) {
      const SimReading r = device.Step();
      temperatureCodes.insert(r.temperatureAlarm);
      humidityCodes.insert(r.humidityAlarm);
      powerCodes.insert(r.power);
      ASSERT_GE(r.humidity, 0.0);
      ASSERT_LE(r.humidity, 100.0);
    }
  }
  EXPECT_TRUE(silent);
  EXPECT_EQ(temperatureCodes, (std::set<int>{0, 1, 2, 3}));
  EXPECT_EQ(humidityCodes, (std::set<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(powerCodes, (std::set<int>{0, 1, 2}));
}

TEST(SimulatedDevice, ReadingsStayInTheDemoDataRanges) {
  // Mains about 12 V, battery 3.3-3.7 V; a cold room walks around 2-8 °C, a freezer continues at -18.
  for (int i = 0; i < 10; ++i) {
    SimulatedDevice device("D", "C", "01", BehaviourForIndex(i), 11u + static_cast<unsigned>(i));
    for (int step = 0; step < 500; ++step) {
      const SimReading r = device.Step();
      if (r.power == 0) {
        ASSERT_GE(r.voltage, 3.3);
        ASSERT_LE(r.voltage, 3.7);
      } else {
        ASSERT_NEAR(r.voltage, 12.0, 0.5);
      }
      if (r.temperatureAlarm != 3) {
        ASSERT_NEAR(r.temperature, 5.0, 6.0);
      }
    }
  }
  SimulatedDevice freezer("F", "C", "01", DeviceBehaviour::Normal, 3, SimStart{-18.0, 70.0});
  EXPECT_EQ(freezer.band().temperatureHigh, -15.0);
  EXPECT_NEAR(freezer.Step().temperature, -18.0, 1.0);
}

TEST(SimulatedDevice, ForcedDevicesShowEveryAlarmInTheirFirstReading) {
  const struct {
    int index;
    int temperatureAlarm, humidityAlarm;
  } cases[] = {{1, 1, 0}, {2, 2, 0}, {4, 0, 1}, {6, 0, 2}};
  for (const auto& c : cases) {
    SimulatedDevice device("D", "C", "01", BehaviourForIndex(c.index), 5, SimStart{5.0, 55.0});
    device.StartOutsideLimit(ForcedAlarmForIndex(c.index));
    const SimReading first = device.Step();
    EXPECT_EQ(first.temperatureAlarm, c.temperatureAlarm) << c.index;
    EXPECT_EQ(first.humidityAlarm, c.humidityAlarm) << c.index;
  }
}
