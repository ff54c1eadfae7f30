#include "ChangeRunner.h"

#include <optional>
#include <thread>

#include "DbTransaction.h"

namespace {

// Runs of a change after the first that a deadlock or lock wait time-out may cost.
constexpr int kTransientRetries = 3;

// Holds the session for this thread while a runner works, unless a dialog holds it already:
// its statements then connect again on the spot when the link is down or lost, as a dialog's
// do (without touching LastConnectSucceeded, which the dialogs read). The fault stays with the
// caller's outcome; nobody else is told.
class RunnerHold {
 public:
  explicit RunnerHold(DbSession& db) : db_(db), own_(!db.HeldByThisThread()) {
    if (own_) db_.BeginHeldUse({});
  }
  ~RunnerHold() {
    if (own_) db_.EndHeldUse();
  }
  RunnerHold(const RunnerHold&) = delete;
  RunnerHold& operator=(const RunnerHold&) = delete;

 private:
  DbSession& db_;
  bool own_;
};

// What one run of a change came to; `transient`: it may simply be run again.
struct RunResult {
  ChangeOutcome outcome;
  bool transient = false;
};

// A statement the server answered with an error was refused; one that lost the link failed.
RunResult FailedWith(unsigned error) {
  const bool answered = error != 0 && !DbSession::IsLinkError(error);
  return {{answered ? ChangeOutcome::Kind::kRefused : ChangeOutcome::Kind::kFailed, 0},
          DbSession::IsTransientError(error)};
}
RunResult StatementFailed(DbSession& db) { return FailedWith(db.LastErrorNumber()); }

std::string FormatWith(DbSession& db, const char* tmpl, const std::vector<std::string>& values) {
  switch (values.size()) {
    case 1: return db.Format(tmpl, {values[0]});
    case 2: return db.Format(tmpl, {values[0], values[1]});
    default: return db.Format(tmpl, {values[0], values[1], values[2]});
  }
}

// Writes `parent` inside the open transaction; kRefused when it is gone.
std::optional<RunResult> CertifyParent(DbSession& db, const ParentRow& parent) {
  const DbResult read = db.Select(FormatWith(db, parent.read, parent.key));
  if (!read.ok) return StatementFailed(db);
  if (read.rows.empty() || read.rows[0].empty()) return RunResult{{ChangeOutcome::Kind::kRefused, 0}};
  std::vector<std::string> restoreValues{read.rows[0][0]};
  restoreValues.insert(restoreValues.end(), parent.key.begin(), parent.key.end());
  if (!db.Execute(FormatWith(db, parent.mark, parent.key)) ||
      !db.Execute(FormatWith(db, parent.restore, restoreValues)))
    return StatementFailed(db);
  return std::nullopt;
}

std::optional<std::string> ReadOldValue(DbSession& db, const std::string& sql) {
  if (sql.empty()) return std::string();
  const DbResult result = db.Select(sql);
  if (!result.ok) return std::nullopt;
  std::string value;
  if (!result.rows.empty())
    for (const std::string& column : result.rows[0]) value += (value.empty() ? "" : " ") + column;
  return value;
}

RunResult RunChangeOnce(DbSession& db, const ChangeSpec& change, const RunnerClock& clock) {
  DbTransaction transaction(db);
  if (!transaction.IsOpen()) return StatementFailed(db);
  for (const ParentRow& parent : change.parents)
    if (std::optional<RunResult> failed = CertifyParent(db, parent)) return *failed;
  std::string oldValue;
  if (change.actor.audited) {
    std::optional<std::string> read = ReadOldValue(db, change.oldValueSql);
    if (!read) return StatementFailed(db);
    oldValue = std::move(*read);
  }
  unsigned long long affected = 0;
  for (std::size_t i = 0; i < change.statements.size(); ++i) {
    if (!db.Execute(change.statements[i])) return StatementFailed(db);
    if (i == 0) affected = db.AffectedRows();
  }
  if (change.rows == ExpectedRows::kExactlyOne && affected != 1) return {{ChangeOutcome::Kind::kRefused, affected}};
  const bool recorded = change.statements.empty() || affected > 0;
  if (change.actor.audited && recorded &&
      !db.Execute(AuditStatement(db, change.actor, change.action, change.key, oldValue, change.newValue)))
    return StatementFailed(db);
  if (transaction.Commit()) return {{ChangeOutcome::Kind::kDone, affected}};
  if (transaction.Unconfirmed()) return {{ConfirmLostCommit(db, change.check, clock), affected}};
  RunResult failed = FailedWith(transaction.CommitError());
  failed.outcome.affectedRows = affected;
  return failed;
}

}  // namespace

const RunnerClock& SystemClock() {
  static const RunnerClock clock{[] { return std::chrono::steady_clock::now(); },
                                 [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); }};
  return clock;
}

ChangeOutcome::Kind ConfirmLostCommit(DbSession& db, const ChangeCheck& check, const RunnerClock& clock) {
  const auto found = [&] {
    if (!db.RecoverLink()) return false;
    const DbResult rows = db.Select(check.sql);
    return rows.ok && rows.rows.empty() != check.rowThere;
  };
  ChangeOutcome::Kind kind = ChangeOutcome::Kind::kUnconfirmed;
  if (!check.sql.empty()) {
    const auto deadline = clock.now() + kLostCommitPatience;
    for (;;) {
      if (found()) {
        kind = ChangeOutcome::Kind::kDone;
        break;
      }
      if (clock.now() + kLostCommitPause > deadline) break;
      clock.sleep(kLostCommitPause);
    }
  }
  // Told in the outcome itself: no second notice of the lost link.
  db.ClearLinkFault();
  return kind;
}

ChangeOutcome RunChange(DbSession& db, const ChangeSpec& change, const RunnerClock& clock) {
  RunnerHold hold(db);
  RunResult result;
  for (int run = 0; run <= kTransientRetries; ++run) {
    result = RunChangeOnce(db, change, clock);
    if (!result.transient) break;
  }
  return result.outcome;
}

bool RunRead(DbSession& db, const std::function<bool()>& read) {
  RunnerHold hold(db);
  return read();
}

DbResult SelectRead(DbSession& db, std::string_view sql) {
  DbResult result;
  RunRead(db, [&] {
    result = db.Select(sql);
    return result.ok;
  });
  return result;
}
