#pragma once
// Who is logged in. The login dialog produces it; the shell hands it to the live query, the
// menus, the dialogs and the export, which never change it.
#include <string>

enum UserRole : int { kRoleNone = 0, kRoleAdministrator = 1, kRoleNormalUser = 2 };

struct Login {
  std::string userName;  // GBK, exactly as typed
  int role = kRoleNone;  // UserRole code; kRoleNone before a login
};
