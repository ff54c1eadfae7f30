#include "DbSession.h"

#include <chrono>

#include "Diagnostic.h"

namespace {

// A lost link reported this close to the read time-out was the time-out itself: the server
// is up but not answering, and reconnecting would only make the user wait again.
constexpr auto kTimeoutSlack = std::chrono::milliseconds(250);

constexpr std::string_view kBeginStatement = "start transaction";
constexpr std::string_view kCommitStatement = "commit";
constexpr std::string_view kRollbackStatement = "rollback";
constexpr const char* kConnectFailureDiagnostic = "veltrane: %s\n";

// 0: the interactive default.
thread_local unsigned threadReadTimeout = 0;

unsigned CurrentReadTimeout() { return threadReadTimeout ? threadReadTimeout : DbSession::kReadTimeoutSeconds; }

}  // namespace

DbSession::ReadTimeoutScope::ReadTimeoutScope(unsigned seconds) : saved_(threadReadTimeout) {
  threadReadTimeout = seconds;
}
DbSession::ReadTimeoutScope::~ReadTimeoutScope() { threadReadTimeout = saved_; }

DbSession::~DbSession() { Close(); }

void DbSession::Configure(std::string host, int port, std::string user, std::string password, std::string database) {
  std::lock_guard lock(mutex_);
  servers_ = ParseServerList(host, port);
  host_ = std::move(host);
  port_ = port;
  account_ = {std::move(user), std::move(password), std::move(database)};
}

void DbSession::ConfigureLike(DbSession& other) {
  if (&other == this) return;
  std::string host, characterSet;
  DbAccount account;
  int port = 0;
  bool readsOwnWrites = true;
  {
    std::lock_guard lock(other.mutex_);
    host = other.host_;
    port = other.port_;
    account = other.account_;
    characterSet = other.characterSet_;
    readsOwnWrites = other.readsOwnWrites_;
  }
  Configure(std::move(host), port, std::move(account.user), std::move(account.password), std::move(account.database));
  std::lock_guard lock(mutex_);
  characterSet_ = std::move(characterSet);
  readsOwnWrites_ = readsOwnWrites;
  reportConnectFailures_ = other.reportConnectFailures_.load();
}

void DbSession::SetReadsOwnWrites(bool on) {
  std::lock_guard lock(mutex_);
  readsOwnWrites_ = on;
}

void DbSession::SetConnectFailureReporting(bool onStderr) { reportConnectFailures_ = onStderr; }

void DbSession::ReportConnectFailure(const DbClient::Error& error) {
  // One line per failure; a monitor thread retrying every minute against the same fault does
  // not repeat it until a connect has succeeded in between.
  lastConnectFailure_ = ConnectFailureLine(account_.database, servers_, error.text);
  if (error.text == lastReportedConnectError_ || !reportConnectFailures_) return;
  lastReportedConnectError_ = error.text;
  platform::Diagnostic(kConnectFailureDiagnostic, lastConnectFailure_.c_str());
}

void DbSession::ConnectLocked(bool recordOutcome) {
  DbClient::InitialiseLibrary();
  // Every server of the list in order, each within the connect time-out; the first that takes
  // the connection, the character set and (a Galera node) clients wins.
  std::optional<DbClient::Error> failure;
  for (const DbServer& server : servers_) {
    failure = client_.Connect(server, account_, characterSet_, kConnectTimeoutSeconds, CurrentReadTimeout());
    if (!failure) failure = client_.ProbeGaleraNode(readsOwnWrites_);
    if (!failure) break;
    if (client_.Linked()) client_.Close();  // reached, but not usable
  }
  const bool ok = !failure;
  if (recordOutcome || ok) connected_ = ok;
  inTransaction_ = false;
  ++generation_;
  if (ok) {
    lastReportedConnectError_.clear();
    lastConnectFailure_.clear();
  } else {
    ReportConnectFailure(*failure);
  }
}

void DbSession::ConnectDatabase() {
  std::lock_guard lock(mutex_);
  ConnectLocked(true);
}

bool DbSession::RecoverLink() {
  std::lock_guard lock(mutex_);
  ConnectLocked(false);
  if (client_.Linked()) held_.ClearFault();
  return client_.Linked();
}

std::string DbSession::LastConnectFailure() {
  std::lock_guard lock(mutex_);
  return lastConnectFailure_;
}

void DbSession::Close() {
  std::lock_guard lock(mutex_);
  client_.Close();
}

void DbSession::ReportLinkFault() {
  if (held_.HeldByThisThread()) held_.ReportFault();
}

bool DbSession::IdleLinkClosed() {
  std::unique_lock lock(mutex_, std::try_to_lock);
  return lock.owns_lock() && client_.IdleLinkClosed();
}

