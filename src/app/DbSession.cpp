#include "DbSession.h"

#include "TickCount.h"

namespace {
constexpr const char* kCharacterSet = "gbk";
}

DbSession& Db() {
  static DbSession session;
  return session;
}

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

void DbSession::InitHandleLocked() {
  mysql_init(&handle_);
  handleInitialised_ = true;
  const unsigned connectTimeout = kConnectTimeoutSeconds;
  const unsigned readTimeout = kReadTimeoutSeconds;
  const unsigned writeTimeout = kWriteTimeoutSeconds;
  mysql_options(&handle_, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
  mysql_options(&handle_, MYSQL_OPT_READ_TIMEOUT, &readTimeout);
  mysql_options(&handle_, MYSQL_OPT_WRITE_TIMEOUT, &writeTimeout);
}

bool DbSession::ConnectLocked() {
  const bool ok = mysql_real_connect(&handle_, host_.c_str(), user_.c_str(), password_.c_str(),
                                     database_.c_str(), static_cast<unsigned>(port_), nullptr, 0) != nullptr;
  connected = ok ? 1 : 0;
  // The escaping depends on the connection's character set: set it after every connect.
  if (ok) mysql_set_character_set(&handle_, kCharacterSet);
  return ok;
}

void DbSession::ConnectDatabase() {
  std::lock_guard lock(connectionMutex_);
  static std::once_flag libraryInit;
  std::call_once(libraryInit, [] { mysql_server_init(0, nullptr, nullptr); });
  if (handleInitialised_) mysql_close(&handle_);
  InitHandleLocked();
  ConnectLocked();
}

void DbSession::Reconnect() {
  std::lock_guard lock(connectionMutex_);
  if (handleInitialised_) mysql_close(&handle_);
  InitHandleLocked();
  ConnectLocked();
}

int DbSession::Ping() {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_) return 1;
  return mysql_ping(&handle_);
}

void DbSession::Close() {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_) return;
  mysql_close(&handle_);
  handleInitialised_ = false;
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

std::string DbSession::Escape(std::string_view text) {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_ || !connected) return EscapeGbkLiteral(text);
  std::string out(text.size() * 2 + 1, '\0');
  const unsigned long n = mysql_real_escape_string(&handle_, out.data(), text.data(), text.size());
  if (n == static_cast<unsigned long>(-1)) return EscapeGbkLiteral(text);
  out.resize(n);
  return out;
}

std::string DbSession::Format(std::string_view tmpl, std::initializer_list<SqlArg> args) {
  return FormatSqlWith([this](std::string_view t) { return Escape(t); }, tmpl, args);
}

bool DbSession::SelectEach(std::string_view sql, DbFetch fetch, const std::function<void(const DbRow&)>& onRow) {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_) return false;
  if (mysql_real_query(&handle_, sql.data(), sql.size()) != 0) return false;
  MYSQL_RES* result = fetch == DbFetch::Store ? mysql_store_result(&handle_) : mysql_use_result(&handle_);
  if (!result) return false;
  const unsigned columns = mysql_num_fields(result);
  DbRow row(columns);
  while (MYSQL_ROW values = mysql_fetch_row(result)) {
    const unsigned long* lengths = mysql_fetch_lengths(result);
    for (unsigned c = 0; c < columns; ++c)
      row[c].assign(values[c] ? values[c] : "", values[c] && lengths ? lengths[c] : 0);
    onRow(row);
  }
  mysql_free_result(result);
  return true;
}

DbResult DbSession::Select(std::string_view sql, DbFetch fetch) {
  DbResult result;
  result.ok = SelectEach(sql, fetch, [&](const DbRow& row) { result.rows.push_back(row); });
  return result;
}

bool DbSession::Execute(std::string_view sql) {
  std::lock_guard lock(connectionMutex_);
  if (!handleInitialised_) return false;
  if (mysql_real_query(&handle_, sql.data(), sql.size()) != 0) return false;
  // Drain any result so the connection stays usable.
  if (MYSQL_RES* result = mysql_store_result(&handle_)) mysql_free_result(result);
  return true;
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
