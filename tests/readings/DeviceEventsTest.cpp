// The per-device event detector: states followed by device id, whatever order the devices come
// in, each start and end reported once, and the bell's rule over them.
#include <gtest/gtest.h>

#include "DeviceEvents.h"

using namespace readings;

namespace {

constexpr std::uint8_t kAlarm = kBitValueAlarm, kOffline = kBitSensorOffline, kLost = kBitCommunicationLost;
constexpr auto kStart = EventEdge::Start, kEnd = EventEdge::End;

TEST(DeviceEvents, StatesAreFollowedPerDeviceId) {
  const struct {
    const char* what;
    std::vector<DeviceStates> feed;
    std::vector<DeviceEvent> events;
    bool rings;
  } steps[] = {
      {"first look",
       {{"a", kAlarm, true}, {"b", 0, true}, {"h", kOffline, false}},
       {{"a", AlarmKind::ValueAlarm, kStart, true}, {"h", AlarmKind::SensorOffline, kStart, false}},
       true},
      {"a and b change slots", {{"b", 0, true}, {"a", kAlarm, true}, {"h", kOffline, false}}, {}, false},
      {"a also lost",
       {{"b", 0, true}, {"a", kAlarm | kLost, true}, {"h", kOffline, false}},
       {{"a", AlarmKind::CommunicationLost, kStart, true}},
       true},
      {"a back to normal",
       {{"b", 0, true}, {"a", 0, true}, {"h", kOffline, false}},
       {{"a", AlarmKind::ValueAlarm, kEnd, true}, {"a", AlarmKind::CommunicationLost, kEnd, true}},
       false},
      {"a stays normal", {{"b", 0, true}, {"a", 0, true}, {"h", kOffline, false}}, {}, false},
      {"h checked while offline", {{"b", 0, true}, {"a", 0, true}, {"h", kOffline, true}}, {}, false},
      {"h removed", {{"b", 0, true}, {"a", 0, true}}, {{"h", AlarmKind::SensorOffline, kEnd, true}}, false},
      {"h added again, offline",
       {{"h", kOffline, true}, {"b", 0, true}, {"a", 0, true}},
       {{"h", AlarmKind::SensorOffline, kStart, true}},
       true},
      {"a repeated: its first entry counts",
       {{"h", kOffline, true}, {"b", 0, true}, {"a", 0, true}, {"a", kAlarm, true}},
       {},
       false},
      {"hidden b in alarm",
       {{"h", kOffline, true}, {"b", kAlarm, false}, {"a", 0, true}},
       {{"b", AlarmKind::ValueAlarm, kStart, false}},
       false},
  };
  DeviceEventDetector detector;
  for (const auto& step : steps) {
    const std::vector<DeviceEvent> events = detector.Feed(step.feed);
    EXPECT_EQ(events, step.events) << step.what;
    EXPECT_EQ(RingsBell(events), step.rings) << step.what;
  }
}

}  // namespace
