#include "AdminChanges.h"

#include <vector>

#include "DbSession.h"
#include "Gbk.h"

namespace admin {
namespace {

// New accounts are always normal users; no path of the dialogs creates an administrator.
constexpr const char* kAddUserTemplate =
    "insert into user_tab (user_name,user_passwd,user_permission) values ('%s','%s',2)";
constexpr const char* kDeleteUserTemplate = "delete  from user_tab where user_name='%s'";
// A deleted account takes its grants with it: otherwise a new account created later under the
// same name would silently inherit them.
constexpr const char* kWithdrawUserGrantsTemplate = "delete  from permission_tab where user_name='%s'";

constexpr const char* kInsertCompany = "insert into company_tab (company_num,company_name) values ('%s','%s')";
constexpr const char* kRenameCompany = "update company_tab set company_name='%s' where company_num='%s'";
constexpr const char* kDeleteCompany = "delete  from company_tab where company_num='%s'";
// Rows hanging off the company, deleted after it in this order.
constexpr const char* kCompanyCascadeDeletes[] = {
    "delete  from department_tab where company_num='%s'",
    "delete  from device_tab where company_num='%s'",
    "delete  from permission_tab where company_num='%s'",
};

// Inserts nothing when the company is gone (deleted meanwhile, here or by another station).
constexpr const char* kInsertDepartment =
    "insert into department_tab (department_num,company_num,department_name) select '%s','%s','%s' from dual "
    "where exists (select 1 from company_tab where company_num='%s')";
constexpr const char* kRenameDepartment =
    "update department_tab set department_name='%s' where department_num='%s' and company_num='%s'";
constexpr const char* kDeleteDepartment = "delete  from department_tab where department_num='%s' and company_num='%s'";
// Rows hanging off the department, deleted after it in this order.
constexpr const char* kDepartmentCascadeDeletes[] = {
    "delete  from device_tab where department_num='%s' and company_num='%s'",
    "delete  from permission_tab where department_num='%s' and company_num='%s'",
};

// Inserts nothing when the department is gone, so no device hangs off a missing department.
constexpr const char* kInsertDevice =
    "insert into device_tab (device_num,device_name,company_num,department_num) select '%s','%s','%s','%s' from dual "
    "where exists (select 1 from department_tab where company_num='%s' and department_num='%s')";
constexpr const char* kDeleteDevice =
    "delete  from device_tab where device_num='%s' and company_num='%s' and department_num='%s'";
constexpr const char* kRenameDevice =
    "update device_tab set device_name='%s' where device_num='%s' and company_num='%s' and department_num='%s'";

// The user, the company and the department are checked in the statement itself: one of them
// deleted since the dialog was filled (by another station) inserts nothing.
constexpr const char* kGrantTemplate =
    "insert into permission_tab (user_name,company_num,department_num) select '%s','%s','%s' from dual "
    "where exists (select 1 from user_tab where user_name='%s') "
    "and exists (select 1 from company_tab where company_num='%s') "
    "and exists (select 1 from department_tab where company_num='%s' and department_num='%s')";
constexpr const char* kWithdrawTemplate =
    "delete  from permission_tab where user_name='%s' and company_num='%s' and department_num='%s'";

// Old values for the audit rows, read and locked inside the change's transaction.
constexpr const char* kUserBeforeSql = "select user_permission,'******' from user_tab where user_name='%s' for update";
constexpr const char* kCompanyBeforeSql = "select company_name from company_tab where company_num='%s' for update";
constexpr const char* kDepartmentBeforeSql =
    "select department_name from department_tab where department_num='%s' and company_num='%s' for update";
constexpr const char* kDeviceBeforeSql =
    "select device_name from device_tab where device_num='%s' and company_num='%s' and department_num='%s' for update";

// Rows a new row hangs off (see ParentRow).
constexpr const char* kCompanyParentRead = "select company_name from company_tab where company_num='%s' for update";
constexpr const char* kCompanyParentMark =
    "update company_tab set company_name=if(company_name='#','##','#') where company_num='%s'";
constexpr const char* kCompanyParentRestore = "update company_tab set company_name='%s' where company_num='%s'";
constexpr const char* kDepartmentParentRead =
    "select department_name from department_tab where company_num='%s' and department_num='%s' for update";
constexpr const char* kDepartmentParentMark =
    "update department_tab set department_name=if(department_name='#','##','#') "
    "where company_num='%s' and department_num='%s'";
constexpr const char* kDepartmentParentRestore =
    "update department_tab set department_name='%s' where company_num='%s' and department_num='%s'";
constexpr const char* kUserParentRead = "select user_permission from user_tab where user_name='%s' for update";
constexpr const char* kUserParentMark = "update user_tab set user_permission=-1-user_permission where user_name='%s'";
constexpr const char* kUserParentRestore = "update user_tab set user_permission='%s' where user_name='%s'";

ParentRow CompanyParent(const std::string& company) {
  return {kCompanyParentRead, kCompanyParentMark, kCompanyParentRestore, {company}};
}
ParentRow DepartmentParent(const std::string& company, const std::string& department) {
  return {kDepartmentParentRead, kDepartmentParentMark, kDepartmentParentRestore, {company, department}};
}
ParentRow UserParent(const std::string& user) { return {kUserParentRead, kUserParentMark, kUserParentRestore, {user}}; }

// Whether a change is there, looked up when the reply to its commit was lost: one row when the
// change added or renamed it, none when it deleted it.
constexpr const char* kUserThere = "select 1 from user_tab where user_name='%s'";
constexpr const char* kCompanyNamed = "select 1 from company_tab where company_num='%s' and company_name='%s'";
constexpr const char* kCompanyThere = "select 1 from company_tab where company_num='%s'";
constexpr const char* kDepartmentNamed =
    "select 1 from department_tab where company_num='%s' and department_num='%s' and department_name='%s'";
constexpr const char* kDepartmentThere = "select 1 from department_tab where company_num='%s' and department_num='%s'";
constexpr const char* kDeviceNamed =
    "select 1 from device_tab where device_num='%s' and company_num='%s' and department_num='%s' and "
    "device_name='%s'";
constexpr const char* kDeviceThere =
    "select 1 from device_tab where device_num='%s' and company_num='%s' and department_num='%s'";
constexpr const char* kGrantThere =
    "select 1 from permission_tab where user_name='%s' and company_num='%s' and department_num='%s'";

// The delete of `first`, then those of `cascade`, all with the same values.
template <std::size_t N>
std::vector<std::string> WithCascade(DbSession& db, const char* first, const char* const (&cascade)[N],
                                     std::initializer_list<SqlArg> args) {
  std::vector<std::string> statements{db.Format(first, args)};
  for (const char* next : cascade) statements.push_back(db.Format(next, args));
  return statements;
}

}  // namespace

ChangeOutcome AddUser(DbSession& db, const Actor& actor, const std::string& name, const std::string& password) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kAddUser,
                        .key = name,
                        .newValue = std::string("2 ") + kMaskedPassword,
                        .statements = {db.Format(kAddUserTemplate, {name, password})},
                        .check = {db.Format(kUserThere, {name})}});
}

