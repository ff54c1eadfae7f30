// The notices of live events: GBK names converted, one line for a person.
#include <gtest/gtest.h>

#include "EventNotice.h"
#include "LiveTableFill.h"

using namespace notice;
using readings::AlarmKind;

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(EventNotice, CarriesTheDevicesTextsAndOneLineForAPerson) {
  auto table = DeviceLiveTable::Create();
  DeviceLiveRecord& r = AddRecord(*table, {"D01", "冷库一号", "华东公司", "仓储部", "2024-05-01 10:00:10"},
                                  Sample(41.04f, 1, 85, 1, kPowerBattery, 3.62f));
  EXPECT_EQ(DeviceNotice(r.deviceId, AlarmKind::TemperatureHigh, true, &r),
            (Notice{true, "temp_high", "D01", Text("冷库一号"), Text("华东公司"), Text("仓储部"), "41.0",
                    "2024-05-01 10:00:10",
                    Text("温湿度监控：华东公司 仓储部 冷库一号 (D01) 温度超上限 41.0℃，2024-05-01 10:00:10")}));
  const QString subject = Text("温湿度监控：华东公司 仓储部 冷库一号 (D01) ");
  EXPECT_EQ(DeviceNotice(r.deviceId, AlarmKind::SupplyLost, true, &r, 30).text,
            subject + Text("供电中断（已持续30分钟） 3.6V，2024-05-01 10:00:10"));
  EXPECT_EQ(DatabaseNotice(true, "2024-05-01 11:00:00", 10),
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

}  // namespace
