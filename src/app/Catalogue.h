#pragma once
// The catalogue of users, companies, departments and devices as the dialogs, the live query and the
// headless export look it up, and the one rule of who sees what: an administrator sees every
// company, department and device, any other role only the departments granted in
// permission_tab. Texts go in and come back in GBK; every text is escaped into the statement.
// Where two callers word the same look-up differently, both texts are kept as they were.
#include <string>

#include "DbSession.h"

namespace catalogue {

bool SeesEveryDevice(int role);

// Every user account with all its columns (user_tab); the user list runs it as its query.
inline constexpr const char* kAllUsersSql = "select * from user_tab";
DbResult Users(DbSession& db);

// Every company: number, name.
DbResult Companies(DbSession& db);
// The name of company `companyNum`; no row when there is no such company.
DbResult CompanyName(DbSession& db, const std::string& companyNum);
// The numbers of the companies called `name`.
DbResult CompanyNumbersNamed(DbSession& db, const std::string& name);
// The departments of a company: number, name.
DbResult Departments(DbSession& db, const std::string& companyNum);
// The department names of a company, for the administration dialogs.
DbResult DepartmentNames(DbSession& db, const std::string& companyNum);
// The numbers of the departments of `companyNum` called `name`.
DbResult DepartmentNumbersNamed(DbSession& db, const std::string& name, const std::string& companyNum);

// The companies (number, name) and the department names of one company that `role` and `user` see.
DbResult CompaniesSeenBy(DbSession& db, int role, const std::string& user);
DbResult DepartmentNamesSeenBy(DbSession& db, int role, const std::string& user, const std::string& companyNum);

// Devices with their company and department: id, name, company name, department name. Devices
// whose company or department is missing are left out.
DbResult DevicesOfCompany(DbSession& db, const std::string& companyNum);
DbResult DevicesOfDepartment(DbSession& db, const std::string& companyNum, const std::string& departmentNum);

// Device `deviceId`: number, name; no row when there is no such device.
DbResult Device(DbSession& db, const std::string& deviceId);

// One row when device `deviceId` lies in a department granted to `user`, none otherwise.
DbResult GrantedDevice(DbSession& db, const std::string& user, const std::string& deviceId);

}  // namespace catalogue
