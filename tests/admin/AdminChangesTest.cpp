// The administration changes against the private server: each one done and refused, and a
// change of several statements that fails part-way leaves everything as it was.
#include <chrono>
#include <functional>
#include <thread>

#include "AdminChanges.h"
#include "CompanyDeviceTestSupport.h"

using namespace testing_admin;
using admin::ChangeOutcome;
using Kind = ChangeOutcome::Kind;

namespace {

const std::string kActor = "admin";

admin::DepartmentKey Department(const char* company, const char* department) { return {company, department}; }
admin::DeviceKey Device(const char* id, const char* company, const char* department) {
  return {id, company, department};
}
admin::GrantKey Grant(const char* user, const char* company, const char* department) {
  return {user, company, department};
}

struct ChangeCase {
  const char* what;
  std::function<ChangeOutcome(DbSession&)> change;
  Kind expected;
  unsigned long long affectedRows;
  const char* countSql;  // what the change leaves behind ...
  int count;             // ... counted
};

class AdminChangesTest : public AdminDbTest {
 protected:
  void SetUp() override {
    AdminDbTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    db().Exec("insert into user_tab values ('li','p',2),('wang','p',2)");
  }
  void Run(const ChangeCase& c) {
    SCOPED_TRACE(c.what);
    const ChangeOutcome outcome = c.change(Db());
    EXPECT_EQ(outcome.kind, c.expected);
    EXPECT_EQ(outcome.affectedRows, c.affectedRows);
    EXPECT_EQ(CountRows(db(), G(c.countSql)), c.count);
  }
};

TEST_F(AdminChangesTest, EachChangeIsDoneOrRefusedAsTheServerDecides) {
  const ChangeCase cases[] = {
      {"add user", [](DbSession& s) { return admin::AddUser(s, kActor, "zhang", "p"); }, Kind::kDone, 1,
       "select count(*) from user_tab where user_name='zhang' and user_permission=2", 1},
      {"add user twice", [](DbSession& s) { return admin::AddUser(s, kActor, "li", "q"); }, Kind::kRefused, 0,
       "select count(*) from user_tab where user_passwd='q'", 0},
      {"delete user", [](DbSession& s) { return admin::DeleteUser(s, kActor, "li"); }, Kind::kDone, 1,
       "select (select count(*) from user_tab)+(select count(*) from permission_tab where user_name='li')", 1},
      {"add company", [](DbSession& s) { return admin::AddCompany(s, kActor, "0003", G("丙公司")); }, Kind::kDone, 1,
       "select count(*) from company_tab where company_name='丙公司'", 1},
      {"add company twice", [](DbSession& s) { return admin::AddCompany(s, kActor, "0001", "x"); }, Kind::kRefused, 0,
       "select count(*) from company_tab where company_name='x'", 0},
      {"rename company", [](DbSession& s) { return admin::RenameCompany(s, kActor, "0002", "y"); }, Kind::kDone, 1,
       "select count(*) from company_tab where company_num='0002' and company_name='y'", 1},
      {"rename no company", [](DbSession& s) { return admin::RenameCompany(s, kActor, "0009", "y"); }, Kind::kDone, 0,
       "select count(*) from company_tab where company_name='y'", 0},
      {"delete company", [](DbSession& s) { return admin::DeleteCompany(s, kActor, "0001"); }, Kind::kDone, 1,
       "select (select count(*) from department_tab)+(select count(*) from device_tab)"
       "+(select count(*) from permission_tab)",
       3},
      {"add department", [](DbSession& s) { return admin::AddDepartment(s, kActor, Department("0002", "02"), "z"); },
       Kind::kDone, 1, "select count(*) from department_tab where company_num='0002'", 2},
      {"add department to no company",
       [](DbSession& s) { return admin::AddDepartment(s, kActor, Department("0009", "02"), "z"); }, Kind::kRefused, 0,
       "select count(*) from department_tab", 3},
      {"rename department",
       [](DbSession& s) { return admin::RenameDepartment(s, kActor, Department("0002", "01"), "z"); }, Kind::kDone, 1,
       "select count(*) from department_tab where department_name='z'", 1},
      {"delete department", [](DbSession& s) { return admin::DeleteDepartment(s, kActor, Department("0001", "01")); },
       Kind::kDone, 1,
       "select (select count(*) from department_tab)+(select count(*) from device_tab)"
       "+(select count(*) from permission_tab)",
       2 + 2 + 2},
      {"add device", [](DbSession& s) { return admin::AddDevice(s, kActor, Device("0000000009", "0002", "01"), "d"); },
       Kind::kDone, 1, "select count(*) from device_tab where company_num='0002'", 2},
      {"add device to no department",
       [](DbSession& s) { return admin::AddDevice(s, kActor, Device("0000000009", "0002", "02"), "d"); },
       Kind::kRefused, 0, "select count(*) from device_tab", 3},
      {"rename device",
       [](DbSession& s) { return admin::RenameDevice(s, kActor, Device("0000000003", "0002", "01"), "d"); },
       Kind::kDone, 1, "select count(*) from device_tab where device_name='d'", 1},
      {"delete device", [](DbSession& s) { return admin::DeleteDevice(s, kActor, Device("0000000003", "0002", "01")); },
       Kind::kDone, 1, "select count(*) from device_tab", 2},
      {"grant", [](DbSession& s) { return admin::GrantPermission(s, kActor, Grant("wang", "0002", "01")); },
       Kind::kDone, 1, "select count(*) from permission_tab where user_name='wang'", 2},
      {"grant to no user", [](DbSession& s) { return admin::GrantPermission(s, kActor, Grant("zhao", "0002", "01")); },
       Kind::kRefused, 0, "select count(*) from permission_tab", 3},
      {"grant twice", [](DbSession& s) { return admin::GrantPermission(s, kActor, Grant("li", "0001", "01")); },
       Kind::kRefused, 0, "select count(*) from permission_tab", 3},
      {"revoke", [](DbSession& s) { return admin::RevokePermission(s, kActor, Grant("li", "0001", "01")); },
       Kind::kDone, 1, "select count(*) from permission_tab where user_name='li'", 1},
  };
  for (const ChangeCase& c : cases) {
    SeedTables(db());
    db().Exec("insert into user_tab values ('li','p',2),('wang','p',2)");
    Run(c);
  }
}

TEST_F(AdminChangesTest, ARefusedLaterStatementUndoesTheWholeChange) {
  db().Exec(
      "create trigger keep_grants before delete on permission_tab for each row "
      "signal sqlstate '45000' set message_text='kept'");
  const char* everything =
      "select (select count(*) from user_tab)+(select count(*) from company_tab)+(select count(*) from "
      "department_tab)+(select count(*) from device_tab)";
  const ChangeCase cases[] = {
      {"delete user", [](DbSession& s) { return admin::DeleteUser(s, kActor, "li"); }, Kind::kRefused, 0, everything,
       2 + 2 + 3 + 3},
      {"delete company", [](DbSession& s) { return admin::DeleteCompany(s, kActor, "0001"); }, Kind::kRefused, 0,
       everything, 2 + 2 + 3 + 3},
      {"delete department", [](DbSession& s) { return admin::DeleteDepartment(s, kActor, Department("0001", "01")); },
       Kind::kRefused, 0, everything, 2 + 2 + 3 + 3},
  };
  for (const ChangeCase& c : cases) Run(c);
  db().Exec("drop trigger keep_grants");
  // The refusals left the session as it was: the next change is committed.
  Run({"delete after refusals", [](DbSession& s) { return admin::DeleteUser(s, kActor, "li"); }, Kind::kDone, 1,
       everything, 1 + 2 + 3 + 3});
}

// A conflict with another station (a deadlock here; on a cluster a failed certification, told
// the same way) runs the whole change again. The other transaction is made the heavier one, so
// the server picks the change as the one to roll back.
TEST_F(AdminChangesTest, ADeadlockRunsTheWholeChangeAgain) {
  db().Exec("create table weight_tab (n int)");
  db().Exec("start transaction");
  db().Exec(
      "insert into weight_tab with recursive s(n) as (select 1 union all select n+1 from s where n<50) "
      "select n from s");
  // Holds the place of the department the change adds.
  db().Exec("select * from department_tab where company_num='0001' and department_num='09' for update");
  ChangeOutcome outcome;
  std::thread change([&] { outcome = admin::AddDepartment(Db(), kActor, Department("0001", "09"), "x"); });
  const auto waiting = [&] {
    const DbResult r =
        db().Query("select count(*) from information_schema.processlist where info like 'insert into department_tab%'");
    return r.ok && !r.rows.empty() && r.rows[0][0] == "1";
  };
  for (int i = 0; i < 200 && !waiting(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool waited = waiting();
  if (!waited) change.join();
  ASSERT_TRUE(waited) << "the change should wait for the department's place";
  // Wants the company row the change has written: a deadlock, and the change is rolled back.
  db().Exec("update company_tab set company_name=company_name where company_num='0001'");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  db().Exec("commit");
  change.join();
  EXPECT_EQ(outcome.kind, Kind::kDone);
  EXPECT_EQ(CountRows(db(), "select count(*) from department_tab where company_num='0001' and department_num='09'"), 1);
  EXPECT_EQ(CountRows(db(), G("select count(*) from company_tab where company_name='甲公司'")), 1)
      << "the company's name is as it was";
  db().Exec("drop table weight_tab");
}

}  // namespace
