#include "LoginCheck.h"

#include "ChangeRunner.h"
#include "DbSession.h"

namespace {
constexpr const char* kLoginQuery =
    "select * from user_tab where user_name='%s' and user_passwd='%s' and user_permission='%d'";
}

LoginCheckResult CheckLogin(DbSession& db, const std::string& gbkName, const std::string& gbkPassword, int role) {
  // Nothing else uses the connection before the login (the monitor thread starts after it), so
  // an attempt may connect: a server that came back after start-up is found without a restart.
  if (!db.LastConnectSucceeded() || db.Ping() != 0) db.ConnectDatabase();
  if (db.Ping() != 0) return LoginCheckResult::kDatabaseUnreachable;
  // Name and password are escaped: a quote is compared as a quote and simply does not match.
  const std::string query = db.Format(kLoginQuery, {gbkName, gbkPassword, role});
  // The server going away under the query (a cluster node failing over) costs one more try on
  // a new connection, as any read of the runner.
  const DbResult result = SelectRead(db, query);
  if (!result.ok) return LoginCheckResult::kQueryFailed;
  return result.rows.empty() ? LoginCheckResult::kRefused : LoginCheckResult::kAccepted;
}
