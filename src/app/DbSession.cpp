#include "DbSession.h"

// The client's own header first: the others build on its types.
// clang-format off
#include <mysql.h>
#include <errmsg.h>
#include <ma_pvio.h>
#include <mysqld_error.h>
// clang-format on
#include <poll.h>
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
constexpr const char* kConnectFailureFormat = "cannot connect to database '%s' on %s: %s";
// A Galera node tells whether it replicates and whether it takes clients; a plain server has
// no such variable (or has it OFF) and is used as it is.
constexpr std::string_view kWsrepOnQuery = "show variables like 'wsrep_on'";
// wsrep_on without a provider replicates nothing and serves clients like a plain server (its
// wsrep_ready stays OFF).
constexpr std::string_view kWsrepProviderQuery = "show variables like 'wsrep_provider'";
constexpr std::string_view kNoProvider = "none";
constexpr std::string_view kWsrepReadyQuery = "show status like 'wsrep_ready'";
constexpr std::string_view kSyncWaitStatement = "set session wsrep_sync_wait=1";
constexpr unsigned kWsrepNotReadyError = ER_UNKNOWN_COM_ERROR;  // "WSREP has not yet prepared node..."
constexpr const char* kWsrepNotReadyText = "the Galera node is not ready for clients (wsrep_ready OFF)";
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

struct Endpoint {
  std::string host;
  unsigned port = 0;
};

// "db1, db2:3307" → {db1, port}, {db2, 3307}; an entry without a number after its last colon
// keeps the whole text as its name. An empty list still names the client's default host.
std::vector<Endpoint> ParseEndpoints(const std::string& hosts, int port) {
  std::vector<Endpoint> endpoints;
  std::size_t start = 0;
  while (start <= hosts.size()) {
    std::size_t end = hosts.find(',', start);
    if (end == std::string::npos) end = hosts.size();
    std::string entry = hosts.substr(start, end - start);
    entry.erase(0, entry.find_first_not_of(" \t"));
    entry.erase(entry.find_last_not_of(" \t") + 1);
    Endpoint endpoint{entry, static_cast<unsigned>(std::max(port, 0))};
    const std::size_t colon = entry.rfind(':');
    if (colon != std::string::npos && colon + 1 < entry.size() && entry.find(':') == colon &&
        entry.find_first_not_of("0123456789", colon + 1) == std::string::npos && entry.size() - colon <= 6) {
      endpoint.host = entry.substr(0, colon);
      endpoint.port = static_cast<unsigned>(std::stoul(entry.substr(colon + 1)));
    }
    if (!entry.empty()) endpoints.push_back(std::move(endpoint));
    start = end + 1;
  }
  if (endpoints.empty()) endpoints.push_back({"", static_cast<unsigned>(std::max(port, 0))});
  return endpoints;
}

// The first column of the first row of `sql`, nullopt when the statement failed (`error`
// says why) or returned no row ("" then).
std::optional<std::string> FirstValue(MYSQL& handle, std::string_view sql, ClientError& error, bool& hadRow) {
  hadRow = false;
  if (mysql_real_query(&handle, sql.data(), sql.size()) != 0) {
    error = ConvertClientError(handle);
    return std::nullopt;
  }
  MYSQL_RES* result = mysql_store_result(&handle);
  if (!result) {
    error = ConvertClientError(handle);
    return std::nullopt;
  }
  std::string value;
  if (MYSQL_ROW row = mysql_fetch_row(result); row && mysql_num_fields(result) >= 2) {
    hadRow = true;
    value = row[1] ? row[1] : "";
  }
  mysql_free_result(result);
  return value;
}

}  // namespace

// Everything that belongs to the client connection. Its *Locked members expect `mutex` held.
class DbSession::Connection {
 public:
  bool ConnectLocked(bool recordOutcome = true);
  // After a connect to a server: false (with `failure`) when it is a Galera node not ready.
  bool NodeReadyLocked(std::optional<ClientError>& failure);
  void InitHandleLocked();
  void ReconnectLocked(bool recordOutcome);
  void CloseLocked();
  bool HeldByThisThread();
  // Runs `attempt` (true = success) under the time-outs and in-flight marking and, for the
  // holder, with the reconnect-and-retry rule.
  // A statement that may have changed something (`resend` false) is never sent twice.
  bool RunStatementLocked(const std::function<bool()>& attempt, bool resend = true);
  bool SelectRowsLocked(std::string_view sql, DbFetch fetch, std::vector<DbRow>& rows);
  bool ExecuteLocked(std::string_view sql, bool resend);
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
  std::vector<Endpoint> endpoints{{"", 0}};
  bool readsOwnWrites = true;
  std::string characterSet = kDefaultCharacterSet;

