#include "AdminChanges.h"

#include <optional>
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

// A row a new row hangs off, written inside the change's transaction so that a cluster
// certifies the two together: read and locked, set to a marker (an update that changes nothing
// is not replicated, and so not certified), then set back to what was read.
struct ParentTemplates {
  const char* read;     // its value, locked; no row: the parent is gone
  const char* mark;     // a value certainly different from the one it has
  const char* restore;  // the value read, then the key
};
constexpr ParentTemplates kCompanyParent{
    "select company_name from company_tab where company_num='%s' for update",
    "update company_tab set company_name=if(company_name='#','##','#') where company_num='%s'",
    "update company_tab set company_name='%s' where company_num='%s'"};
constexpr ParentTemplates kDepartmentParent{
    "select department_name from department_tab where company_num='%s' and department_num='%s' for update",
    "update department_tab set department_name=if(department_name='#','##','#') "
    "where company_num='%s' and department_num='%s'",
    "update department_tab set department_name='%s' where company_num='%s' and department_num='%s'"};
constexpr ParentTemplates kUserParent{"select user_permission from user_tab where user_name='%s' for update",
                                      "update user_tab set user_permission=-1-user_permission where user_name='%s'",
                                      "update user_tab set user_permission='%s' where user_name='%s'"};

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

// Runs of a change after the first that a deadlock or lock wait time-out may cost.
constexpr int kTransientRetries = 3;

// Whether the first statement must have touched exactly one row: an insert guarded by "where
// exists" that inserted nothing found its parent gone.
enum class Rows { kAny, kExactlyOne };

ChangeOutcome Outcome(ChangeOutcome::Kind kind, unsigned long long affectedRows = 0) { return {kind, affectedRows}; }

// What one run of a change came to; `transient`: it may simply be run again.
struct RunResult {
  ChangeOutcome outcome;
  bool transient = false;
};

// A statement the server answered with an error was refused; one that lost the link failed.
RunResult FailedWith(unsigned error) {
  const bool answered = error != 0 && !DbSession::IsLinkError(error);
  return {Outcome(answered ? ChangeOutcome::Kind::kRefused : ChangeOutcome::Kind::kFailed),
          DbSession::IsTransientError(error)};
}
RunResult StatementFailed(DbSession& db) { return FailedWith(db.LastErrorNumber()); }

struct Parent {
  const ParentTemplates* templates;
  std::vector<std::string> key;  // the values of the templates' key placeholders, in order
};

// What a change must look like when it is there (see kUserThere ...).
struct Confirmation {
  std::string sql;
  bool rowThere = true;
};

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

std::string FormatWith(DbSession& db, const char* tmpl, const std::vector<std::string>& values) {
  switch (values.size()) {
    case 1: return db.Format(tmpl, {values[0]});
    case 2: return db.Format(tmpl, {values[0], values[1]});
    default: return db.Format(tmpl, {values[0], values[1], values[2]});
  }
}

// Writes `parent` inside the open transaction; kRefused when it is gone.
std::optional<RunResult> CertifyParent(DbSession& db, const Parent& parent) {
  const DbResult read = db.Select(FormatWith(db, parent.templates->read, parent.key));
  if (!read.ok) return StatementFailed(db);
  if (read.rows.empty() || read.rows[0].empty()) return RunResult{Outcome(ChangeOutcome::Kind::kRefused)};
  std::vector<std::string> restoreValues{read.rows[0][0]};
  restoreValues.insert(restoreValues.end(), parent.key.begin(), parent.key.end());
  if (!db.Execute(FormatWith(db, parent.templates->mark, parent.key)) ||
      !db.Execute(FormatWith(db, parent.templates->restore, restoreValues)))
    return StatementFailed(db);
  return std::nullopt;
}

// Whether the change of a commit whose reply was lost is there, on a new connection.
ChangeOutcome::Kind LookUp(DbSession& db, const Confirmation& confirmation) {
  if (!confirmation.sql.empty() && db.RecoverLink()) {
    const DbResult found = db.Select(confirmation.sql);
    if (found.ok && found.rows.empty() != confirmation.rowThere) return ChangeOutcome::Kind::kDone;
  }
  // Told in the outcome itself: no second notice of the lost link.
  db.ClearLinkFault();
  return ChangeOutcome::Kind::kUnconfirmed;
}

// One run of a change: `statements` in order in one transaction, after its parents were
// written; the first failure rolls all of them back. With an audited actor the change's audit
// row is written in the same transaction when the change touched a row: a failing audit insert
// fails the change.
RunResult RunChangeOnce(DbSession& db, const Actor& actor, const AuditNote& note,
                        const std::vector<std::string>& statements, Rows rows, const std::vector<Parent>& parents,
                        const Confirmation& confirmation) {
  DbTransaction transaction(db);
  if (!transaction.IsOpen()) return StatementFailed(db);
  for (const Parent& parent : parents)
    if (std::optional<RunResult> failed = CertifyParent(db, parent)) return *failed;
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
  if (rows == Rows::kExactlyOne && affected != 1) return {Outcome(ChangeOutcome::Kind::kRefused, affected)};
  if (actor.audited && affected > 0 &&
      !db.Execute(AuditStatement(db, actor, platform::Utf8ToGbk(note.action), note.key, oldValue, note.newValue)))
    return StatementFailed(db);
  if (transaction.Commit()) return {Outcome(ChangeOutcome::Kind::kDone, affected)};
  if (transaction.Unconfirmed()) return {Outcome(LookUp(db, confirmation), affected)};
  RunResult failed = FailedWith(transaction.CommitError());
  failed.outcome.affectedRows = affected;
  return failed;
}