ChangeOutcome DeleteUser(DbSession& db, const Actor& actor, const std::string& name) {
  return RunChange(
      db, {.actor = actor,
           .action = AuditAction::kDeleteUser,
           .key = name,
           .oldValueSql = db.Format(kUserBeforeSql, {name}),
           .statements = {db.Format(kDeleteUserTemplate, {name}), db.Format(kWithdrawUserGrantsTemplate, {name})},
           .check = {db.Format(kUserThere, {name}), false}});
}

ChangeOutcome AddCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kAddCompany,
                        .key = number,
                        .newValue = name,
                        .statements = {db.Format(kInsertCompany, {number, name})},
                        .check = {db.Format(kCompanyNamed, {number, name})}});
}

ChangeOutcome RenameCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kRenameCompany,
                        .key = number,
                        .oldValueSql = db.Format(kCompanyBeforeSql, {number}),
                        .newValue = name,
                        .statements = {db.Format(kRenameCompany, {name, number})},
                        .check = {db.Format(kCompanyNamed, {number, name})}});
}

ChangeOutcome DeleteCompany(DbSession& db, const Actor& actor, const std::string& number) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kDeleteCompany,
                        .key = number,
                        .oldValueSql = db.Format(kCompanyBeforeSql, {number}),
                        .statements = WithCascade(db, kDeleteCompany, kCompanyCascadeDeletes, {number}),
                        .check = {db.Format(kCompanyThere, {number}), false}});
}

