// The live refresh against the private server: who sees which devices, how rows merge into
// the table, and what a lost connection does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "DbSession.h"
#include "DbSessionTestSeam.h"
#include "Gbk.h"
#include "LiveTableRules.h"
#include "LocalTime.h"
#include "LoginState.h"
#include "MonitorLoop.h"
#include "MonitorThread.h"
#include "RefreshLiveTable.h"
#include "SampleState.h"
#include "SharedDatabaseTest.h"
#include "TickCount.h"

namespace {

std::string Gbk(const char* utf8) { return platform::Utf8ToGbk(utf8); }

class RefreshLiveTableDb : public SharedDatabaseTest<RefreshLiveTableDb> {
 protected:
  static void SetUpTestSuite() {
    if (!OpenDatabase("t_live_refresh")) return;
    // Two companies with two departments each; every device reports.
    db_->Exec(Gbk("insert into company_tab values ('C001','甲公司'),('C002','乙公司')"));
    db_->Exec(
        Gbk("insert into department_tab values ('01','C001','一部'),('02','C001','二部'),"
            "('01','C002','一部'),('02','C002','仓库')"));
    db_->Exec(
        Gbk("insert into device_tab values ('D000000001','冷库一','C001','01'),"
            "('D000000002','冷库二','C001','02'),('D000000003','仓库甲','C002','01'),"
            "('D000000004','仓库乙','C002','02'),('D000000009','无部门','C001','09')"));
    db_->Exec(
        "insert into monitordat_tab values "
        "('D000000001','C001','01','2024-05-01 10:00:00',21.5,0,45.0,0,30.1,3.6,1,12.0),"
        "('D000000002','C001','02','2024-05-01 10:00:00',-18.2,2,60.0,1,25.0,3.5,0,8.5),"
        "('D000000003','C002','01','2024-05-01 10:00:00',NULL,0,NULL,0,NULL,NULL,NULL,NULL),"
        "('D000000004','C002','02','2024-05-01 10:00:00',5.0,3,50.0,3,20.0,3.3,1,9.0),"
        // not registered in device_tab / registered without a department
        "('X000000000','C001','01','2024-05-01 10:00:00',1,0,1,0,1,1,1,1),"
        "('D000000009','C001','09','2024-05-01 10:00:00',1,0,1,0,1,1,1,1)");
    db_->Exec(
        Gbk("insert into user_tab values ('admin','pw',1),('li','pw',2),('nobody','pw',2),"
            "('o''neil','pw',2),('乗务','pw',2)"));
    db_->Exec(
        Gbk("insert into permission_tab values ('li','C001','02'),('li','C002','01'),"
            "('o''neil','C002','02'),('乗务','C001','01')"));
  }
  void SetUp() override {
    ASSERT_NE(db_, nullptr);
    REQUIRE_DB(*db_);
    db_->ConnectProcessSession();
    ASSERT_EQ(Db().LastConnectSucceeded(), 1);
    // The readings are five seconds old: none is stale at the first refresh.
    platform::SetLocalTimeSource([] { return platform::LocalTime{2024, 5, 1, 10, 0, 5}; });
  }
  void TearDown() override {
    platform::SetTickSource({});
    platform::SetLocalTimeSource({});
  }

  void LogIn(const char* utf8Name, int role) { login_ = {Gbk(utf8Name), role}; }
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    for (int i = 0; i < table->LiveCount(); ++i) ids.push_back(table->records[static_cast<std::size_t>(i)].deviceId);
    std::sort(ids.begin(), ids.end());
    return ids;
  }
  const DeviceLiveRecord* Find(const std::string& id) const {
    for (int i = 0; i < table->LiveCount(); ++i)
      if (table->records[static_cast<std::size_t>(i)].deviceId == id)
        return &table->records[static_cast<std::size_t>(i)];
    return nullptr;
  }

  std::unique_ptr<DeviceLiveTable> table = DeviceLiveTable::Create();
  Login login_;
};

using IdList = std::vector<std::string>;

