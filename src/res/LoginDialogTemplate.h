#pragma once
#include "DialogTemplate.h"

namespace res {
enum LoginControlId : int {
  IDC_LOGIN_USER = 1088,
  IDC_LOGIN_PASSWORD = 1089,
  IDC_LOGIN_ROLE = 1090,
  IDC_LOGIN_OK = 1073,
  IDC_LOGIN_CANCEL = 1074,
  IDC_LOGIN_STATUS = 1091,
};
extern const DialogTemplate kLoginDialog;
}  // namespace res
