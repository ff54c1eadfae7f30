#pragma once
// The one way the user-interface thread's session runs a read or an audited change, in a dialog
// or not (an acknowledgement from the main window, a login, a command-line export):
//
// - Both reconnect as a dialog does. Inside a dialog the session already holds the connection
//   for this thread; elsewhere the runner holds it for the call (DbSession::BeginHeldUse), so a
//   link that is down or was lost (a restarted server, an idle connection the server closed)
//   is connected again on the spot and a read is sent once more.
// - A change runs its statements and its audit row in one transaction; a deadlock or lock wait
//   time-out (how a cluster tells a conflict) runs it again, up to three times. A write whose
//   reply was lost is never sent again: when the reply to the commit was lost, the change is
//   looked up by its key on new connections for a few seconds (a proxy may still send the
//   first of them to the dead node) before it is called unconfirmed.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "AuditTrail.h"
#include "DbSession.h"

struct ChangeOutcome {
  enum class Kind {
    kDone,         // committed
    kRefused,      // the server answered, but the change did not happen (a duplicate key, a row
                   // it hangs off that is gone, a refused statement): nothing was changed
    kFailed,       // the link or the transaction failed: nothing was changed
    kUnconfirmed,  // the reply to the commit was lost and the change could not be found
                   // afterwards (nor its absence proven): the list must be read again
  };
  Kind kind = Kind::kFailed;
  // Rows the change's first statement touched (0 for a rename or delete that matched nothing,
  // which is still done).
  unsigned long long affectedRows = 0;

  bool Succeeded() const { return kind == Kind::kDone; }
};

// A row a new row hangs off, written inside the change's transaction so that a cluster
// certifies the two together: read and locked, set to a marker (an update that changes nothing
// is not replicated, and so not certified), then set back to what was read.
struct ParentRow {
  const char* read;              // its value, locked; no row: the parent is gone (the change is refused)
  const char* mark;              // a value certainly different from the one it has
  const char* restore;           // the value read, then the key
  std::vector<std::string> key;  // the values of the templates' key placeholders, in order
};

// Whether the first statement must have touched exactly one row: an insert guarded by "where
// exists" that inserted nothing found its parent gone.
enum class ExpectedRows { kAny, kExactlyOne };

// What the change looks like when it is there: one row of `sql` when it added or renamed
// something, none when it deleted it. Empty: it cannot be looked up.
struct ChangeCheck {
  std::string sql{};
  bool rowThere = true;
};

// One audited change; fill it with designated initializers. Texts are GBK.
struct ChangeSpec {
  Actor actor{};
  AuditAction action = AuditAction::kExport;
  std::string key{};
  // Reads the old value inside the transaction, before the change (its columns joined by
  // blanks); only for an audited actor.
  std::string oldValueSql{};
  std::string newValue{};
  // In order, in one transaction. None: the event is its audit row alone (a login, an export).
  std::vector<std::string> statements{};
  ExpectedRows rows = ExpectedRows::kAny;
  std::vector<ParentRow> parents{};
  ChangeCheck check{};
};

// The time and the pause of the look-up after a lost commit; tests replace both.
struct RunnerClock {
  std::function<std::chrono::steady_clock::time_point()> now;
  std::function<void(std::chrono::milliseconds)> sleep;
};
const RunnerClock& SystemClock();

// How long a lost commit's change is looked for, and the pause between two looks.
inline constexpr std::chrono::seconds kLostCommitPatience{5};
inline constexpr std::chrono::milliseconds kLostCommitPause{500};

// Runs `change`; with an audited actor its audit row is part of its transaction (written when
// the change touched a row, or when it has no statements), and a failing audit row fails it.
ChangeOutcome RunChange(DbSession& db, const ChangeSpec& change, const RunnerClock& clock = SystemClock());

// Runs a read (selects only; `read` says whether it succeeded), reconnecting as above.
bool RunRead(DbSession& db, const std::function<bool()>& read);
// One select through RunRead.
DbResult SelectRead(DbSession& db, std::string_view sql);

// After a commit whose reply was lost: looks `check` up on a new connection until it is found
// or kLostCommitPatience has passed; kDone or kUnconfirmed.
ChangeOutcome::Kind ConfirmLostCommit(DbSession& db, const ChangeCheck& check, const RunnerClock& clock);
