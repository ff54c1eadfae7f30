// The notices of live events (GBK names converted, one line for a person) and which are told:
// shown devices' starts, the ends of those told, repeats while open.
#include <gtest/gtest.h>

#include "EventNotice.h"
#include "LiveTableFill.h"

using namespace notice;
using readings::DeviceEvent;
using readings::EventKind;

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(EventNotice, CarriesTheDevicesTextsAndOneLineForAPerson) {
  auto table = DeviceLiveTable::Create();
  DeviceLiveRecord& r = AddRecord(*table, {"D01", "冷库一号", "华东公司", "仓储部", "2024-05-01 10:00:10"},
                                  Sample(41.04f, 1, 85, 1, kPowerBattery, 3.62f));
  EXPECT_EQ(DeviceNotice(r.deviceId, EventKind::TemperatureHigh, true, &r),
            (Notice{true, "temp_high", "D01", Text("冷库一号"), Text("华东公司"), Text("仓储部"), "41.0",
                    "2024-05-01 10:00:10",
                    Text("温湿度监控：华东公司 仓储部 冷库一号 (D01) 温度超上限 41.0℃，2024-05-01 10:00:10")}));
  const QString subject = Text("温湿度监控：华东公司 仓储部 冷库一号 (D01) ");
  EXPECT_EQ(RepeatNotice({r.deviceId, "supply_lost"}, &r, "now", 30).text,
            subject + Text("供电中断（已持续30分钟） 3.6V，2024-05-01 10:00:10"));
  EXPECT_EQ(RepeatNotice({"", kDatabaseLostKind}, nullptr, "2024-05-01 11:00:00", 10),
            (Notice{true,
                    "db_lost",
                    {},
                    {},
                    {},
                    {},
                    {},
                    "2024-05-01 11:00:00",
                    Text("温湿度监控：数据库未响应（已持续10分钟），2024-05-01 11:00:00")}));
}

TEST(NoticeLedger, TellsShownStartsTheirEndsAndRepeatsWhileOpen) {
  constexpr auto kStart = readings::EventEdge::Start, kEnd = readings::EventEdge::End;
  const DeviceEvent aHigh{"a", EventKind::TemperatureHigh, kStart, true};
  const DeviceEvent hHigh{"h", EventKind::TemperatureHigh, kStart, false};
  NoticeLedger ledger;
  EXPECT_EQ(ledger.Select(std::vector{aHigh, hHigh}, 0), std::vector{aHigh}) << "hidden h is not told";
  EXPECT_TRUE(ledger.Select(std::vector{DeviceEvent{"a", EventKind::CommunicationLost, kStart, true}}, 0, true).empty())
      << "while the database is lost, silence is our own link's fault";
  EXPECT_TRUE(ledger.Start({"", kDatabaseLostKind}, 1000));
  EXPECT_FALSE(ledger.Start({"", kDatabaseLostKind}, 1000)) << "told once";

  EXPECT_TRUE(ledger.Due(59'999, 60'000).empty());
  EXPECT_TRUE(ledger.Due(600'000, 0).empty()) << "REPEAT 0: never";
  const auto due = ledger.Due(60'000, 60'000);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].key, (NoticeKey{"a", "temp_high"}));
  EXPECT_EQ(due[0].openMinutes, 1);
  EXPECT_EQ(ledger.Due(61'000, 60'000).size(), 1u) << "db_lost, a minute after its start";
  EXPECT_EQ(ledger.Due(180'000, 60'000).size(), 2u);

  const DeviceEvent aEnd{"a", EventKind::TemperatureHigh, kEnd, false};  // unchecked since: still told
  const DeviceEvent hEnd{"h", EventKind::TemperatureHigh, kEnd, true};
  EXPECT_EQ(ledger.Select(std::vector{aEnd, hEnd}, 200'000), std::vector{aEnd});
  EXPECT_TRUE(ledger.End({"", kDatabaseLostKind}));
  EXPECT_TRUE(ledger.Due(10'000'000, 60'000).empty()) << "nothing open";
}

}  // namespace