TEST_F(RefreshLiveTableDb, AdministratorSeesEveryRegisteredDeviceOnly) {
  LogIn("admin", kRoleAdministrator);
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(Ids(), (IdList{"D000000001", "D000000002", "D000000003", "D000000004"}));
  const DeviceLiveRecord* r = Find("D000000002");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->deviceName, Gbk("冷库二"));
  EXPECT_EQ(r->companyName, Gbk("甲公司"));
  EXPECT_EQ(r->departmentName, Gbk("二部"));
  EXPECT_EQ(r->readingTime, "2024-05-01 10:00:00");
  EXPECT_FLOAT_EQ(r->LatestSample().temperature, -18.2f);
  EXPECT_EQ(r->LatestSample().temperatureAlarm, kAlarmLow);
  EXPECT_EQ(r->LatestSample().humidityAlarm, kAlarmHigh);
  EXPECT_EQ(r->LatestSample().powerSource, kPowerBattery);
  EXPECT_FLOAT_EQ(r->LatestSample().current, 8.5f);
}

TEST_F(RefreshLiveTableDb, NullReadingsShowAsNoValue) {
  LogIn("admin", kRoleAdministrator);
  RefreshLiveTable(Db(), *table, login_);
  const DeviceLiveRecord* r = Find("D000000003");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->LatestSample().temperatureAlarm, kAlarmNoValue);
  EXPECT_EQ(r->LatestSample().humidityAlarm, kAlarmNoValue);
  // NULL voltage and power: no number and an unknown source, never "00.0 电池".
  EXPECT_FALSE(HasValue(r->LatestSample().voltage));
  EXPECT_EQ(livetable::VoltageCell(r->LatestSample().voltage, r->LatestSample().powerSource),
            (livetable::CellLook{QStringLiteral("--"), livetable::kBlack}));
}

TEST_F(RefreshLiveTableDb, NormalUserSeesOnlyGrantedDepartments) {
  LogIn("li", kRoleNormalUser);
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(Ids(), (IdList{"D000000002", "D000000003"}));
}

TEST_F(RefreshLiveTableDb, NormalUserWithoutGrantsSeesNothing) {
  LogIn("nobody", kRoleNormalUser);
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(table->LiveCount(), 0);
}

TEST_F(RefreshLiveTableDb, AdministratorNameChosenAsNormalUserSeesOnlyGrants) {
  LogIn("admin", kRoleNormalUser);  // the role decides, not the name
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(table->LiveCount(), 0);
}

TEST_F(RefreshLiveTableDb, QuotesAndGbkTrailBackslashInTheNameAreMatchedLiterally) {
  LogIn("o'neil", kRoleNormalUser);
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(Ids(), (IdList{"D000000004"}));

  auto other = DeviceLiveTable::Create();
  LogIn("乗务", kRoleNormalUser);  // 乗 is 0x81 0x5C in GBK
  RefreshLiveTable(Db(), *other, login_);
  ASSERT_EQ(other->LiveCount(), 1);
  EXPECT_EQ(other->records[0].deviceId, "D000000001");

  auto injected = DeviceLiveTable::Create();
  LogIn("x' or '1'='1", kRoleNormalUser);
  RefreshLiveTable(Db(), *injected, login_);
  EXPECT_EQ(injected->LiveCount(), 0);
}

TEST_F(RefreshLiveTableDb, DepartmentGrantedTwiceIsMergedIntoOneRecordWithTwoSamples) {
  // Older databases have no key on permission_tab; the same grant can then appear twice.
  TestDatabase dup("t_live_refresh_dup");
  REQUIRE_DB(dup);
  dup.Exec("alter table permission_tab drop primary key");
  dup.Exec("insert into company_tab values ('C001','c')");
  dup.Exec("insert into department_tab values ('01','C001','d')");
  dup.Exec("insert into device_tab values ('D000000001','n','C001','01')");
  dup.Exec("insert into monitordat_tab values ('D000000001','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)");
  dup.Exec("insert into user_tab values ('li','pw',2)");
  dup.Exec("insert into permission_tab values ('li','C001','01'),('li','C001','01')");
  dup.ConnectProcessSession();
  LogIn("li", kRoleNormalUser);
  RefreshLiveTable(Db(), *table, login_);
  ASSERT_EQ(table->LiveCount(), 1);
  EXPECT_EQ(table->records[0].SampleCount(), 2);
}

