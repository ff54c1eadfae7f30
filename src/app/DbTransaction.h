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
    const CommitOutcome outcome = db_.Commit();
    if (outcome == CommitOutcome::kCommitted) return true;
    commitError_ = db_.LastErrorNumber();
    unconfirmed_ = outcome == CommitOutcome::kUnconfirmed;
    if (!unconfirmed_) db_.Rollback();
    return false;
  }
  // After a failed Commit: the server's error (1213 for a conflict, 0 for a lost link), and
  // whether the commit was sent but its reply lost, so it may have happened after all.
  unsigned CommitError() const { return commitError_; }
  bool Unconfirmed() const { return unconfirmed_; }

 private:
  DbSession& db_;
  bool open_;
  unsigned commitError_ = 0;
  bool unconfirmed_ = false;
};
