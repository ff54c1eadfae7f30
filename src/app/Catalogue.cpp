#include "Catalogue.h"

#include "LoginState.h"

namespace catalogue {
namespace {

constexpr const char* kCompaniesSql = "select company_tab.company_num,company_tab.company_name from company_tab";
constexpr const char* kCompanyNameSql = "select company_tab.company_name from company_tab where company_num='%s'";
constexpr const char* kCompanyNumSql =
    "select company_tab.company_num from company_tab where company_tab.company_name ='%s'";
constexpr const char* kDepartmentsSql =
    "select department_num,department_name from department_tab where company_num='%s'";
constexpr const char* kDepartmentNamesSql =
    "select department_tab.department_name from department_tab where department_tab.company_num ='%s'";
constexpr const char* kDepartmentNumSql =
    "select department_tab.department_num from department_tab where department_name ='%s' and company_num='%s'";

constexpr const char* kGrantedCompaniesSql =
    "select distinct company_tab.company_num,company_tab.company_name\t\t\t\t             from "
    "company_tab,permission_tab\t\t\t\t\t\t\t where company_tab.company_num=permission_tab.company_num \t\t\t\t\t\t\t "
    "and   permission_tab.user_name='%s'";
// The same look-up as kDepartmentNamesSql, in the history dialog's own wording.
constexpr const char* kAllDepartmentNamesSql =
    "select department_tab.department_name \t\t\t\t\t\tfrom department_tab \t\t\t\t\t\twhere "
    "department_tab.company_num='%s'";
constexpr const char* kGrantedDepartmentNamesSql =
    "select department_tab.department_name \t\t\t\t\t\tfrom department_tab,permission_tab\t\t\t\t\t\twhere "
    "department_tab.company_num=permission_tab.company_num \t\t\t\t\t\tand   "
    "department_tab.department_num=permission_tab.department_num\t\t\t\t\t\tand   permission_tab.user_name='%s' "
    "\t\t\t\t\t\tand   permission_tab.company_num ='%s'";

constexpr const char* kCompanyDevicesSql =
    "select "
    "device_tab.device_num,device_tab.device_name,company_tab.company_name,department_tab.department_name\t\t\t\t\t    "
    " from device_tab,company_tab,department_tab \t\t\t\t\t     where device_tab.company_num=company_tab.company_num "
    "\t\t\t\t\t\t and device_tab.company_num=department_tab.company_num \t\t\t\t\t     and "
    "device_tab.department_num=department_tab.department_num\t\t\t\t\t     and device_tab.company_num='%s'";
constexpr const char* kDepartmentDevicesSql =
    "select "
    "device_tab.device_num,device_tab.device_name,company_tab.company_name,department_tab.department_name\t\t\t\t\t\t  "
    "from device_tab,company_tab,department_tab \t\t\t\t\t\t  where device_tab.company_num=company_tab.company_num "
    "\t\t\t\t\t\t  and device_tab.company_num=department_tab.company_num \t\t\t\t\t\t  and "
    "device_tab.department_num=department_tab.department_num\t\t\t\t\t\t  and device_tab.company_num='%s' \t\t\t\t\t\t "
    " and device_tab.department_num='%s'";
constexpr const char* kDeviceSql =
    "select device_tab.device_num,device_tab.device_name from device_tab where device_tab.device_num='%s'";
constexpr const char* kGrantedDeviceSql =
    "select device_tab.device_num from device_tab,permission_tab where permission_tab.user_name='%s' "
    "and device_tab.company_num=permission_tab.company_num "
    "and device_tab.department_num=permission_tab.department_num and device_tab.device_num='%s'";

DbResult Rows(DbSession& db, std::string_view tmpl, std::initializer_list<SqlArg> args) {
  return db.Select(db.Format(tmpl, args));
}

}  // namespace

bool SeesEveryDevice(int role) { return role == kRoleAdministrator; }

DbResult Users(DbSession& db) { return db.Select(kAllUsersSql); }

DbResult Companies(DbSession& db) { return db.Select(kCompaniesSql); }

DbResult CompanyName(DbSession& db, const std::string& companyNum) { return Rows(db, kCompanyNameSql, {companyNum}); }

DbResult CompanyNumbersNamed(DbSession& db, const std::string& name) { return Rows(db, kCompanyNumSql, {name}); }

DbResult Departments(DbSession& db, const std::string& companyNum) { return Rows(db, kDepartmentsSql, {companyNum}); }

DbResult DepartmentNames(DbSession& db, const std::string& companyNum) {
  return Rows(db, kDepartmentNamesSql, {companyNum});
}

DbResult DepartmentNumbersNamed(DbSession& db, const std::string& name, const std::string& companyNum) {
  return Rows(db, kDepartmentNumSql, {name, companyNum});
}

DbResult CompaniesSeenBy(DbSession& db, int role, const std::string& user) {
  if (SeesEveryDevice(role)) return Companies(db);
  return Rows(db, kGrantedCompaniesSql, {user});
}

DbResult DepartmentNamesSeenBy(DbSession& db, int role, const std::string& user, const std::string& companyNum) {
  if (SeesEveryDevice(role)) return Rows(db, kAllDepartmentNamesSql, {companyNum});
  return Rows(db, kGrantedDepartmentNamesSql, {user, companyNum});
}

DbResult DevicesOfCompany(DbSession& db, const std::string& companyNum) {
  return Rows(db, kCompanyDevicesSql, {companyNum});
}

DbResult DevicesOfDepartment(DbSession& db, const std::string& companyNum, const std::string& departmentNum) {
  return Rows(db, kDepartmentDevicesSql, {companyNum, departmentNum});
}

DbResult Device(DbSession& db, const std::string& deviceId) { return Rows(db, kDeviceSql, {deviceId}); }

DbResult GrantedDevice(DbSession& db, const std::string& user, const std::string& deviceId) {
  return db.Select(db.Format(kGrantedDeviceSql, {user, deviceId}));
}

}  // namespace catalogue