namespace {
std::string KeyOf(const DepartmentKey& key) { return key.company + "/" + key.department; }
std::string KeyOf(const DeviceKey& key) { return key.device + " " + key.company + "/" + key.department; }
std::string KeyOf(const GrantKey& key) { return key.user + " " + key.company + "/" + key.department; }
}  // namespace

ChangeOutcome AddDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kAddDepartment,
                        .key = KeyOf(key),
                        .newValue = name,
                        .statements = {db.Format(kInsertDepartment, {key.department, key.company, name, key.company})},
                        .rows = ExpectedRows::kExactlyOne,
                        .parents = {CompanyParent(key.company)},
                        .check = {db.Format(kDepartmentNamed, {key.company, key.department, name})}});
}

ChangeOutcome RenameDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kRenameDepartment,
                        .key = KeyOf(key),
                        .oldValueSql = db.Format(kDepartmentBeforeSql, {key.department, key.company}),
                        .newValue = name,
                        .statements = {db.Format(kRenameDepartment, {name, key.department, key.company})},
                        .check = {db.Format(kDepartmentNamed, {key.company, key.department, name})}});
}

ChangeOutcome DeleteDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key) {
  return RunChange(
      db, {.actor = actor,
           .action = AuditAction::kDeleteDepartment,
           .key = KeyOf(key),
           .oldValueSql = db.Format(kDepartmentBeforeSql, {key.department, key.company}),
           .statements = WithCascade(db, kDeleteDepartment, kDepartmentCascadeDeletes, {key.department, key.company}),
           .check = {db.Format(kDepartmentThere, {key.company, key.department}), false}});
}

ChangeOutcome AddDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kAddDevice,
                        .key = KeyOf(key),
                        .newValue = name,
                        .statements = {db.Format(kInsertDevice, {key.device, name, key.company, key.department,
                                                                 key.company, key.department})},
                        .rows = ExpectedRows::kExactlyOne,
                        .parents = {DepartmentParent(key.company, key.department)},
                        .check = {db.Format(kDeviceNamed, {key.device, key.company, key.department, name})}});
}

ChangeOutcome RenameDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kRenameDevice,
                        .key = KeyOf(key),
                        .oldValueSql = db.Format(kDeviceBeforeSql, {key.device, key.company, key.department}),
                        .newValue = name,
                        .statements = {db.Format(kRenameDevice, {name, key.device, key.company, key.department})},
                        .check = {db.Format(kDeviceNamed, {key.device, key.company, key.department, name})}});
}

ChangeOutcome DeleteDevice(DbSession& db, const Actor& actor, const DeviceKey& key) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kDeleteDevice,
                        .key = KeyOf(key),
                        .oldValueSql = db.Format(kDeviceBeforeSql, {key.device, key.company, key.department}),
                        .statements = {db.Format(kDeleteDevice, {key.device, key.company, key.department})},
                        .check = {db.Format(kDeviceThere, {key.device, key.company, key.department}), false}});
}

ChangeOutcome GrantPermission(DbSession& db, const Actor& actor, const GrantKey& key) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kGrantPermission,
                        .key = KeyOf(key),
                        .newValue = platform::Utf8ToGbk("有权限"),
                        .statements = {db.Format(kGrantTemplate, {key.user, key.company, key.department, key.user,
                                                                  key.company, key.company, key.department})},
                        .rows = ExpectedRows::kExactlyOne,
                        .parents = {UserParent(key.user), DepartmentParent(key.company, key.department)},
                        .check = {db.Format(kGrantThere, {key.user, key.company, key.department})}});
}

ChangeOutcome RevokePermission(DbSession& db, const Actor& actor, const GrantKey& key) {
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kRevokePermission,
                        .key = KeyOf(key),
                        .statements = {db.Format(kWithdrawTemplate, {key.user, key.company, key.department})},
                        .check = {db.Format(kGrantThere, {key.user, key.company, key.department}), false}});
}

}  // namespace admin
