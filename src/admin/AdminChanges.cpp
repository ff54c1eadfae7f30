#include "AdminChanges.h"

#include <vector>

#include "DbSession.h"
#include "DbTransaction.h"
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

// Whether the first statement must have touched exactly one row: an insert guarded by "where
// exists" that inserted nothing found its parent gone.
enum class Rows { kAny, kExactlyOne };

ChangeOutcome Outcome(ChangeOutcome::Kind kind, unsigned long long affectedRows = 0) { return {kind, affectedRows}; }

// A statement the server answered with an error was refused; one that lost the link failed.
ChangeOutcome StatementFailed(DbSession& db) {
  const unsigned error = db.LastErrorNumber();
  const bool answered = error != 0 && !DbSession::IsLinkError(error);
  return Outcome(answered ? ChangeOutcome::Kind::kRefused : ChangeOutcome::Kind::kFailed);
}

// What the audit row of a change says. `oldValueSql` (when set) reads the old value inside the
// transaction, before the change, its columns joined by blanks.
struct AuditNote {
  const char* action;  // UTF-8
  std::string key;
  std::string oldValueSql;
  std::string newValue;
};

std::string ReadOldValue(DbSession& db, const std::string& sql, bool& ok) {
  ok = true;
  if (sql.empty()) return {};
  const DbResult result = db.Select(sql);
  if (!result.ok) {
    ok = false;
    return {};
  }
  std::string value;
  if (!result.rows.empty())
    for (const std::string& column : result.rows[0]) value += (value.empty() ? "" : " ") + column;
  return value;
}

// Runs `statements` in order in one transaction; the first failure rolls all of them back. With
// an audited actor the change's audit row is written in the same transaction when the change
// touched a row: a failing audit insert fails the change.
ChangeOutcome RunChange(DbSession& db, const Actor& actor, const AuditNote& note,
                        const std::vector<std::string>& statements, Rows rows = Rows::kAny) {
  DbTransaction transaction(db);
  if (!transaction.IsOpen()) return Outcome(ChangeOutcome::Kind::kFailed);
  std::string oldValue;
  if (actor.audited) {
    bool read = false;
    oldValue = ReadOldValue(db, note.oldValueSql, read);
    if (!read) return StatementFailed(db);
  }
  unsigned long long affected = 0;
  for (std::size_t i = 0; i < statements.size(); ++i) {
    if (!db.Execute(statements[i])) return StatementFailed(db);
    if (i == 0) affected = db.AffectedRows();
  }
  if (rows == Rows::kExactlyOne && affected != 1) return Outcome(ChangeOutcome::Kind::kRefused, affected);
  if (actor.audited && affected > 0 &&
      !db.Execute(AuditStatement(db, actor, platform::Utf8ToGbk(note.action), note.key, oldValue, note.newValue)))
    return StatementFailed(db);
  if (!transaction.Commit()) return Outcome(ChangeOutcome::Kind::kFailed, affected);
  return Outcome(ChangeOutcome::Kind::kDone, affected);
}

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
  return RunChange(db, actor, {"添加用户", name, {}, std::string("2 ") + kMaskedPassword},
                   {db.Format(kAddUserTemplate, {name, password})});
}

ChangeOutcome DeleteUser(DbSession& db, const Actor& actor, const std::string& name) {
  return RunChange(db, actor, {"删除用户", name, db.Format(kUserBeforeSql, {name}), {}},
                   {db.Format(kDeleteUserTemplate, {name}), db.Format(kWithdrawUserGrantsTemplate, {name})});
}

ChangeOutcome AddCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name) {
  return RunChange(db, actor, {"添加公司", number, {}, name}, {db.Format(kInsertCompany, {number, name})});
}

ChangeOutcome RenameCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name) {
  return RunChange(db, actor, {"修改公司", number, db.Format(kCompanyBeforeSql, {number}), name},
                   {db.Format(kRenameCompany, {name, number})});
}

ChangeOutcome DeleteCompany(DbSession& db, const Actor& actor, const std::string& number) {
  return RunChange(db, actor, {"删除公司", number, db.Format(kCompanyBeforeSql, {number}), {}},
                   WithCascade(db, kDeleteCompany, kCompanyCascadeDeletes, {number}));
}

namespace {
std::string KeyOf(const DepartmentKey& key) { return key.company + "/" + key.department; }
std::string KeyOf(const DeviceKey& key) { return key.device + " " + key.company + "/" + key.department; }
std::string KeyOf(const GrantKey& key) { return key.user + " " + key.company + "/" + key.department; }
}  // namespace

ChangeOutcome AddDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name) {
  return RunChange(db, actor, {"添加部门", KeyOf(key), {}, name},
                   {db.Format(kInsertDepartment, {key.department, key.company, name, key.company})}, Rows::kExactlyOne);
}

ChangeOutcome RenameDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name) {
  return RunChange(db, actor,
                   {"修改部门", KeyOf(key), db.Format(kDepartmentBeforeSql, {key.department, key.company}), name},
                   {db.Format(kRenameDepartment, {name, key.department, key.company})});
}

ChangeOutcome DeleteDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key) {
  return RunChange(db, actor,
                   {"删除部门", KeyOf(key), db.Format(kDepartmentBeforeSql, {key.department, key.company}), {}},
                   WithCascade(db, kDeleteDepartment, kDepartmentCascadeDeletes, {key.department, key.company}));
}

ChangeOutcome AddDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name) {
  return RunChange(
      db, actor, {"添加设备", KeyOf(key), {}, name},
      {db.Format(kInsertDevice, {key.device, name, key.company, key.department, key.company, key.department})},
      Rows::kExactlyOne);
}

ChangeOutcome RenameDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name) {
  return RunChange(
      db, actor, {"修改设备", KeyOf(key), db.Format(kDeviceBeforeSql, {key.device, key.company, key.department}), name},
      {db.Format(kRenameDevice, {name, key.device, key.company, key.department})});
}

ChangeOutcome DeleteDevice(DbSession& db, const Actor& actor, const DeviceKey& key) {
  return RunChange(db, actor,
                   {"删除设备", KeyOf(key), db.Format(kDeviceBeforeSql, {key.device, key.company, key.department}), {}},
                   {db.Format(kDeleteDevice, {key.device, key.company, key.department})});
}

ChangeOutcome GrantPermission(DbSession& db, const Actor& actor, const GrantKey& key) {
  return RunChange(db, actor, {"授予权限", KeyOf(key), {}, platform::Utf8ToGbk("有权限")},
                   {db.Format(kGrantTemplate, {key.user, key.company, key.department, key.user, key.company,
                                               key.company, key.department})},
                   Rows::kExactlyOne);
}

ChangeOutcome RevokePermission(DbSession& db, const Actor& actor, const GrantKey& key) {
  return RunChange(db, actor, {"撤销权限", KeyOf(key), {}, {}},
                   {db.Format(kWithdrawTemplate, {key.user, key.company, key.department})});
}

}  // namespace admin
