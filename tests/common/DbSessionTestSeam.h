#pragma once
// What only tests do to a session: states that are slow or awkward to bring about for real.
#include "DbSession.h"

class DbSessionTestSeam {
 public:
  // The character set of the following connects ("gbk" in the station).
  static void SetCharacterSet(DbSession& db, std::string name) {
    std::lock_guard lock(db.mutex_);
    db.characterSet_ = std::move(name);
  }
  // As after a failed connect, while the link itself still works: how the dialogs behave then
  // is tested without failing a connect.
  static void ForgetConnectOutcome(DbSession& db) { db.connected_ = false; }
  // Some thread holds the session for a dialog right now.
  static bool IsHeld(const DbSession& db) { return db.held_.IsHeld(); }
  // A statement of the session is waiting for the server right now.
  static bool StatementInFlight(const DbSession& db) { return db.client_.InFlight(); }
};
