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
