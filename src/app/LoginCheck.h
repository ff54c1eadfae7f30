#pragma once
// The login check shared by the login dialog and the headless export: name, password and
// role must match a user_tab row (the role is part of the match).
#include <string>

class DbSession;

enum class LoginCheckResult {
  kAccepted,
  kDatabaseUnreachable,  // the ping failed: no query was sent
  kRefused,              // no matching row
  kQueryFailed,          // the statement failed: nothing is reported
};

LoginCheckResult CheckLogin(DbSession& db, const std::string& gbkName, const std::string& gbkPassword, int role);
