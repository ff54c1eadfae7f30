#include "DbSession.h"

#include <errmsg.h>
#include <ma_pvio.h>
#include <mysqld_error.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

#include "TickCount.h"

namespace {

constexpr const char* kCharacterSet = "gbk";
constexpr unsigned kClientDefaultPort = 3306;  // what port 0 means to the client
constexpr const char* kConnectFailureFormat = "cannot connect to database '%s' on %s:%u: %s";
// A lost link reported this close to the read time-out was the time-out itself: the server
// is up but not answering, and reconnecting would only make the user wait again.
constexpr auto kTimeoutSlack = std::chrono::milliseconds(250);

// 0: the interactive default.
thread_local unsigned threadReadTimeout = 0;

unsigned CurrentReadTimeout() { return threadReadTimeout ? threadReadTimeout : DbSession::kReadTimeoutSeconds; }

// True when `sql` starts with `word` (any case), after blanks.
bool StartsWithWord(std::string_view sql, std::string_view word) {
  while (!sql.empty() && std::isspace(static_cast<unsigned char>(sql.front()))) sql.remove_prefix(1);
  if (sql.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(sql[i])) != word[i]) return false;
  return sql.size() == word.size() || !std::isalnum(static_cast<unsigned char>(sql[word.size()]));
}

bool BeginsTransaction(std::string_view sql) {
  return StartsWithWord(sql, "start transaction") || StartsWithWord(sql, "begin");
}
bool EndsTransaction(std::string_view sql) { return StartsWithWord(sql, "commit") || StartsWithWord(sql, "rollback"); }

}  // namespace

DbSession& Db() {
  static DbSession session;
  return session;
}

DbSession::ReadTimeoutScope::ReadTimeoutScope(unsigned seconds) : saved_(threadReadTimeout) {
  threadReadTimeout = seconds;
}
DbSession::ReadTimeoutScope::~ReadTimeoutScope() { threadReadTimeout = saved_; }

DbSession::~DbSession() { Close(); }

