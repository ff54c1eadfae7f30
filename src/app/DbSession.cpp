#include "DbSession.h"

// The client's own header first: the others build on its types.
// clang-format off
#include <mysql.h>
#include <errmsg.h>
#include <ma_pvio.h>
#include <mysqld_error.h>
// clang-format on
#include <sys/socket.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

#include "Diagnostic.h"

namespace {

constexpr const char* kDefaultCharacterSet = "gbk";
constexpr unsigned kClientDefaultPort = 3306;  // what port 0 means to the client
constexpr const char* kConnectFailureFormat = "cannot connect to database '%s' on %s:%u: %s";
// A lost link reported this close to the read time-out was the time-out itself: the server
// is up but not answering, and reconnecting would only make the user wait again.
constexpr auto kTimeoutSlack = std::chrono::milliseconds(250);

// 0: the interactive default.
thread_local unsigned threadReadTimeout = 0;

unsigned CurrentReadTimeout() { return threadReadTimeout ? threadReadTimeout : DbSession::kReadTimeoutSeconds; }

// What Begin, Commit and Rollback send.
constexpr std::string_view kBeginStatement = "start transaction";
constexpr std::string_view kCommitStatement = "commit";
constexpr std::string_view kRollbackStatement = "rollback";

// The client's last error as the session reports it.
struct ClientError {
  unsigned number = 0;  // 0: none
  std::string text;
  bool linkLost = false;  // the link itself failed, not the statement
};

// The one place where the client's error state becomes the session's.
ClientError ConvertClientError(MYSQL& handle) {
  ClientError error;
  error.number = mysql_errno(&handle);
  error.text = mysql_error(&handle);
  error.linkLost = DbSession::IsLinkError(error.number);
  return error;
}

}  // namespace

// Everything that belongs to the client connection. Its *Locked members expect `mutex` held.
class DbSession::Connection {
 public:
  bool ConnectLocked(bool recordOutcome = true);
  void InitHandleLocked();
  void ReconnectLocked(bool recordOutcome);
  void CloseLocked();
  bool HeldByThisThread();
  // Runs `attempt` (true = success) under the time-outs and in-flight marking and, for the
  // holder, with the reconnect-and-retry rule.
  bool RunStatementLocked(const std::function<bool()>& attempt);
  bool SelectRowsLocked(std::string_view sql, DbFetch fetch, std::vector<DbRow>& rows);
  bool ExecuteLocked(std::string_view sql);
  bool EndTransactionLocked(std::string_view sql);
  void ApplyTimeoutsLocked();
  void MarkInFlight(bool inFlight);
  void SetLinkFault();
  void ReportConnectFailure(const ClientError& error);
  ClientError LastErrorLocked();

  std::atomic<bool> connected{false};  // the last connect succeeded

  std::recursive_mutex mutex;
  MYSQL handle{};
  bool handleInitialised = false;
  std::string host, user, password, database;
  int port = 0;
  std::string characterSet = kDefaultCharacterSet;

  bool linked = false;                 // the handle holds a working connection (for escaping)
  unsigned appliedTimeoutSeconds = 0;  // what the socket was last given
  bool inTransaction = false;          // between Begin and Commit/Rollback
  bool transactionLost = false;        // the link broke inside it: fail to its end
  std::uint64_t generation = 0;        // counts connects, to notice a reconnect under a transaction
  std::string lastReportedConnectError;
  std::string lastConnectFailure;
  std::atomic<bool> reportConnectFailures{true};

  std::mutex heldMutex;
  std::thread::id heldThread;
  std::atomic<bool> held{false};
  HeldUseHooks hooks;
  std::atomic<bool> linkFault{false};

  std::mutex inFlightMutex;  // guards the socket between statement start and end
  bool inFlight = false;
  int inFlightSocket = -1;
};

DbSession::ReadTimeoutScope::ReadTimeoutScope(unsigned seconds) : saved_(threadReadTimeout) {
  threadReadTimeout = seconds;
}
DbSession::ReadTimeoutScope::~ReadTimeoutScope() { threadReadTimeout = saved_; }

DbSession::DbSession() : connection_(std::make_unique<Connection>()) {}

bool DbSession::LastConnectSucceeded() const { return connection_->connected.load(); }

void DbSession::ForgetConnectOutcome() { connection_->connected = false; }

DbSession::~DbSession() { Close(); }

void DbSession::Configure(std::string host, int port, std::string user, std::string password, std::string database) {
  std::lock_guard lock(connection_->mutex);
  connection_->host = std::move(host);
  connection_->port = port;
  connection_->user = std::move(user);
  connection_->password = std::move(password);
  connection_->database = std::move(database);
}

