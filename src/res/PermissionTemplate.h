#pragma once
#include "DialogTemplate.h"

namespace res {

// Control ids of the user permission dialog.
enum PermissionControlId : int {
  IDC_PERM_DELETE = 1006,
  IDC_PERM_ADD = 1007,
  IDC_PERM_STATUS = 1010,
  IDC_PERM_FIELD = 1012,
  IDC_PERM_KEY = 1013,
  IDC_PERM_FIND = 1014,
  IDC_PERM_COMPANY_NUM = 1017,
  IDC_PERM_DEPARTMENT_NUM = 1019,
  IDC_PERM_COMPANY = 1022,
  IDC_PERM_DEPARTMENT = 1023,
  IDC_PERM_LIST = 1025,
  IDC_PERM_USER = 1026,
  IDC_PERM_EXIT = 1074,
};

extern const DialogTemplate kPermissionDialog;

}  // namespace res