void DbSession::Configure(std::string host, int port, std::string user, std::string password,
                          std::string database) {
  std::lock_guard lock(connectionMutex_);
  host_ = std::move(host);
  port_ = port;
  user_ = std::move(user);
  password_ = std::move(password);
  database_ = std::move(database);
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

void DbSession::InitHandleLocked() {
  mysql_init(&handle_);
  handleInitialised_ = true;
  const unsigned connectTimeout = kConnectTimeoutSeconds;
  const unsigned readTimeout = CurrentReadTimeout();
  mysql_options(&handle_, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
  mysql_options(&handle_, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
  mysql_options(&handle_, MYSQL_OPT_WRITE_TIMEOUT, &readTimeout);
}

void DbSession::ReportConnectFailure() {
  // One line per failure; a monitor thread retrying every minute against the same fault does
  // not repeat it until a connect has succeeded in between.
  const std::string error = mysql_error(&handle_);
  char line[1024];
  std::snprintf(line, sizeof line, kConnectFailureFormat, database_.c_str(), host_.c_str(),
                port_ > 0 ? static_cast<unsigned>(port_) : kClientDefaultPort, error.c_str());
  lastConnectFailure_ = line;
  if (error == lastReportedConnectError_ || !reportConnectFailures_) return;
  lastReportedConnectError_ = error;
  std::fprintf(stderr, "veltrane: %s\n", line);
  std::fflush(stderr);
}

bool DbSession::ConnectLocked(bool recordOutcome) {
  const bool ok = mysql_real_connect(&handle_, host_.c_str(), user_.c_str(), password_.c_str(),
                                     database_.c_str(), static_cast<unsigned>(port_), nullptr, 0) != nullptr;
  if (recordOutcome || ok) connected = ok ? 1 : 0;
  linked_ = ok;
  appliedTimeoutSeconds_ = 0;
  inTransaction_ = false;
  ++generation_;
  // The escaping depends on the connection's character set: set it after every connect.
  if (ok) {
    mysql_set_character_set(&handle_, kCharacterSet);
    lastReportedConnectError_.clear();
    lastConnectFailure_.clear();
  } else {
    ReportConnectFailure();
  }
  return ok;
}

void DbSession::ConnectDatabase() {
  std::lock_guard lock(connectionMutex_);
  static std::once_flag libraryInit;
  std::call_once(libraryInit, [] { mysql_server_init(0, nullptr, nullptr); });
  ReconnectLocked(true);
}

void DbSession::ReconnectLocked(bool recordOutcome) {
  if (handleInitialised_) mysql_close(&handle_);
  linked_ = false;
  InitHandleLocked();
  ConnectLocked(recordOutcome);
}

void DbSession::Reconnect() {
  std::lock_guard lock(connectionMutex_);
  ReconnectLocked(true);
}

int DbSession::Ping() {
  std::lock_guard lock(connectionMutex_);
  return RunStatementLocked([this] { return mysql_ping(&handle_) == 0; }) ? 0 : 1;
}

void DbSession::Close() {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_) return;
  mysql_close(&handle_);
  handleInitialised_ = false;
  linked_ = false;
}

bool DbSession::TryAcquireBusy() {
  int expected = 0;
  return busy_.compare_exchange_strong(expected, 1);
}

void DbSession::HoldBusy() { busy_.fetch_add(1); }

void DbSession::ReleaseBusy() {
  int value = busy_.load();
  while (value > 0 && !busy_.compare_exchange_weak(value, value - 1)) {
  }
}

void DbSession::WaitForDbIdle() {
  const std::uint32_t start = platform::GetTickCount();
  while (IsBusy()) {
    if (platform::TickElapsed(start, platform::GetTickCount()) > kIdleWaitLimitMs) return;
    platform::Sleep(kIdlePollMs);
  }
}

// --- held use and faults ----------------------------------------------------------------

void DbSession::BeginHeldUse(HeldUseHooks hooks) {
  std::lock_guard lock(heldMutex_);
  heldThread_ = std::this_thread::get_id();
  hooks_ = std::move(hooks);
  linkFault_ = false;
  held_ = true;
}

void DbSession::EndHeldUse() {
  std::lock_guard lock(heldMutex_);
  held_ = false;
  hooks_ = {};
  linkFault_ = false;
}

bool DbSession::HeldByThisThread() {
  std::lock_guard lock(heldMutex_);
  return held_ && heldThread_ == std::this_thread::get_id();
}

void DbSession::ClearLinkFault() { linkFault_ = false; }

void DbSession::SetLinkFault() {
  if (linkFault_.exchange(true)) return;
  if (hooks_.onLinkFault) hooks_.onLinkFault();
}

void DbSession::ReportLinkFault() {
  if (HeldByThisThread()) SetLinkFault();
}

void DbSession::MarkInFlight(bool inFlight) {
  std::lock_guard lock(inFlightMutex_);
  inFlight_ = inFlight;
  inFlightSocket_ = inFlight && handleInitialised_ ? static_cast<int>(mysql_get_socket(&handle_)) : -1;
}

bool DbSession::AbandonStatement() {
  // The socket stays open while the flag is set: the holder clears it (under this mutex)
  // before it can close the connection, so a reused descriptor is never hit.
  std::lock_guard lock(inFlightMutex_);
  if (!inFlight_ || inFlightSocket_ < 0) return false;
  ::shutdown(inFlightSocket_, SHUT_RDWR);
  return true;
}

void DbSession::ApplyTimeoutsLocked() {
  // The client reads its time-out options only while connecting; the socket layer's own
  // setter changes them for the statements that follow.
  const unsigned seconds = CurrentReadTimeout();
  MARIADB_PVIO* pvio = handle_.net.pvio;
  if (!linked_ || !pvio || !pvio->methods || !pvio->methods->set_timeout || appliedTimeoutSeconds_ == seconds) return;
  pvio->methods->set_timeout(pvio, PVIO_READ_TIMEOUT, static_cast<int>(seconds));
  pvio->methods->set_timeout(pvio, PVIO_WRITE_TIMEOUT, static_cast<int>(seconds));
  appliedTimeoutSeconds_ = seconds;
}

bool DbSession::RunStatementLocked(const std::function<bool()>& attempt) {
  const bool held = HeldByThisThread();
  if (held && linkFault_.load()) return false;  // one fault per click: fail at once
  if (transactionLost_) return false;
  struct StatementHooks {
    const HeldUseHooks* hooks;
    explicit StatementHooks(const HeldUseHooks* h) : hooks(h) {
      if (hooks && hooks->onStatementStart) hooks->onStatementStart();
    }
    ~StatementHooks() {
      if (hooks && hooks->onStatementEnd) hooks->onStatementEnd();
    }
  } statementHooks(held ? &hooks_ : nullptr);

  const auto runOnce = [&] {
    ApplyTimeoutsLocked();
    MarkInFlight(true);
    const bool ok = attempt();
    MarkInFlight(false);
    return ok;
  };
  const std::uint64_t generation = generation_;
  const bool transaction = inTransaction_;
  const auto finish = [&](bool ok) {
    // A transaction does not survive its connection: everything up to its end fails.
    if (transaction && (generation_ != generation || !linked_)) transactionLost_ = true;
    return ok;
  };

  if (handleInitialised_) {
    const auto started = std::chrono::steady_clock::now();
    if (runOnce()) return true;
    if (!IsLinkError(mysql_errno(&handle_))) return false;  // the server answered: no fault
    linked_ = false;
    if (!held) return finish(false);
    const auto waited = std::chrono::steady_clock::now() - started;
    if (waited + kTimeoutSlack >= std::chrono::seconds(CurrentReadTimeout())) {
      SetLinkFault();
      return finish(false);
    }
  } else if (!held) {
    return false;
  }
  // The holder's thread is the only user of the connection: reconnect on the spot.
  ReconnectLocked(false);
  if (!linked_) {
    SetLinkFault();
    return finish(false);
  }
  // A statement inside a transaction is not repeated on the new connection.
  if (transaction) return finish(false);
  if (runOnce()) return true;
  if (IsLinkError(mysql_errno(&handle_))) {
    linked_ = false;
    SetLinkFault();
  }
  return false;
}

// --- statements ---------------------------------------------------------------------------

std::string DbSession::Escape(std::string_view text) {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_ || !connected || !linked_) return EscapeGbkLiteral(text);
  std::string out(text.size() * 2 + 1, '\0');
  const unsigned long n = mysql_real_escape_string(&handle_, out.data(), text.data(), text.size());
  if (n == static_cast<unsigned long>(-1)) return EscapeGbkLiteral(text);
  out.resize(n);
  return out;
}

std::string DbSession::Format(std::string_view tmpl, std::initializer_list<SqlArg> args) {
  return FormatSqlWith([this](std::string_view t) { return Escape(t); }, tmpl, args);
}

bool DbSession::SelectRowsLocked(std::string_view sql, DbFetch fetch, std::vector<DbRow>& rows) {
  return RunStatementLocked([&] {
    rows.clear();  // a retry starts afresh
    if (mysql_real_query(&handle_, sql.data(), sql.size()) != 0) return false;
    MYSQL_RES* result = fetch == DbFetch::Store ? mysql_store_result(&handle_) : mysql_use_result(&handle_);
    if (!result) return false;
    const unsigned columns = mysql_num_fields(result);
    while (MYSQL_ROW values = mysql_fetch_row(result)) {
      const unsigned long* lengths = mysql_fetch_lengths(result);
      DbRow& row = rows.emplace_back(columns);
      for (unsigned c = 0; c < columns; ++c)
        row[c].assign(values[c] ? values[c] : "", values[c] && lengths ? lengths[c] : 0);
    }
    // A streamed result that broke off is a failure, not a shorter list.
    const bool complete = mysql_errno(&handle_) == 0;
    mysql_free_result(result);
    return complete;
  });
}

bool DbSession::SelectEach(std::string_view sql, DbFetch fetch, const std::function<void(const DbRow&)>& onRow) {
  std::lock_guard lock(connectionMutex_);
  std::vector<DbRow> rows;
  if (!SelectRowsLocked(sql, fetch, rows)) return false;
  for (const DbRow& row : rows) onRow(row);
  return true;
}

DbResult DbSession::Select(std::string_view sql, DbFetch fetch) {
  std::lock_guard lock(connectionMutex_);
  DbResult result;
  result.ok = SelectRowsLocked(sql, fetch, result.rows);
  if (!result.ok) result.rows.clear();
  return result;
}

bool DbSession::Execute(std::string_view sql) {
  std::lock_guard lock(connectionMutex_);
  if (EndsTransaction(sql) && transactionLost_) {
    // The server dropped the transaction with its connection: nothing is left to commit.
    transactionLost_ = false;
    inTransaction_ = false;
    return false;
  }
  const bool ok = RunStatementLocked([&] {
    if (mysql_real_query(&handle_, sql.data(), sql.size()) != 0) return false;
    // Drain any result so the connection stays usable.
    if (MYSQL_RES* result = mysql_store_result(&handle_)) mysql_free_result(result);
    return true;
  });
  if (ok && BeginsTransaction(sql)) inTransaction_ = true;
  if (EndsTransaction(sql)) inTransaction_ = false;
  return ok;
}

std::string DbSession::LastConnectFailure() {
  std::lock_guard lock(connectionMutex_);
  return lastConnectFailure_;
}

unsigned long long DbSession::AffectedRows() {
  std::lock_guard lock(connectionMutex_);
  return handleInitialised_ ? mysql_affected_rows(&handle_) : 0;
}

unsigned DbSession::LastErrorNumber() {
  std::lock_guard lock(connectionMutex_);
  return handleInitialised_ ? mysql_errno(&handle_) : 0;
}

std::string DbSession::LastError() {
  std::lock_guard lock(connectionMutex_);
  return handleInitialised_ ? mysql_error(&handle_) : std::string();
}
