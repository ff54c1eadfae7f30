// The audit trail of the administration changes against the private server: one row per
// change with its old and new values, none for a change that did not happen, and a change
// whose audit row cannot be written does not happen either.
#include <functional>

#include "AdminChanges.h"
#include "AuditTrail.h"
#include "CompanyDeviceTestSupport.h"

using namespace testing_admin;
using admin::ChangeOutcome;

namespace {

const Actor kAudited{"admin", "station-7", true};

struct AuditCase {
  const char* what;
  std::function<ChangeOutcome(DbSession&)> change;
  const char* action;
  const char* key;
  const char* oldValue;
  const char* newValue;
};

class AuditTrailTest : public AdminDbTest {
 protected:
  void SetUp() override {
    REQUIRE_AUDIT_TRAIL();
    AdminDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    db().Exec("insert into user_tab values ('li','secret',2)");
    db().Exec("delete from audit_tab");
  }
  void TearDown() override {
    if (!TestSchemaHasAuditTrail()) return;
    db().Exec("drop trigger if exists refuse_company");
    db().Exec("drop trigger if exists refuse_audit");
  }
  int AuditRows() { return CountRows(db(), "select count(*) from audit_tab"); }
};

TEST_F(AuditTrailTest, EachChangeLeavesOneRowWithItsOldAndNewValue) {
  const AuditCase cases[] = {
      {"add user", [](DbSession& s) { return admin::AddUser(s, kAudited, "zhang", "pw"); }, "添加用户", "zhang", "",
       "2 ******"},
      {"delete user", [](DbSession& s) { return admin::DeleteUser(s, kAudited, "li"); }, "删除用户", "li", "2 ******",
       ""},
      {"add company", [](DbSession& s) { return admin::AddCompany(s, kAudited, "0003", G("丙公司")); }, "添加公司",
       "0003", "", "丙公司"},
      {"rename company", [](DbSession& s) { return admin::RenameCompany(s, kAudited, "0002", G("新乙")); }, "修改公司",
       "0002", "乙公司", "新乙"},
      {"delete company", [](DbSession& s) { return admin::DeleteCompany(s, kAudited, "0002"); }, "删除公司", "0002",
       "新乙", ""},
      {"rename department",
       [](DbSession& s) {
         return admin::RenameDepartment(s, kAudited, {"0001", "02"}, G("冷库"));
       },
       "修改部门", "0001/02", "仓库", "冷库"},
      {"add device",
       [](DbSession& s) {
         return admin::AddDevice(s, kAudited, {"0000000009", "0001", "01"}, "n");
       },
       "添加设备", "0000000009 0001/01", "", "n"},
      {"delete device",
       [](DbSession& s) {
         return admin::DeleteDevice(s, kAudited, {"0000000001", "0001", "01"});
       },
       "删除设备", "0000000001 0001/01", "冷库1号", ""},
      {"grant",
       [](DbSession& s) {
         return admin::GrantPermission(s, kAudited, {"zhang", "0001", "02"});
       },
       "授予权限", "zhang 0001/02", "", "有权限"},
  };
  for (const AuditCase& c : cases) {
    SCOPED_TRACE(c.what);
    db().Exec("delete from audit_tab");
    ASSERT_TRUE(c.change(Db()).Succeeded());
    const DbResult rows = db().Query(
        "select user_name,host_name,action,object_key,old_value,new_value,"
        "audit_time>=now()-interval 1 minute from audit_tab");
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0], (DbRow{"admin", "station-7", G(c.action), c.key, G(c.oldValue), G(c.newValue), "1"}));
  }
  EXPECT_EQ(CountRows(db(),
                      "select count(*) from audit_tab where old_value like '%secret%' or "
                      "new_value like '%pw%'"),
            0)
      << "never a password";
}