TEST_F(RefreshLiveTableDb, ChangeTickFollowsTheCollectorsReadingTime) {
  LogIn("admin", kRoleAdministrator);
  std::uint32_t now = 1000;
  platform::SetTickSource([&] { return now; });
  // Read the moment they were taken, the readings count from this refresh.
  platform::SetLocalTimeSource([] { return platform::LocalTime{2024, 5, 1, 10, 0, 0}; });
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(Find("D000000001")->changeTick, 1000u);
  now = 11000;
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(Find("D000000001")->changeTick, 1000u);
  db_->Exec("update monitordat_tab set datetime='2024-05-01 10:00:10' where device_id='D000000001'");
  now = 21000;
  RefreshLiveTable(Db(), *table, login_);
  db_->Exec("update monitordat_tab set datetime='2024-05-01 10:00:00' where device_id='D000000001'");
  EXPECT_EQ(Find("D000000001")->changeTick, 21000u);
  EXPECT_EQ(Find("D000000002")->changeTick, 1000u);
  EXPECT_EQ(Find("D000000001")->SampleCount(), 3);
  EXPECT_TRUE(IsCommunicationLost(*Find("D000000002"), 1000 + 120001, 120));
}

TEST_F(RefreshLiveTableDb, TheThousandAndTwentyFifthDeviceIsNeverShown) {
  TestDatabase big("t_live_refresh_big");
  REQUIRE_DB(big);
  big.Exec("insert into company_tab values ('C001','c')");
  big.Exec("insert into department_tab values ('01','C001','d')");
  std::string devices = "insert into device_tab values ", readings = "insert into monitordat_tab values ";
  for (int i = 0; i < 1025; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "D%09d", i);
    devices += std::string(i ? "," : "") + "('" + id + "','n','C001','01')";
    readings += std::string(i ? "," : "") + "('" + id + "','C001','01','2024-05-01 10:00:00',1,0,2,0,3,4,1,5)";
  }
  big.Exec(devices);
  big.Exec(readings);
  big.ConnectProcessSession();
  LogIn("admin", kRoleAdministrator);
  testing::internal::CaptureStderr();
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(table->LiveCount(), DeviceLiveTable::kCapacity);
  EXPECT_TRUE(table->overCapacity);
  RefreshLiveTable(Db(), *table, login_);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("设备数超过1024"), std::string::npos) << said;
  EXPECT_EQ(table->LiveCount(), DeviceLiveTable::kCapacity);
  EXPECT_EQ(table->records[DeviceLiveTable::kCapacity - 1].SampleCount(), 2);
}

TEST_F(RefreshLiveTableDb, ServerNotAnsweringLeavesTheTableAsItWas) {
  LogIn("admin", kRoleAdministrator);
  RefreshLiveTable(Db(), *table, login_);
  ASSERT_EQ(table->LiveCount(), 4);
  const RefreshStamp stamped = table->lastRefresh;
  EXPECT_TRUE(stamped.ok);
  EXPECT_EQ(stamped.second, 5);
  Db().Close();
  RefreshLiveTable(Db(), *table, login_);
  EXPECT_EQ(table->LiveCount(), 4);
  EXPECT_EQ(table->records[0].SampleCount(), 1);
  EXPECT_EQ(table->lastRefresh.tick, stamped.tick) << "a failed refresh is not stamped";
}

TEST_F(RefreshLiveTableDb, MonitorReconnectsAfterTheLinkWasCutAndLiveDataResumes) {
  LogIn("admin", kRoleAdministrator);
  const DbResult id = Db().Select("select connection_id()");
  ASSERT_TRUE(id.ok);
  db_->Exec("kill connection " + id.rows.at(0).at(0));

  MonitorActions actions = DatabaseMonitorActions(Db(), *table, login_);
  int redraws = 0;
  actions.notifyUi = [&] { ++redraws; };
  MonitorLoop loop(std::move(actions));
  loop.RunPass();  // first pass: the ping fails, reconnects, then refreshes
  EXPECT_EQ(Db().LastConnectSucceeded(), 1);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(table->LiveCount(), 4);
  EXPECT_FALSE(DbSessionTestSeam::IsHeld(Db()));
}

}  // namespace