ChangeOutcome RunChange(DbSession& db, const Actor& actor, const AuditNote& note,
                        const std::vector<std::string>& statements, Rows rows = Rows::kAny,
                        const std::vector<Parent>& parents = {}, const Confirmation& confirmation = {}) {
  RunResult result;
  for (int run = 0; run <= kTransientRetries; ++run) {
    result = RunChangeOnce(db, actor, note, statements, rows, parents, confirmation);
    if (!result.transient) break;
  }
  return result.outcome;
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
                   {db.Format(kAddUserTemplate, {name, password})}, Rows::kAny, {}, {db.Format(kUserThere, {name})});
}

ChangeOutcome DeleteUser(DbSession& db, const Actor& actor, const std::string& name) {
  return RunChange(db, actor, {"删除用户", name, db.Format(kUserBeforeSql, {name}), {}},
                   {db.Format(kDeleteUserTemplate, {name}), db.Format(kWithdrawUserGrantsTemplate, {name})}, Rows::kAny,
                   {}, {db.Format(kUserThere, {name}), false});
}

ChangeOutcome AddCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name) {
  return RunChange(db, actor, {"添加公司", number, {}, name}, {db.Format(kInsertCompany, {number, name})}, Rows::kAny,
                   {}, {db.Format(kCompanyNamed, {number, name})});
}

ChangeOutcome RenameCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name) {
  return RunChange(db, actor, {"修改公司", number, db.Format(kCompanyBeforeSql, {number}), name},
                   {db.Format(kRenameCompany, {name, number})}, Rows::kAny, {},
                   {db.Format(kCompanyNamed, {number, name})});
}

ChangeOutcome DeleteCompany(DbSession& db, const Actor& actor, const std::string& number) {
  return RunChange(db, actor, {"删除公司", number, db.Format(kCompanyBeforeSql, {number}), {}},
                   WithCascade(db, kDeleteCompany, kCompanyCascadeDeletes, {number}), Rows::kAny, {},
                   {db.Format(kCompanyThere, {number}), false});
}

namespace {
std::string KeyOf(const DepartmentKey& key) { return key.company + "/" + key.department; }
std::string KeyOf(const DeviceKey& key) { return key.device + " " + key.company + "/" + key.department; }
std::string KeyOf(const GrantKey& key) { return key.user + " " + key.company + "/" + key.department; }
}  // namespace

ChangeOutcome AddDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name) {
  return RunChange(db, actor, {"添加部门", KeyOf(key), {}, name},
                   {db.Format(kInsertDepartment, {key.department, key.company, name, key.company})}, Rows::kExactlyOne,
                   {{&kCompanyParent, {key.company}}},
                   {db.Format(kDepartmentNamed, {key.company, key.department, name})});
}

ChangeOutcome RenameDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name) {
  return RunChange(db, actor,
                   {"修改部门", KeyOf(key), db.Format(kDepartmentBeforeSql, {key.department, key.company}), name},
                   {db.Format(kRenameDepartment, {name, key.department, key.company})}, Rows::kAny, {},
                   {db.Format(kDepartmentNamed, {key.company, key.department, name})});
}

ChangeOutcome DeleteDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key) {
  return RunChange(db, actor,
                   {"删除部门", KeyOf(key), db.Format(kDepartmentBeforeSql, {key.department, key.company}), {}},
                   WithCascade(db, kDeleteDepartment, kDepartmentCascadeDeletes, {key.department, key.company}),
                   Rows::kAny, {}, {db.Format(kDepartmentThere, {key.company, key.department}), false});
}

ChangeOutcome AddDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name) {
  return RunChange(
      db, actor, {"添加设备", KeyOf(key), {}, name},
      {db.Format(kInsertDevice, {key.device, name, key.company, key.department, key.company, key.department})},
      Rows::kExactlyOne, {{&kDepartmentParent, {key.company, key.department}}},
      {db.Format(kDeviceNamed, {key.device, key.company, key.department, name})});
}

ChangeOutcome RenameDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name) {
  return RunChange(
      db, actor, {"修改设备", KeyOf(key), db.Format(kDeviceBeforeSql, {key.device, key.company, key.department}), name},
      {db.Format(kRenameDevice, {name, key.device, key.company, key.department})}, Rows::kAny, {},
      {db.Format(kDeviceNamed, {key.device, key.company, key.department, name})});
}

ChangeOutcome DeleteDevice(DbSession& db, const Actor& actor, const DeviceKey& key) {
  return RunChange(db, actor,
                   {"删除设备", KeyOf(key), db.Format(kDeviceBeforeSql, {key.device, key.company, key.department}), {}},
                   {db.Format(kDeleteDevice, {key.device, key.company, key.department})}, Rows::kAny, {},
                   {db.Format(kDeviceThere, {key.device, key.company, key.department}), false});
}

ChangeOutcome GrantPermission(DbSession& db, const Actor& actor, const GrantKey& key) {
  return RunChange(db, actor, {"授予权限", KeyOf(key), {}, platform::Utf8ToGbk("有权限")},
                   {db.Format(kGrantTemplate, {key.user, key.company, key.department, key.user, key.company,
                                               key.company, key.department})},
                   Rows::kExactlyOne, {{&kUserParent, {key.user}}, {&kDepartmentParent, {key.company, key.department}}},
                   {db.Format(kGrantThere, {key.user, key.company, key.department})});
}

ChangeOutcome RevokePermission(DbSession& db, const Actor& actor, const GrantKey& key) {
  return RunChange(db, actor, {"撤销权限", KeyOf(key), {}, {}},
                   {db.Format(kWithdrawTemplate, {key.user, key.company, key.department})}, Rows::kAny, {},
                   {db.Format(kGrantThere, {key.user, key.company, key.department}), false});
}

}  // namespace admin