TEST_F(AuditTrailTest, AChangeThatDidNotHappenLeavesNoRow) {
  EXPECT_FALSE(admin::AddCompany(Db(), kAudited, "0001", "twice").Succeeded());
  EXPECT_FALSE(admin::AddDepartment(Db(), kAudited, {"0009", "01"}, "orphan").Succeeded());
  db().Exec(
      "create trigger refuse_company before update on company_tab for each row "
      "signal sqlstate '45000' set message_text='refused'");
  EXPECT_FALSE(admin::RenameCompany(Db(), kAudited, "0001", "x").Succeeded());
  EXPECT_EQ(AuditRows(), 0);
  EXPECT_TRUE(admin::RenameDevice(Db(), "admin", {"0000000001", "0001", "01"}, "x").Succeeded());
  EXPECT_EQ(AuditRows(), 0) << "a station without the trail writes none";
}

TEST_F(AuditTrailTest, AChangeWhoseAuditRowFailsIsRolledBack) {
  db().Exec(
      "create trigger refuse_audit before insert on audit_tab for each row "
      "signal sqlstate '45000' set message_text='refused'");
  EXPECT_FALSE(admin::DeleteCompany(Db(), kAudited, "0001").Succeeded());
  EXPECT_EQ(CountRows(db(), "select count(*) from company_tab"), 2);
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab where company_num='0001'"), 2);
}

// The station's account may only insert into and read the trail: the server refuses it to
// change a row, and every change still works.
TEST_F(AuditTrailTest, AnAccountWithInsertAndSelectOnlyWorksAndCannotRewriteTheTrail) {
  const std::string database = db().name();
  db().Exec("create user if not exists 'station_audit'@'127.0.0.1' identified by 'pw'");
  db().Exec("create user if not exists 'station_audit'@'localhost' identified by 'pw'");
  for (const char* host : {"127.0.0.1", "localhost"}) {
    const std::string to = std::string(" to 'station_audit'@'") + host + "'";
    for (const char* table : {"company_tab", "department_tab", "device_tab", "user_tab", "permission_tab"})
      db().Exec("grant select,insert,update,delete on " + database + "." + table + to);
    for (const char* table : {"audit_tab", "alarm_ack_tab"})
      db().Exec("grant select,insert on " + database + "." + table + to);
  }
  DbSession station;
  const TestServer& server = db().server();
  station.Configure(server.host, server.port, "station_audit", "pw", database);
  station.ConnectDatabase();
  ASSERT_TRUE(station.LastConnectSucceeded()) << station.LastError();
  EXPECT_TRUE(AuditTablesPresent(station));
  EXPECT_TRUE(admin::AddCompany(station, kAudited, "0007", "g").Succeeded());
  EXPECT_TRUE(admin::DeleteCompany(station, kAudited, "0007").Succeeded());
  EXPECT_TRUE(RecordAudit(station, kAudited, AuditAction::kLoginAccepted, "admin"));
  EXPECT_TRUE(RecordAudit(station, kAudited, AuditAction::kExport, "csv"));
  EXPECT_TRUE(RecordAcknowledgement(station, kAudited, "0000000001", "temp_high", "2024-05-01 10:00:00", "x"));
  EXPECT_TRUE(IsAcknowledged(station, "0000000001", "temp_high", "2024-05-01 10:00:00"));
  EXPECT_EQ(AuditRows(), 5);
  EXPECT_FALSE(station.Execute("update audit_tab set user_name='nobody'"));
  EXPECT_FALSE(station.Execute("delete from audit_tab"));
  EXPECT_FALSE(station.Execute("update alarm_ack_tab set comment='y'"));
  EXPECT_EQ(AuditRows(), 5);
  station.Close();
  db().Exec("drop user 'station_audit'@'127.0.0.1'");
  db().Exec("drop user 'station_audit'@'localhost'");
}

TEST_F(AuditTrailTest, ADatabaseWithoutTheTablesKeepsNoTrail) {
  EXPECT_TRUE(AuditTablesPresent(Db()));
  db().Exec("rename table alarm_ack_tab to alarm_ack_kept");
  EXPECT_FALSE(AuditTablesPresent(Db()));
  db().Exec("rename table alarm_ack_kept to alarm_ack_tab");
}

}  // namespace
