#pragma once
// "公司以及部门管理": a tab strip with the company page and the department page. Both pages are
// built when the dialog is, so the department page has its companies before it is first shown.
#include <string>

#include "AuditTrail.h"
#include "DialogBase.h"

class CCompanyPage;
class CDepartmentPage;
class DbSession;
class QTabBar;

class CCompanyDeptDlg : public res::DialogBase {
  Q_OBJECT
 public:
  // `actingUser` (GBK) is who makes the changes.
  CCompanyDeptDlg(DbSession& db, const Actor& actingUser, QWidget* parent = nullptr);

  CCompanyPage* CompanyPage() const { return companyPage_; }
  CDepartmentPage* DepartmentPage() const { return departmentPage_; }
  QTabBar* Tabs() const { return tabs_; }

 private:
  void OnTabSelChange(int index);

  QTabBar* tabs_;
  CCompanyPage* companyPage_;
  CDepartmentPage* departmentPage_;
};
