#pragma once
#include "DialogTemplate.h"

namespace res {
// "公司以及部门管理": a tab strip over the company and department pages.
enum CompanyDeptControlId : int {
  IDC_COMPANY_DEPT_TABS = 1027,
  IDC_COMPANY_DEPT_EXIT = 1074,
};
extern const DialogTemplate kCompanyDeptDialog;
}  // namespace res
