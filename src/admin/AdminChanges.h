#pragma once
// Every change the administration dialogs make to the catalogue, one function each, without
// widgets: the statements of a change run in one transaction on the session they are given,
// so a change happens completely or not at all. Texts are GBK, as the tables hold them; the
// dialogs check what was typed before they call. `actor` is the account making the change;
// when its station keeps an audit trail, the change's audit row is part of the same transaction.
//
// On a cluster: a row that the new row hangs off (the company of a department, the department
// of a device, the user and department of a grant) is written in the same transaction, so a
// delete of it on another node conflicts instead of leaving an orphan. A deadlock or lock wait
// time-out (which is how a conflict is told) runs the whole change again, up to three times.
// When the reply to the commit is lost, the change is looked up by its key on new connections
// and reported done when it is there. Each change runs through the change runner.
#include <string>

#include "AuditTrail.h"
#include "ChangeRunner.h"

class DbSession;

namespace admin {

using ChangeOutcome = ::ChangeOutcome;

struct DepartmentKey {
  std::string company;
  std::string department;
};

struct DeviceKey {
  std::string device;
  std::string company;
  std::string department;
};

struct GrantKey {
  std::string user;
  std::string company;
  std::string department;
};

// New accounts are always normal users.
ChangeOutcome AddUser(DbSession& db, const Actor& actor, const std::string& name, const std::string& password);
// The account goes with all its grants.
ChangeOutcome DeleteUser(DbSession& db, const Actor& actor, const std::string& name);

ChangeOutcome AddCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name);
ChangeOutcome RenameCompany(DbSession& db, const Actor& actor, const std::string& number, const std::string& name);
// The company goes with its departments, devices and grants.
ChangeOutcome DeleteCompany(DbSession& db, const Actor& actor, const std::string& number);

// Refused when the company is gone.
ChangeOutcome AddDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name);
ChangeOutcome RenameDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key, const std::string& name);
// The department goes with its devices and grants.
ChangeOutcome DeleteDepartment(DbSession& db, const Actor& actor, const DepartmentKey& key);

// Refused when the department is gone.
ChangeOutcome AddDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name);
ChangeOutcome RenameDevice(DbSession& db, const Actor& actor, const DeviceKey& key, const std::string& name);
ChangeOutcome DeleteDevice(DbSession& db, const Actor& actor, const DeviceKey& key);

// Refused when the user, the company or the department is gone.
ChangeOutcome GrantPermission(DbSession& db, const Actor& actor, const GrantKey& key);
ChangeOutcome RevokePermission(DbSession& db, const Actor& actor, const GrantKey& key);

}  // namespace admin
