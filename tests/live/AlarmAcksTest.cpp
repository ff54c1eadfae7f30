// Open events and their acknowledgements: an event is its device, kind and starting reading.
#include <gtest/gtest.h>

#include "AlarmAcks.h"

namespace {

using readings::DeviceEvent;
using readings::EventEdge;
using readings::EventKind;

TEST(AlarmAcks, AnAcknowledgedEventThatEndsAndBeginsAgainIsNew) {
  AlarmAcks acks;
  std::string time = "2024-05-01 10:00:00";
  const auto at = [&](const std::string&) { return time; };
  const DeviceEvent high{"D1", EventKind::TemperatureHigh, EventEdge::Start, true};
  const DeviceEvent hidden{"D2", EventKind::SupplyLost, EventEdge::Start, false};
  EXPECT_EQ(acks.Apply(std::vector{high, hidden}, at).size(), 2u);
  EXPECT_EQ(acks.Unacknowledged(), 1) << "hidden devices do not count";
  acks.MarkAcknowledged("D1", EventKind::TemperatureHigh, "2024-05-01 09:59:00");
  EXPECT_EQ(acks.Unacknowledged(), 1) << "another start is another event";
  acks.MarkAcknowledged("D1", EventKind::TemperatureHigh, time);
  EXPECT_EQ(acks.Unacknowledged(), 0);

  acks.Apply(std::vector{DeviceEvent{"D1", EventKind::TemperatureHigh, EventEdge::End, true}}, at);
  EXPECT_TRUE(acks.OpenOf("D1").empty());
  time = "2024-05-01 11:00:00";
  acks.Apply(std::vector{high}, at);
  ASSERT_EQ(acks.OpenOf("D1").size(), 1u);
  EXPECT_FALSE(acks.OpenOf("D1")[0].acknowledged);
  EXPECT_EQ(acks.OpenOf("D1")[0].start, time);
  EXPECT_EQ(acks.Unacknowledged(), 1);
}

}  // namespace
