// The notices of live events (their texts, GBK names converted) and which of them are told:
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
  const Notice high = DeviceNotice(r.deviceId, EventKind::TemperatureHigh, true, &r);
  EXPECT_EQ(high, (Notice{true, "temp_high", "D01", Text("冷库一号"), Text("华东公司"), Text("仓储部"), "41.0",
                          "2024-05-01 10:00:10",
                          Text("温湿度监控：华东公司 仓储部 冷库一号 (D01) 温度超上限 41.0℃，2024-05-01 10:00:10")}));
  const struct {
    EventKind kind;
    bool start;
    int openMinutes;
    const char* kindName;
    const char* value;
    const char* text;
  } cases[] = {
      {EventKind::HumidityHigh, false, 0, "hum_high", "85.0",
       "温湿度监控：华东公司 仓储部 冷库一号 (D01) 湿度恢复正常 85.0%RH，2024-05-01 10:00:10"},
      {EventKind::SupplyLost, true, 30, "supply_lost", "3.6",
       "温湿度监控：华东公司 仓储部 冷库一号 (D01) 供电中断（已持续30分钟） 3.6V，2024-05-01 10:00:10"},
      {EventKind::CommunicationLost, true, 0, "comm_lost", "",
       "温湿度监控：华东公司 仓储部 冷库一号 (D01) 通讯掉线，2024-05-01 10:00:10"},
  };
  for (const auto& c : cases) {
    const Notice n = DeviceNotice(r.deviceId, c.kind, c.start, &r, c.openMinutes);
    EXPECT_EQ(n.kind, c.kindName);
    EXPECT_EQ(n.value, c.value) << c.kindName;
    EXPECT_EQ(n.text, Text(c.text)) << c.kindName;
  }
  EXPECT_EQ(DeviceNotice("D09", EventKind::SensorOffline, false, nullptr).text, Text("温湿度监控：(D09) 传感器恢复"));
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
  EXPECT_EQ(RepeatNotice({r.deviceId, "hum_low"}, &r, "now", 5).kind, "hum_low");
  EXPECT_EQ(DatabaseNotice(false, "t").text, Text("温湿度监控：数据库恢复响应，t"));
}

TEST(NoticeLedger, TellsShownStartsTheirEndsAndRepeatsWhileOpen) {
  constexpr auto kStart = readings::EventEdge::Start, kEnd = readings::EventEdge::End;
  const DeviceEvent aHigh{"a", EventKind::TemperatureHigh, kStart, true};
  const DeviceEvent hHigh{"h", EventKind::TemperatureHigh, kStart, false};
  const DeviceEvent aLost{"a", EventKind::CommunicationLost, kStart, true};
  NoticeLedger ledger;
  EXPECT_EQ(ledger.Select(std::vector{aHigh, hHigh}, 0), std::vector{aHigh}) << "hidden h is not told";
  EXPECT_EQ(ledger.Select(std::vector{aLost}, 0, true), std::vector<DeviceEvent>{}) << "our own link's fault";
  EXPECT_TRUE(ledger.Start({"", kDatabaseLostKind}, 1000));
  EXPECT_FALSE(ledger.Start({"", kDatabaseLostKind}, 1000)) << "told once";

  EXPECT_TRUE(ledger.Due(59'999, 60'000).empty());
  EXPECT_TRUE(ledger.Due(600'000, 0).empty()) << "REPEAT 0: never";
  const auto due = ledger.Due(60'000, 60'000);
  ASSERT_EQ(due.size(), 1u);
  EXPECT_EQ(due[0].key, (NoticeKey{"a", "temp_high"}));
  EXPECT_EQ(due[0].openMinutes, 1);
  EXPECT_EQ(ledger.Due(61'000, 60'000).size(), 1u) << "db_lost, a minute after its start";
  EXPECT_TRUE(ledger.Due(119'999, 60'000).empty());
  EXPECT_EQ(ledger.Due(180'000, 60'000).size(), 2u);

  const DeviceEvent aEnd{"a", EventKind::TemperatureHigh, kEnd, false};  // unchecked since: still told
  const DeviceEvent hEnd{"h", EventKind::TemperatureHigh, kEnd, true};
  const DeviceEvent aLostEnd{"a", EventKind::CommunicationLost, kEnd, true};
  EXPECT_EQ(ledger.Select(std::vector{aEnd, hEnd, aLostEnd}, 200'000), std::vector{aEnd});
  EXPECT_TRUE(ledger.End({"", kDatabaseLostKind}));
  EXPECT_FALSE(ledger.End({"", kDatabaseLostKind}));
  EXPECT_TRUE(ledger.Due(10'000'000, 60'000).empty()) << "nothing open";
}

}  // namespace