  bool linked = false;                 // the handle holds a working connection (for escaping)
  unsigned appliedTimeoutSeconds = 0;  // what the socket was last given
  bool inTransaction = false;          // between Begin and Commit/Rollback
  bool transactionLost = false;        // the link broke inside it: fail to its end
  bool commitUnconfirmed = false;      // the last commit was sent, its reply never came
  bool statementLinkLost = false;      // the last statement lost its link (before any reconnect)
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
  connection_->endpoints = ParseEndpoints(host, port);
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
  bool readsOwnWrites = true;
  {
    std::lock_guard lock(other.connection_->mutex);
    const Connection& from = *other.connection_;
    host = from.host;
    port = from.port;
    user = from.user;
    password = from.password;
    database = from.database;
    characterSet = from.characterSet;
    readsOwnWrites = from.readsOwnWrites;
  }
  Configure(std::move(host), port, std::move(user), std::move(password), std::move(database));
  SetCharacterSet(std::move(characterSet));
  SetReadsOwnWrites(readsOwnWrites);
  SetConnectFailureReporting(other.connection_->reportConnectFailures.load());
}

void DbSession::SetReadsOwnWrites(bool on) {
  std::lock_guard lock(connection_->mutex);
  connection_->readsOwnWrites = on;
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
    case ER_CONNECTION_KILLED:
    // A Galera node that left the cluster's primary part refuses every table with this: for
    // the station it is as good as gone, and another node (or the proxy) is asked instead.
    case ER_UNKNOWN_COM_ERROR: return true;
    default: return false;
  }
}

bool DbSession::IsTransientError(unsigned error) { return error == ER_LOCK_DEADLOCK || error == ER_LOCK_WAIT_TIMEOUT; }

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
  std::string servers;
  for (const Endpoint& endpoint : endpoints)
    servers += (servers.empty() ? "" : ", ") + endpoint.host + ":" +
               std::to_string(endpoint.port > 0 ? endpoint.port : kClientDefaultPort);
  char line[2048];
  std::snprintf(line, sizeof line, kConnectFailureFormat, database.c_str(), servers.c_str(), error.text.c_str());
  lastConnectFailure = line;
  if (error.text == lastReportedConnectError || !reportConnectFailures) return;
  lastReportedConnectError = error.text;
  platform::Diagnostic("veltrane: %s\n", line);
}

bool DbSession::Connection::NodeReadyLocked(std::optional<ClientError>& failure) {
  ClientError error;
  bool hadRow = false;
  const std::optional<std::string> wsrepOn = FirstValue(handle, kWsrepOnQuery, error, hadRow);
  if (!wsrepOn) {
    failure = error;
    return false;
  }
  if (!hadRow || *wsrepOn != "ON") return true;  // a plain server
  const std::optional<std::string> provider = FirstValue(handle, kWsrepProviderQuery, error, hadRow);
  if (!provider) {
    failure = error;
    return false;
  }
  if (!hadRow || *provider == kNoProvider) return true;
  const std::optional<std::string> ready = FirstValue(handle, kWsrepReadyQuery, error, hadRow);
  if (!ready || *ready != "ON") {
    failure = ready ? ClientError{kWsrepNotReadyError, kWsrepNotReadyText, false} : error;
    return false;
  }
  if (readsOwnWrites && mysql_real_query(&handle, kSyncWaitStatement.data(), kSyncWaitStatement.size()) != 0) {
    failure = ConvertClientError(handle);
    return false;
  }
  return true;
}

