#pragma once
#include "DialogTemplate.h"

namespace res {
// The "部门" page of the company and department dialog.
enum DepartmentPageControlId : int {
  IDC_DEPT_STATUS = 1010,
  IDC_DEPT_NUMBER = 1029,
  IDC_DEPT_NAME = 1030,
  IDC_DEPT_ADD = 1031,
  IDC_DEPT_DELETE = 1032,
  IDC_DEPT_COMPANY_COMBO = 1033,
  IDC_DEPT_RENAME = 1035,
  IDC_DEPT_LIST = 1036,
  IDC_DEPT_COMPANY_NUMBER = 1037,
};
extern const DialogTemplate kDepartmentPage;
}  // namespace res
