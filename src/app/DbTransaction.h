#pragma once
// All-or-nothing for the statements of one action on the session: begun on construction,
// rolled back on destruction unless Commit() succeeded.
#include "DbSession.h"

class DbTransaction {
 public:
  explicit DbTransaction(DbSession& db) : db_(db), open_(db.Begin()) {}
  ~DbTransaction() {
    if (open_) db_.Rollback();
  }
  DbTransaction(const DbTransaction&) = delete;
  DbTransaction& operator=(const DbTransaction&) = delete;

  // False when "start transaction" itself was refused: run nothing then.
  bool IsOpen() const { return open_; }
  // A refused commit is rolled back as well, so the caller reports one failure.
  bool Commit() {
    if (!open_) return false;
    open_ = false;
    if (db_.Commit()) return true;
    db_.Rollback();
    return false;
  }

 private:
  DbSession& db_;
  bool open_;
};