bool DbSession::Connection::ConnectLocked(bool recordOutcome) {
  // Every server of the list in order, each within the connect time-out; the first that takes
  // the connection, the character set and (a Galera node) clients wins.
  bool ok = false;
  std::optional<ClientError> failure;
  for (std::size_t i = 0; i < endpoints.size() && !ok; ++i) {
    if (i > 0) {
      CloseLocked();
      InitHandleLocked();
    }
    const Endpoint& endpoint = endpoints[i];
    if (!mysql_real_connect(&handle, endpoint.host.c_str(), user.c_str(), password.c_str(), database.c_str(),
                            endpoint.port, nullptr, 0)) {
      failure = ConvertClientError(handle);
      continue;
    }
    // The escaping depends on the connection's character set: set it after every connect, and
    // a connection the client cannot give it is no connection.
    if (mysql_set_character_set(&handle, characterSet.c_str()) != 0) {
      failure = ConvertClientError(handle);
      CloseLocked();
      continue;
    }
    if (!NodeReadyLocked(failure)) {
      CloseLocked();
      continue;
    }
    ok = true;
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

bool DbSession::IdleLinkClosed() {
  Connection& c = *connection_;
  std::unique_lock lock(c.mutex, std::try_to_lock);
  if (!lock.owns_lock() || !c.handleInitialised || !c.linked) return false;
  const int socket = static_cast<int>(mysql_get_socket(&c.handle));
  if (socket < 0) return false;
  // Between statements the server sends nothing: anything readable is its end (or its error
  // packet before it closes).
  pollfd watch{socket, POLLIN | POLLRDHUP, 0};
  return ::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0;
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

bool DbSession::Connection::RunStatementLocked(const std::function<bool()>& attempt, bool resend) {
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
  statementLinkLost = false;
  const std::uint64_t startGeneration = generation;
  const bool transaction = inTransaction;
  const auto finish = [&](bool ok) {
    // A transaction does not survive its connection: everything up to its end fails.
    if (transaction && (generation != startGeneration || !linked)) transactionLost = true;
    return ok;
  };

  // Whether the statement went out on a working connection (a write then may have happened).
  bool handleSent = false;
  if (handleInitialised) {
    handleSent = linked;
    const auto started = std::chrono::steady_clock::now();
    if (runOnce()) return true;
    if (!ConvertClientError(handle).linkLost) return false;  // the server answered: no fault
    linked = false;
    statementLinkLost = handleSent;
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
  // A statement inside a transaction is not repeated on the new connection, nor a write whose
  // reply was lost (it may have been carried out).
  if (transaction || (!resend && handleSent)) return finish(false);
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

bool DbSession::Connection::ExecuteLocked(std::string_view sql, bool resend) {
  return RunStatementLocked(
      [&] {
        if (mysql_real_query(&handle, sql.data(), sql.size()) != 0) return false;
        // Drain any result so the connection stays usable.
        if (MYSQL_RES* result = mysql_store_result(&handle)) mysql_free_result(result);
        return true;
      },
      resend);
}

bool DbSession::Execute(std::string_view sql) {
  std::lock_guard lock(connection_->mutex);
  return connection_->ExecuteLocked(sql, false);
}

bool DbSession::Begin() {
  Connection& c = *connection_;
  std::lock_guard lock(c.mutex);
  // Opening a transaction changes nothing: it may be sent again on a new connection.
  const bool ok = c.ExecuteLocked(kBeginStatement, true);
  if (ok) c.inTransaction = true;
  c.commitUnconfirmed = false;
  return ok;
}

bool DbSession::Connection::EndTransactionLocked(std::string_view sql) {
  // The server dropped a transaction whose link broke: nothing is left to end. Either way the
  // transaction is over, also when its end itself lost the link.
  const bool wasLost = transactionLost;
  const bool ok = !wasLost && ExecuteLocked(sql, false);
  const bool isCommit = sql == kCommitStatement;
  if (isCommit) commitUnconfirmed = !wasLost && !ok && statementLinkLost;
  inTransaction = false;
  transactionLost = false;
  return ok;
}

bool DbSession::CommitUnconfirmed() {
  std::lock_guard lock(connection_->mutex);
  return connection_->commitUnconfirmed;
}

bool DbSession::RecoverLink() {
  Connection& c = *connection_;
  std::lock_guard lock(c.mutex);
  InitialiseClientLibrary();
  c.ReconnectLocked(false);
  if (c.linked) c.linkFault = false;
  return c.linked;
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