DbSession::Outcome DbSession::RunLocked(StatementKind kind, const std::function<bool()>& attempt) {
  const bool isHeld = held_.HeldByThisThread();
  // Inside SelectEach's callback the connection is still receiving the rows.
  if (handingRows_ || transactionLost_ || (isHeld && held_.FaultPending())) return Outcome::kFailed;
  const DbHeldUse::Statement statementHooks(isHeld ? held_.HooksForThisThread() : nullptr);
  const auto runOnce = [&] {
    rowsHanded_ = false;
    client_.ApplyReadTimeout(CurrentReadTimeout());
    client_.MarkInFlight(true);
    const bool ok = attempt();
    client_.MarkInFlight(false);
    return ok;
  };
  const std::uint64_t startGeneration = generation_;
  const bool transaction = inTransaction_;
  const auto finish = [&](AfterLinkLoss verdict) {
    // A transaction does not survive its connection: everything up to its end fails.
    if (transaction && (generation_ != startGeneration || !client_.Linked())) transactionLost_ = true;
    return verdict == AfterLinkLoss::kUnconfirmed ? Outcome::kUnconfirmed : Outcome::kFailed;
  };

  AfterLinkLoss verdict = DecideAfterLinkLoss({kind, transaction, false, false});
  if (client_.HasHandle()) {
    const bool sent = client_.Linked();
    const auto started = std::chrono::steady_clock::now();
    if (runOnce()) return Outcome::kDone;
    if (!IsLinkError(client_.LastError().number)) return Outcome::kFailed;  // the server answered
    client_.MarkLinkLost();
    verdict = DecideAfterLinkLoss({kind, transaction, sent, rowsHanded_});
    if (!isHeld) return finish(verdict);
    const auto waited = std::chrono::steady_clock::now() - started;
    if (waited + kTimeoutSlack >= std::chrono::seconds(CurrentReadTimeout())) {
      held_.ReportFault();
      return finish(verdict);
    }
  } else if (!isHeld) {
    return Outcome::kFailed;
  }
  // The holder's thread is the only user of the connection: reconnect on the spot.
  ConnectLocked(false);
  if (!client_.Linked()) {
    held_.ReportFault();
    return finish(verdict);
  }
  if (verdict != AfterLinkLoss::kSendAgain) return finish(verdict);
  if (runOnce()) return Outcome::kDone;
  if (IsLinkError(client_.LastError().number)) {
    client_.MarkLinkLost();
    held_.ReportFault();
  }
  return Outcome::kFailed;
}

// --- statements ---------------------------------------------------------------------------

std::string DbSession::Escape(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!connected_) return EscapeGbkLiteral(text);
  return client_.Escape(text).value_or(EscapeGbkLiteral(text));
}

std::string DbSession::Format(std::string_view tmpl, std::initializer_list<SqlArg> args) {
  return FormatSqlWith([this](std::string_view t) { return Escape(t); }, tmpl, args);
}

bool DbSession::SelectEachLocked(std::string_view sql, const std::function<void(const DbRow&)>& onRow) {
  return RunLocked(StatementKind::kRead, [&] {
           if (!client_.Query(sql)) return false;
           return client_.FetchRows([&](const DbRow& row) {
             rowsHanded_ = true;
             handingRows_ = true;
             onRow(row);
             handingRows_ = false;
           });
         }) == Outcome::kDone;
}

bool DbSession::SelectEach(std::string_view sql, const std::function<void(const DbRow&)>& onRow) {
  std::lock_guard lock(mutex_);
  return SelectEachLocked(sql, onRow);
}

DbResult DbSession::Select(std::string_view sql) {
  std::lock_guard lock(mutex_);
  DbResult result;
  // The rows are only kept here: a break part-way drops them and the read may go again.
  result.ok = RunLocked(StatementKind::kRead, [&] {
                result.rows.clear();
                if (!client_.Query(sql)) return false;
                return client_.FetchRows([&](const DbRow& row) { result.rows.push_back(row); });
              }) == Outcome::kDone;
  if (!result.ok) result.rows.clear();
  return result;
}

bool DbSession::Execute(std::string_view sql) {
  std::lock_guard lock(mutex_);
  return RunLocked(StatementKind::kWrite, [&] {
           if (!client_.Query(sql)) return false;
           client_.DiscardResult();  // so the connection stays usable
           return true;
         }) == Outcome::kDone;
}

int DbSession::Ping() {
  std::lock_guard lock(mutex_);
  return RunLocked(StatementKind::kRead, [this] { return client_.Ping(); }) == Outcome::kDone ? 0 : 1;
}

bool DbSession::Begin() {
  std::lock_guard lock(mutex_);
  // Opening a transaction changes nothing: it may be sent again on a new connection.
  const bool ok = RunLocked(StatementKind::kRead, [this] { return client_.Query(kBeginStatement); }) == Outcome::kDone;
  if (ok) inTransaction_ = true;
  return ok;
}

DbSession::Outcome DbSession::EndTransactionLocked(std::string_view sql, StatementKind kind) {
  // The server dropped a transaction whose link broke: nothing is left to end. Either way the
  // transaction is over, also when its end itself lost the link.
  const Outcome outcome = transactionLost_ ? Outcome::kFailed : RunLocked(kind, [&] { return client_.Query(sql); });
  inTransaction_ = false;
  transactionLost_ = false;
  return outcome;
}

CommitOutcome DbSession::Commit() {
  std::lock_guard lock(mutex_);
  switch (EndTransactionLocked(kCommitStatement, StatementKind::kCommit)) {
    case Outcome::kDone: return CommitOutcome::kCommitted;
    case Outcome::kUnconfirmed: return CommitOutcome::kUnconfirmed;
    case Outcome::kFailed: break;
  }
  return CommitOutcome::kFailed;
}

bool DbSession::Rollback() {
  std::lock_guard lock(mutex_);
  return EndTransactionLocked(kRollbackStatement, StatementKind::kWrite) == Outcome::kDone;
}

unsigned long long DbSession::AffectedRows() {
  std::lock_guard lock(mutex_);
  return client_.AffectedRows();
}

unsigned DbSession::LastErrorNumber() {
  std::lock_guard lock(mutex_);
  return client_.LastError().number;
}

std::string DbSession::LastError() {
  std::lock_guard lock(mutex_);
  return client_.LastError().text;
}
