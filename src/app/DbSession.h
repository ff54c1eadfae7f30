#pragma once
// One connection to the database. The process has two: the user-interface thread's (login,
// dialogs, exports) and the monitor thread's own, configured like the first (ConfigureLike).
// The session is thin: DbClient holds the client library and its handle, DbServerList the
// servers to try, LinkPolicy what is sent again after a lost link, DbHeldUse the dialog that
// holds the session.
//
// Locking rule: every call that touches the connection takes the session's connection mutex
// for its whole duration, so two threads can never use one connection at once. Each thread
// works on a session of its own, so nothing ever waits for a statement of another thread.
//
// Faults: every statement runs under the client's own time-outs (short for the interactive
// path, longer on the monitor thread and for the history table query, see ReadTimeoutScope).
// While a dialog holds the connection (BeginHeldUse), a statement of that thread that loses
// its link reconnects once on the spot and is sent again when LinkPolicy allows it. When the
// reconnect fails, or the server did not answer in time, the fault is reported once through
// the hooks and the following statements fail at once until ClearLinkFault, so one click
// never waits twice.
//
// Servers: the host may name several ("db1,db2:3307,db3"), tried in order on every connect.
// A Galera node that is not ready for clients (wsrep_ready OFF, or error 1047) counts as a
// failed connect and the next one is tried; a session that reads its own writes (the default)
// asks the node to wait for the cluster before every read (wsrep_sync_wait=1).
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "DbClient.h"
#include "DbHeldUse.h"
#include "LinkPolicy.h"
#include "SqlFormat.h"

struct DbResult {
  bool ok = false;  // false: the statement failed or returned no result set
  std::vector<DbRow> rows;
};

enum class CommitOutcome {
  kCommitted,
  kFailed,       // refused, or nothing was sent (the transaction was already lost)
  kUnconfirmed,  // "commit" went out, its reply never came: only a look at the data can tell
};

class DbSession {
 public:
  // Client time-outs, so a dead or hung server cannot freeze the window for long. The short
  // read time-out is the interactive default (list fills, administration statements); the
  // monitor thread and the history table query (which has its progress window) wait longer.
  static constexpr unsigned kConnectTimeoutSeconds = 2;
  static constexpr unsigned kReadTimeoutSeconds = 4;
  static constexpr unsigned kLongReadTimeoutSeconds = 30;

  // Overrides the read and write time-out of the statements this thread sends while it lives.
  class ReadTimeoutScope {
   public:
    explicit ReadTimeoutScope(unsigned seconds);
    ~ReadTimeoutScope();
    ReadTimeoutScope(const ReadTimeoutScope&) = delete;
    ReadTimeoutScope& operator=(const ReadTimeoutScope&) = delete;

   private:
    unsigned saved_;
  };

  using HeldUseHooks = DbHeldUse::Hooks;

  DbSession() = default;
  ~DbSession();
  DbSession(const DbSession&) = delete;
  DbSession& operator=(const DbSession&) = delete;

  // `host`: one server or a comma-separated list, each "name" or "name:port" (`port` where
  // none is given).
  void Configure(std::string host, int port, std::string user, std::string password, std::string database);
  // Whether the following connects ask a Galera node to show this session its own writes
  // before every read (wsrep_sync_wait=1); on by default. The monitor thread's session, which
  // only reads what the collector wrote, turns it off. Nothing changes on a plain server.
  void SetReadsOwnWrites(bool on);
  // Takes the connect parameters of `other` (servers, account, character set and the failure
  // reporting) for this session's following connects. Call it while no other thread uses `other`.
  void ConfigureLike(DbSession& other);

  // Closes what is open and connects again: library initialisation, then each server of the
  // list until one takes the connection, the character set "gbk" (the escaping depends on it:
  // a client that refuses it has not connected) and, a Galera node, clients. Records the
  // outcome (LastConnectSucceeded, LastConnectFailure). The start-up connect, the monitor
  // thread's remedy for a failed ping and the login's second try.
  void ConnectDatabase();
  // The last failed connect as one line without newline ("cannot connect to database 'X' on
  // db1:3306, db2:3307: <client error>"); empty after a success. Each failed connect writes it
  // through platform::Diagnostic unless turned off (a caller that reports it itself).
  std::string LastConnectFailure();
  void SetConnectFailureReporting(bool onStderr);

  // 0 when the server answers.
  int Ping();
  // Closes the connection without touching the recorded outcome.
  void Close();

  // True after a successful connect, false after a failed one (and before the first). The one
  // exception: a dialog's on-the-spot reconnect that fails leaves it as it was, so the dialog's
  // next action tries again instead of falling silent. Any thread may ask.
  bool LastConnectSucceeded() const { return connected_.load(); }

