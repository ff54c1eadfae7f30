#pragma once
#include "DialogTemplate.h"

namespace res {

// Control ids of the user management dialog.
enum UserManageControlId : int {
  IDC_USER_FIND_KEY = 1000,
  IDC_USER_FIND = 1001,
  IDC_USER_LIST = 1002,
  IDC_USER_NAME = 1003,
  IDC_USER_PASSWORD = 1004,
  IDC_USER_PASSWORD_AGAIN = 1005,
  IDC_USER_DELETE = 1006,
  IDC_USER_ADD = 1007,
  IDC_USER_DB_STATE = 1008,  // hidden: connection state text
  IDC_USER_TYPE = 1009,
  IDC_USER_STATUS = 1010,
  IDC_USER_EXIT = 1074,
};

extern const DialogTemplate kUserManageDialog;

}  // namespace res
