#pragma once
// What a session does with a statement whose link broke: plain values, no client library.
// The session applies the verdict; whether it reconnects at all (only for a dialog that holds
// it, and not after a read time-out) is its own business.

enum class StatementKind {
  kRead,    // changes nothing: a select, a ping, "start transaction"
  kWrite,   // may have changed something: insert, update, delete, "rollback"
  kCommit,  // "commit"
};

// What happened before the link broke.
struct LostStatement {
  StatementKind kind = StatementKind::kRead;
  bool inTransaction = false;  // between "start transaction" and its end
  bool sent = false;           // it went out on a working connection
  bool rowsHanded = false;     // the caller has been given rows of its result
};

enum class AfterLinkLoss {
  kSendAgain,    // once, on the new connection
  kFail,         // report the failure, send nothing
  kUnconfirmed,  // the commit went out, its reply never came: it may have happened
};

AfterLinkLoss DecideAfterLinkLoss(const LostStatement& lost);
