#pragma once
// Login values: set once by a successful login, read by the live query, the menus and the
// history dialog for the rest of the run.
#include <string>

enum UserRole : int { kRoleNone = 0, kRoleAdministrator = 1, kRoleNormalUser = 2 };

extern std::string currentUserName;  // GBK, exactly as typed
extern int currentUserRole;          // UserRole code; 0 before login