void DbSession::ConfigureLike(DbSession& other) {
  if (&other == this) return;
  std::string host, user, password, database, characterSet;
  int port = 0;
  {
    std::lock_guard lock(other.connection_->mutex);
    const Connection& from = *other.connection_;
    host = from.host;
    port = from.port;
    user = from.user;
    password = from.password;
    database = from.database;
    characterSet = from.characterSet;
  }
  Configure(std::move(host), port, std::move(user), std::move(password), std::move(database));
  SetCharacterSet(std::move(characterSet));
  SetConnectFailureReporting(other.connection_->reportConnectFailures.load());
}

void DbSession::SetConnectFailureReporting(bool onStderr) { connection_->reportConnectFailures = onStderr; }

void DbSession::SetCharacterSet(std::string name) {
  std::lock_guard lock(connection_->mutex);
  connection_->characterSet = std::move(name);
}

bool DbSession::IsLinkError(unsigned error) {
  switch (error) {
    case CR_CONNECTION_ERROR:
    case CR_CONN_HOST_ERROR:
    case CR_SERVER_GONE_ERROR:
    case CR_SERVER_HANDSHAKE_ERR:
    case CR_SERVER_LOST:
    case CR_SERVER_LOST_EXTENDED:
    case CR_ERR_NET_READ:
    case CR_ERR_NET_WRITE:
    case ER_SERVER_SHUTDOWN:
    case ER_CONNECTION_KILLED: return true;
    default: return false;
  }
}

