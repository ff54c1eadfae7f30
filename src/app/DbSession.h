#pragma once
// One connection to the database. The process has two: the user-interface thread's (login,
// dialogs, exports) and the monitor thread's own, configured like the first (ConfigureLike).
// Every mysql_* call of the program lives in DbSession.cpp.
//
// Locking rule: every call that touches the connection takes the session's connection mutex
// for its whole duration, so two threads can never use one connection at once. Each thread
// works on a session of its own, so nothing ever waits for a statement of another thread.
//
// Faults: every statement runs under the client's own time-outs (short for the interactive
// path, longer on the monitor thread and for the history table query, see ReadTimeoutScope).
// While a dialog holds the connection (BeginHeldUse), a statement of that thread that loses
// its link reconnects once on the spot; a read (Select, Ping, Begin) is then sent once more,
// a write (Execute, Commit) never: its reply was lost, not necessarily the change, and sending
// it again could make it twice. When the reconnect fails, or the server did not answer in time,
// the fault is reported once through the hooks and the following statements fail at once until
// ClearLinkFault, so one click never waits twice.
//
// Servers: the host may name several ("db1,db2:3307,db3"), tried in order on every connect.
// A Galera node that is not ready for clients (wsrep_ready OFF, or error 1047) counts as a
// failed connect and the next one is tried; a session that reads its own writes (the default)
// asks the node to wait for the cluster before every read (wsrep_sync_wait=1).
//
// The client library stays behind this class: its handle and all connection state live in a
// private implementation, so no other file sees the client's headers.
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "SqlFormat.h"

using DbRow = std::vector<std::string>;  // column texts in GBK; SQL NULL reads as ""

enum class DbFetch { Store, Use };

struct DbResult {
  bool ok = false;  // false: the statement failed or returned no result set
  std::vector<DbRow> rows;
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

  // What the holder of the connection is told (on its own thread).
  struct HeldUseHooks {
    std::function<void()> onLinkFault;       // once per fault, until ClearLinkFault
    std::function<void()> onStatementStart;  // e.g. the busy cursor
    std::function<void()> onStatementEnd;
  };

  DbSession();
  // Releases the client handle (a session that never connected still owns one).
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
  // Takes the connect parameters of `other` (server, account, database, character set and the
  // failure reporting) for this session's following connects; `other` is not touched
  // otherwise. Call it while no other thread uses `other`.
  void ConfigureLike(DbSession& other);

  // Start-up connect: library initialisation, then init, connect and character set "gbk".
  // The escaping depends on that character set: when the client refuses it the connect has
  // failed (LastConnectSucceeded false, LastConnectFailure says why) and the handle is closed.
  void ConnectDatabase();
  // Close, initialise and connect again with the same parameters (the monitor thread's remedy
  // for a failed ping, and its first open of its own session). Records the outcome and the
  // character set exactly like ConnectDatabase.
  void Reconnect();
  // The last failed connect as one line without newline ("cannot connect to database 'X' on
  // host:port: <client error>"); empty after a success. Each failed connect writes it to
  // stderr unless turned off (a caller that reports it itself, with more context).
  std::string LastConnectFailure();
  void SetConnectFailureReporting(bool onStderr);
  // The character set of the following connects: "gbk". Only a test names another.
  void SetCharacterSet(std::string name);

  // mysql_ping: 0 when the server answers.
  int Ping();
  // Closes the connection without touching the flags.
  void Close();

  // True after a successful connect, false after a failed one (and before the first). The one
  // exception: a dialog's on-the-spot reconnect that fails leaves it as it was, so the dialog's
  // next action tries again instead of falling silent (the monitor thread's reconnect records
  // every outcome). Any thread may ask.
  bool LastConnectSucceeded() const;
  // As after a failed connect, while the link itself still works: how the dialogs behave then
  // is tested without failing a connect.
  void ForgetConnectOutcome();

  // --- held use and faults -------------------------------------------------------------
  // The calling thread holds the connection for a dialog: its statements reconnect and retry
  // on a lost link and report faults through `hooks`.
  void BeginHeldUse(HeldUseHooks hooks);
  void EndHeldUse();
  // From any thread: some thread holds the session right now (between the two above).
  bool IsHeld() const;
  // The reported fault was shown: the next statement may reconnect again.
  void ClearLinkFault();
  bool LinkFaultPending() const;
  // Reports a fault to the holder without a statement (a query that could not be sent).
  void ReportLinkFault();
  // From any thread, without waiting for the connection: breaks off the statement another
  // thread is waiting in (its socket is shut down, so it fails at once and the connection is
  // re-opened by its next user). True when a statement was in flight.
  bool AbandonStatement();
  // From any thread: a statement of this session is waiting for the server right now.
  bool StatementInFlight() const;
  // Without waiting: the idle connection was closed from the other end (a server that died, a
  // proxy that dropped its node), so the next statement would fail. False while another
  // statement runs or nothing is connected.
  bool IdleLinkClosed();
  // Client errors that mean the link itself failed (2006, 2013 and their kin), and 1047, a
  // Galera node that no longer serves clients.
  static bool IsLinkError(unsigned error);
  // Server errors after which the whole transaction may simply be run again: a deadlock
  // (1213, also a Galera certification conflict) or a lock wait time-out (1205).
  static bool IsTransientError(unsigned error);
  // After a lost link: connects again now (dropping a pending fault when that succeeds), so a
  // caller can find out what became of a write whose reply never came. True when linked.
  bool RecoverLink();

  // --- statements ---------------------------------------------------------------------
  std::string Escape(std::string_view text);
  std::string Format(std::string_view tmpl, std::initializer_list<SqlArg> args);

  // Runs a statement that returns rows; `ok` is false on a query error or a null result.
  DbResult Select(std::string_view sql, DbFetch fetch = DbFetch::Store);
  // Hands every row to `onRow` once the whole result has arrived, so a statement retried after a
  // lost link never hands a row twice (still under the connection lock: do no database work
  // inside). The rows are held until then: a caller that must bound memory splits its query.
  bool SelectEach(std::string_view sql, DbFetch fetch, const std::function<void(const DbRow&)>& onRow);
  // Runs a statement without a result set (insert, update, delete). True when the server
  // accepted it. Never sent twice: after a lost reply it fails, whatever the server did.
  bool Execute(std::string_view sql);

  // --- transactions (DbTransaction is the guard to use) --------------------------------
  // "start transaction"; true when the server accepted it. Until Commit or Rollback a statement
  // whose link breaks is not sent again on the new connection (the server has dropped the
  // transaction with the old one), and every statement after it fails at once.
  bool Begin();
  // "commit" / "rollback". Both end the transaction whatever the outcome; after a lost link
  // inside it they send nothing and return false.
  bool Commit();
  bool Rollback();
  // The last Commit lost its link after "commit" was sent: the server may have made the
  // transaction durable or not, and only a look at the data can tell (see RecoverLink).
  bool CommitUnconfirmed();
  unsigned long long AffectedRows();

  unsigned LastErrorNumber();
  std::string LastError();

 private:
  class Connection;  // the client handle and everything that goes with it (DbSession.cpp)
  std::unique_ptr<Connection> connection_;
};