  // --- held use and faults -------------------------------------------------------------
  // The calling thread holds the connection for a dialog: its statements reconnect and retry
  // on a lost link and report faults through `hooks`.
  void BeginHeldUse(HeldUseHooks hooks) { held_.Begin(std::move(hooks)); }
  void EndHeldUse() { held_.End(); }
  // The calling thread holds the session (a dialog, or a runner's call).
  bool HeldByThisThread() { return held_.HeldByThisThread(); }
  // The reported fault was shown: the next statement may reconnect again.
  void ClearLinkFault() { held_.ClearFault(); }
  bool LinkFaultPending() const { return held_.FaultPending(); }
  // Reports a fault to the holder without a statement (a query that could not be sent).
  void ReportLinkFault();
  // From any thread, without waiting for the connection: breaks off the statement another
  // thread is waiting in (its socket is shut down, so it fails at once and the connection is
  // re-opened by its next user). True when a statement was in flight.
  bool AbandonStatement() { return client_.Abandon(); }
  // Without waiting: the idle connection was closed from the other end (a server that died, a
  // proxy that dropped its node), so the next statement would fail. False while another
  // statement runs or nothing is connected.
  bool IdleLinkClosed();
  static bool IsLinkError(unsigned error) { return DbClient::IsLinkError(error); }
  // Errors after which the whole transaction may simply be run again (deadlock, lock wait).
  static bool IsTransientError(unsigned error) { return DbClient::IsTransientError(error); }
  // After a lost link: connects again now (dropping a pending fault when that succeeds), so a
  // caller can find out what became of a write whose reply never came. True when linked.
  bool RecoverLink();

  // --- statements ---------------------------------------------------------------------
  std::string Escape(std::string_view text);
  std::string Format(std::string_view tmpl, std::initializer_list<SqlArg> args);

  // Runs a statement that returns rows; `ok` is false on a query error or a null result.
  DbResult Select(std::string_view sql);
  // Hands every row to `onRow` as it arrives from the server; nothing is kept, so memory does
  // not grow with the result. A statement whose link broke before its first row is sent again
  // like any read; one that broke after rows were handed fails as a whole (no row is handed
  // twice): the caller drops what it got. `onRow` runs under the connection lock while the
  // server is still sending: a statement on this session from inside it fails.
  bool SelectEach(std::string_view sql, const std::function<void(const DbRow&)>& onRow);
  // Runs a statement without a result set (insert, update, delete). True when the server
  // accepted it. Never sent twice: after a lost reply it fails, whatever the server did.
  bool Execute(std::string_view sql);

  // --- transactions (DbTransaction is the guard to use) --------------------------------
  // "start transaction"; true when the server accepted it. Until Commit or Rollback a statement
  // whose link breaks is not sent again on the new connection (the server has dropped the
  // transaction with the old one), and every statement after it fails at once.
  bool Begin();
  // "commit" / "rollback". Both end the transaction whatever the outcome; after a lost link
  // inside it they send nothing and fail.
  CommitOutcome Commit();
  bool Rollback();
  unsigned long long AffectedRows();

  unsigned LastErrorNumber();
  std::string LastError();

 private:
  friend class DbSessionTestSeam;  // tests/common: what only tests may do to a session
  enum class Outcome { kDone, kFailed, kUnconfirmed };

  void ConnectLocked(bool recordOutcome);
  // Runs `attempt` (true = success) under the time-outs and in-flight marking and, for the
  // holder, with the reconnect-and-retry rule of LinkPolicy.
  Outcome RunLocked(StatementKind kind, const std::function<bool()>& attempt);
  bool SelectEachLocked(std::string_view sql, const std::function<void(const DbRow&)>& onRow);
  Outcome EndTransactionLocked(std::string_view sql, StatementKind kind);
  void ReportConnectFailure(const DbClient::Error& error);

  std::recursive_mutex mutex_;  // the connection mutex
  DbClient client_;
  DbHeldUse held_;
  std::atomic<bool> connected_{false};  // the last connect succeeded
  std::atomic<bool> reportConnectFailures_{true};
  std::string host_;
  int port_ = 0;
  std::vector<DbServer> servers_ = ParseServerList("", 0);
  DbAccount account_;
  std::string characterSet_ = "gbk";
  bool readsOwnWrites_ = true;
  bool inTransaction_ = false;    // between Begin and Commit/Rollback
  bool transactionLost_ = false;  // the link broke inside it: fail to its end
  bool handingRows_ = false;      // inside SelectEach's callback
  bool rowsHanded_ = false;       // the running statement has handed rows
  std::uint64_t generation_ = 0;  // counts connects, to notice a reconnect under a transaction
  std::string lastReportedConnectError_;
  std::string lastConnectFailure_;
};