void DbSession::Connection::InitHandleLocked() {
  mysql_init(&handle);
  handleInitialised = true;
  const unsigned connectTimeout = kConnectTimeoutSeconds;
  const unsigned readTimeout = CurrentReadTimeout();
  mysql_options(&handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
  mysql_options(&handle, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
  mysql_options(&handle, MYSQL_OPT_WRITE_TIMEOUT, &readTimeout);
}

void DbSession::Connection::ReportConnectFailure(const ClientError& error) {
  // One line per failure; a monitor thread retrying every minute against the same fault does
  // not repeat it until a connect has succeeded in between.
  char line[1024];
  std::snprintf(line, sizeof line, kConnectFailureFormat, database.c_str(), host.c_str(),
                port > 0 ? static_cast<unsigned>(port) : kClientDefaultPort, error.text.c_str());
  lastConnectFailure = line;
  if (error.text == lastReportedConnectError || !reportConnectFailures) return;
  lastReportedConnectError = error.text;
  platform::Diagnostic("veltrane: %s\n", line);
}

bool DbSession::Connection::ConnectLocked(bool recordOutcome) {
  bool ok = mysql_real_connect(&handle, host.c_str(), user.c_str(), password.c_str(), database.c_str(),
                               static_cast<unsigned>(port), nullptr, 0) != nullptr;
  // The escaping depends on the connection's character set: set it after every connect, and a
  // connection the client cannot give it is no connection.
  std::optional<ClientError> failure;
  if (!ok) {
    failure = ConvertClientError(handle);
  } else if (mysql_set_character_set(&handle, characterSet.c_str()) != 0) {
    failure = ConvertClientError(handle);
    ok = false;
    CloseLocked();
  }
  if (recordOutcome || ok) connected = ok;
  linked = ok;
  appliedTimeoutSeconds = 0;
  inTransaction = false;
  ++generation;
  if (ok) {
    lastReportedConnectError.clear();
    lastConnectFailure.clear();
  } else {
    ReportConnectFailure(*failure);
  }
  return ok;
}

namespace {
// Once per process, before the first handle of any session (the monitor thread's session may
// connect before the other one ever did).
void InitialiseClientLibrary() {
  static std::once_flag libraryInit;
  std::call_once(libraryInit, [] { mysql_server_init(0, nullptr, nullptr); });
}
}  // namespace

void DbSession::ConnectDatabase() {
  std::lock_guard lock(connection_->mutex);
  InitialiseClientLibrary();
  connection_->ReconnectLocked(true);
}

void DbSession::Connection::ReconnectLocked(bool recordOutcome) {
  CloseLocked();
  InitHandleLocked();
  ConnectLocked(recordOutcome);
}

void DbSession::Reconnect() {
  std::lock_guard lock(connection_->mutex);
  InitialiseClientLibrary();
  connection_->ReconnectLocked(true);
}

int DbSession::Ping() {
  Connection& c = *connection_;
  std::lock_guard lock(c.mutex);
  return c.RunStatementLocked([&c] { return mysql_ping(&c.handle) == 0; }) ? 0 : 1;
}

void DbSession::Connection::CloseLocked() {
  if (!handleInitialised) return;
  mysql_close(&handle);
  handleInitialised = false;
  linked = false;
}

void DbSession::Close() {
  std::lock_guard lock(connection_->mutex);
  connection_->CloseLocked();
}

// --- held use and faults ----------------------------------------------------------------

void DbSession::BeginHeldUse(HeldUseHooks hooks) {
  Connection& c = *connection_;
  std::lock_guard lock(c.heldMutex);
  c.heldThread = std::this_thread::get_id();
  c.hooks = std::move(hooks);
  c.linkFault = false;
  c.held = true;
}

bool DbSession::IsHeld() const { return connection_->held.load(); }

void DbSession::EndHeldUse() {
  Connection& c = *connection_;
  std::lock_guard lock(c.heldMutex);
  c.held = false;
  c.hooks = {};
  c.linkFault = false;
}

bool DbSession::Connection::HeldByThisThread() {
  std::lock_guard lock(heldMutex);
  return held && heldThread == std::this_thread::get_id();
}

void DbSession::ClearLinkFault() { connection_->linkFault = false; }

bool DbSession::LinkFaultPending() const { return connection_->linkFault.load(); }

void DbSession::Connection::SetLinkFault() {
  if (linkFault.exchange(true)) return;
  if (hooks.onLinkFault) hooks.onLinkFault();
}

void DbSession::ReportLinkFault() {
  if (connection_->HeldByThisThread()) connection_->SetLinkFault();
}

void DbSession::Connection::MarkInFlight(bool marked) {
  std::lock_guard lock(inFlightMutex);
  inFlight = marked;
  inFlightSocket = marked && handleInitialised ? static_cast<int>(mysql_get_socket(&handle)) : -1;
}

bool DbSession::StatementInFlight() const {
  std::lock_guard lock(connection_->inFlightMutex);
  return connection_->inFlight;
}

bool DbSession::AbandonStatement() {
  // The socket stays open while the flag is set: the holder clears it (under this mutex)
  // before it can close the connection, so a reused descriptor is never hit.
  Connection& c = *connection_;
  std::lock_guard lock(c.inFlightMutex);
  if (!c.inFlight || c.inFlightSocket < 0) return false;
  ::shutdown(c.inFlightSocket, SHUT_RDWR);
  return true;
}

void DbSession::Connection::ApplyTimeoutsLocked() {
  // The client reads its time-out options only while connecting; the socket layer's own
  // setter changes them for the statements that follow.
  const unsigned seconds = CurrentReadTimeout();
  MARIADB_PVIO* pvio = handle.net.pvio;
  if (!linked || !pvio || !pvio->methods || !pvio->methods->set_timeout || appliedTimeoutSeconds == seconds) return;
  pvio->methods->set_timeout(pvio, PVIO_READ_TIMEOUT, static_cast<int>(seconds));
  pvio->methods->set_timeout(pvio, PVIO_WRITE_TIMEOUT, static_cast<int>(seconds));
  appliedTimeoutSeconds = seconds;
}

bool DbSession::Connection::RunStatementLocked(const std::function<bool()>& attempt) {
  const bool isHeld = HeldByThisThread();
  if (isHeld && linkFault.load()) return false;  // one fault per click: fail at once
  if (transactionLost) return false;
  struct StatementHooks {
    const HeldUseHooks* hooks;
    explicit StatementHooks(const HeldUseHooks* h) : hooks(h) {
      if (hooks && hooks->onStatementStart) hooks->onStatementStart();
    }
    ~StatementHooks() {
      if (hooks && hooks->onStatementEnd) hooks->onStatementEnd();
    }
  } statementHooks(isHeld ? &hooks : nullptr);

  const auto runOnce = [&] {
    ApplyTimeoutsLocked();
    MarkInFlight(true);
    const bool ok = attempt();
    MarkInFlight(false);
    return ok;
  };
  const std::uint64_t startGeneration = generation;
  const bool transaction = inTransaction;
  const auto finish = [&](bool ok) {
    // A transaction does not survive its connection: everything up to its end fails.
    if (transaction && (generation != startGeneration || !linked)) transactionLost = true;
    return ok;
  };

  if (handleInitialised) {
    const auto started = std::chrono::steady_clock::now();
    if (runOnce()) return true;
    if (!ConvertClientError(handle).linkLost) return false;  // the server answered: no fault
    linked = false;
    if (!isHeld) return finish(false);
    const auto waited = std::chrono::steady_clock::now() - started;
    if (waited + kTimeoutSlack >= std::chrono::seconds(CurrentReadTimeout())) {
      SetLinkFault();
      return finish(false);
    }
  } else if (!isHeld) {
    return false;
  }
  // The holder's thread is the only user of the connection: reconnect on the spot.
  ReconnectLocked(false);
  if (!linked) {
    SetLinkFault();
    return finish(false);
  }
  // A statement inside a transaction is not repeated on the new connection.
  if (transaction) return finish(false);
  if (runOnce()) return true;
  if (ConvertClientError(handle).linkLost) {
    linked = false;
    SetLinkFault();
  }
  return false;
}

// --- statements ---------------------------------------------------------------------------

std::string DbSession::Escape(std::string_view text) {
  Connection& c = *connection_;
  std::lock_guard lock(c.mutex);
  if (!c.handleInitialised || !c.connected || !c.linked) return EscapeGbkLiteral(text);
  std::string out(text.size() * 2 + 1, '\0');
  const unsigned long n = mysql_real_escape_string(&c.handle, out.data(), text.data(), text.size());
  if (n == static_cast<unsigned long>(-1)) return EscapeGbkLiteral(text);
  out.resize(n);
  return out;
}

std::string DbSession::Format(std::string_view tmpl, std::initializer_list<SqlArg> args) {
  return FormatSqlWith([this](std::string_view t) { return Escape(t); }, tmpl, args);
}

bool DbSession::Connection::SelectRowsLocked(std::string_view sql, DbFetch fetch, std::vector<DbRow>& rows) {
  return RunStatementLocked([&] {
    rows.clear();  // a retry starts afresh
    if (mysql_real_query(&handle, sql.data(), sql.size()) != 0) return false;
    MYSQL_RES* result = fetch == DbFetch::Store ? mysql_store_result(&handle) : mysql_use_result(&handle);
    if (!result) return false;
    const unsigned columns = mysql_num_fields(result);
    while (MYSQL_ROW values = mysql_fetch_row(result)) {
      const unsigned long* lengths = mysql_fetch_lengths(result);
      DbRow& row = rows.emplace_back(columns);
      for (unsigned c = 0; c < columns; ++c)
        row[c].assign(values[c] ? values[c] : "", values[c] && lengths ? lengths[c] : 0);
    }
    // A streamed result that broke off is a failure, not a shorter list.
    const bool complete = mysql_errno(&handle) == 0;
    mysql_free_result(result);
    return complete;
  });
}

bool DbSession::SelectEach(std::string_view sql, DbFetch fetch, const std::function<void(const DbRow&)>& onRow) {
  std::lock_guard lock(connection_->mutex);
  std::vector<DbRow> rows;
  if (!connection_->SelectRowsLocked(sql, fetch, rows)) return false;
  for (const DbRow& row : rows) onRow(row);
  return true;
}

DbResult DbSession::Select(std::string_view sql, DbFetch fetch) {
  std::lock_guard lock(connection_->mutex);
  DbResult result;
  result.ok = connection_->SelectRowsLocked(sql, fetch, result.rows);
  if (!result.ok) result.rows.clear();
  return result;
}

bool DbSession::Connection::ExecuteLocked(std::string_view sql) {
  return RunStatementLocked([&] {
    if (mysql_real_query(&handle, sql.data(), sql.size()) != 0) return false;
    // Drain any result so the connection stays usable.
    if (MYSQL_RES* result = mysql_store_result(&handle)) mysql_free_result(result);
    return true;
  });
}

bool DbSession::Execute(std::string_view sql) {
  std::lock_guard lock(connection_->mutex);
  return connection_->ExecuteLocked(sql);
}

bool DbSession::Begin() {
  Connection& c = *connection_;
  std::lock_guard lock(c.mutex);
  const bool ok = c.ExecuteLocked(kBeginStatement);
  if (ok) c.inTransaction = true;
  return ok;
}

bool DbSession::Connection::EndTransactionLocked(std::string_view sql) {
  // The server dropped a transaction whose link broke: nothing is left to end. Either way the
  // transaction is over, also when its end itself lost the link.
  const bool ok = !transactionLost && ExecuteLocked(sql);
  inTransaction = false;
  transactionLost = false;
  return ok;
}

bool DbSession::Commit() {
  std::lock_guard lock(connection_->mutex);
  return connection_->EndTransactionLocked(kCommitStatement);
}

bool DbSession::Rollback() {
  std::lock_guard lock(connection_->mutex);
  return connection_->EndTransactionLocked(kRollbackStatement);
}

std::string DbSession::LastConnectFailure() {
  std::lock_guard lock(connection_->mutex);
  return connection_->lastConnectFailure;
}

unsigned long long DbSession::AffectedRows() {
  std::lock_guard lock(connection_->mutex);
  return connection_->handleInitialised ? mysql_affected_rows(&connection_->handle) : 0;
}

ClientError DbSession::Connection::LastErrorLocked() {
  return handleInitialised ? ConvertClientError(handle) : ClientError{};
}

unsigned DbSession::LastErrorNumber() {
  std::lock_guard lock(connection_->mutex);
  return connection_->LastErrorLocked().number;
}

std::string DbSession::LastError() {
  std::lock_guard lock(connection_->mutex);
  return connection_->LastErrorLocked().text;
}
