#include "DbClient.h"

// The client's own header first: the others build on its types.
// clang-format off
#include <mysql.h>
#include <errmsg.h>
#include <ma_pvio.h>
#include <mysqld_error.h>
// clang-format on
#include <poll.h>
#include <sys/socket.h>

namespace {

// A Galera node tells whether it replicates and whether it takes clients; a plain server has
// no such variable (or has it OFF) and is used as it is.
constexpr std::string_view kWsrepOnQuery = "show variables like 'wsrep_on'";
// wsrep_on without a provider replicates nothing and serves clients like a plain server (its
// wsrep_ready stays OFF).
constexpr std::string_view kWsrepProviderQuery = "show variables like 'wsrep_provider'";
constexpr std::string_view kNoProvider = "none";
constexpr std::string_view kWsrepReadyQuery = "show status like 'wsrep_ready'";
constexpr std::string_view kSwitchedOn = "ON";
constexpr std::string_view kSyncWaitStatement = "set session wsrep_sync_wait=1";
constexpr unsigned kWsrepNotReadyError = ER_UNKNOWN_COM_ERROR;  // "WSREP has not yet prepared node..."
constexpr const char* kWsrepNotReadyText = "the Galera node is not ready for clients (wsrep_ready OFF)";

}  // namespace

struct DbClient::Handle {
  MYSQL mysql{};
  bool initialised = false;

  // The value column of the first row of a "show" statement: nullopt when the statement
  // failed, "" (with `hadRow` false) when it returned no row.
  std::optional<std::string> ShowValue(std::string_view sql, bool& hadRow) {
    hadRow = false;
    if (mysql_real_query(&mysql, sql.data(), sql.size()) != 0) return std::nullopt;
    MYSQL_RES* result = mysql_store_result(&mysql);
    if (!result) return std::nullopt;
    std::string value;
    if (MYSQL_ROW row = mysql_fetch_row(result); row && mysql_num_fields(result) >= 2) {
      hadRow = true;
      value = row[1] ? row[1] : "";
    }
    mysql_free_result(result);
    return value;
  }
};

DbClient::DbClient() : handle_(std::make_unique<Handle>()) {}

DbClient::~DbClient() { Close(); }

void DbClient::InitialiseLibrary() {
  // The monitor thread's session may connect before the other one ever did.
  static std::once_flag libraryInit;
  std::call_once(libraryInit, [] { mysql_server_init(0, nullptr, nullptr); });
}

bool DbClient::IsLinkError(unsigned error) {
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

bool DbClient::IsTransientError(unsigned error) { return error == ER_LOCK_DEADLOCK || error == ER_LOCK_WAIT_TIMEOUT; }

std::optional<DbClient::Error> DbClient::Connect(const DbServer& server, const DbAccount& account,
                                                 const std::string& characterSet, unsigned connectTimeoutSeconds,
                                                 unsigned readTimeoutSeconds) {
  Close();
  MYSQL* mysql = &handle_->mysql;
  mysql_init(mysql);
  handle_->initialised = true;
  mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeoutSeconds);
  mysql_options(mysql, MYSQL_OPT_READ_TIMEOUT, &readTimeoutSeconds);
  mysql_options(mysql, MYSQL_OPT_WRITE_TIMEOUT, &readTimeoutSeconds);
  appliedTimeoutSeconds_ = 0;
  if (!mysql_real_connect(mysql, server.host.c_str(), account.user.c_str(), account.password.c_str(),
                          account.database.c_str(), server.port, nullptr, 0))
    return LastError();
  // The escaping depends on the connection's character set: a connection the client cannot
  // give it is no connection.
  if (mysql_set_character_set(mysql, characterSet.c_str()) != 0) {
    const Error error = LastError();
    Close();
    return error;
  }
  linked_ = true;
  return std::nullopt;
}

std::optional<DbClient::Error> DbClient::ProbeGaleraNode(bool readsOwnWrites) {
  bool hadRow = false;
  const std::optional<std::string> wsrepOn = handle_->ShowValue(kWsrepOnQuery, hadRow);
  if (!wsrepOn) return LastError();
  if (!hadRow || *wsrepOn != kSwitchedOn) return std::nullopt;  // a plain server
  const std::optional<std::string> provider = handle_->ShowValue(kWsrepProviderQuery, hadRow);
  if (!provider) return LastError();
  if (!hadRow || *provider == kNoProvider) return std::nullopt;
  const std::optional<std::string> ready = handle_->ShowValue(kWsrepReadyQuery, hadRow);
  if (!ready) return LastError();
  if (*ready != kSwitchedOn) return Error{kWsrepNotReadyError, kWsrepNotReadyText};
  if (readsOwnWrites && !Query(kSyncWaitStatement)) return LastError();
  return std::nullopt;
}

void DbClient::Close() {
  linked_ = false;
  if (!handle_->initialised) return;
  mysql_close(&handle_->mysql);
  handle_->initialised = false;
}

bool DbClient::HasHandle() const { return handle_->initialised; }

bool DbClient::Linked() const { return linked_; }

void DbClient::MarkLinkLost() { linked_ = false; }

void DbClient::ApplyReadTimeout(unsigned seconds) {
  // The socket layer's own setter: the client has no call for a connection already open.
  MARIADB_PVIO* pvio = handle_->mysql.net.pvio;
  if (!linked_ || !pvio || !pvio->methods || !pvio->methods->set_timeout || appliedTimeoutSeconds_ == seconds) return;
  pvio->methods->set_timeout(pvio, PVIO_READ_TIMEOUT, static_cast<int>(seconds));
  pvio->methods->set_timeout(pvio, PVIO_WRITE_TIMEOUT, static_cast<int>(seconds));
  appliedTimeoutSeconds_ = seconds;
}

std::optional<std::string> DbClient::Escape(std::string_view text) {
  if (!handle_->initialised || !linked_) return std::nullopt;
  std::string out(text.size() * 2 + 1, '\0');
  const unsigned long n = mysql_real_escape_string(&handle_->mysql, out.data(), text.data(), text.size());
  if (n == static_cast<unsigned long>(-1)) return std::nullopt;
  out.resize(n);
  return out;
}

bool DbClient::Ping() { return mysql_ping(&handle_->mysql) == 0; }

bool DbClient::Query(std::string_view sql) { return mysql_real_query(&handle_->mysql, sql.data(), sql.size()) == 0; }

void DbClient::DiscardResult() {
  if (MYSQL_RES* result = mysql_store_result(&handle_->mysql)) mysql_free_result(result);
}

bool DbClient::FetchRows(const std::function<void(const DbRow&)>& onRow) {
  MYSQL* mysql = &handle_->mysql;
  MYSQL_RES* result = mysql_use_result(mysql);
  if (!result) return false;
  const unsigned columns = mysql_num_fields(result);
  DbRow row(columns);  // its texts keep their buffers from row to row
  while (MYSQL_ROW values = mysql_fetch_row(result)) {
    const unsigned long* lengths = mysql_fetch_lengths(result);
    for (unsigned c = 0; c < columns; ++c)
      row[c].assign(values[c] ? values[c] : "", values[c] && lengths ? lengths[c] : 0);
    onRow(row);
  }
  // A result that broke off ends like a complete one: only the error tells them apart.
  const bool complete = mysql_errno(mysql) == 0;
  mysql_free_result(result);
  return complete;
}

unsigned long long DbClient::AffectedRows() { return handle_->initialised ? mysql_affected_rows(&handle_->mysql) : 0; }

DbClient::Error DbClient::LastError() {
  if (!handle_->initialised) return {};
  return {mysql_errno(&handle_->mysql), mysql_error(&handle_->mysql)};
}

void DbClient::MarkInFlight(bool marked) {
  std::lock_guard lock(inFlightMutex_);
  inFlight_ = marked;
  inFlightSocket_ = marked && handle_->initialised ? static_cast<int>(mysql_get_socket(&handle_->mysql)) : -1;
}

bool DbClient::InFlight() const {
  std::lock_guard lock(inFlightMutex_);
  return inFlight_;
}

bool DbClient::Abandon() {
  // The socket stays open while the mark is set: the owner clears it (under this mutex)
  // before it can close the connection, so a reused descriptor is never hit.
  std::lock_guard lock(inFlightMutex_);
  if (!inFlight_ || inFlightSocket_ < 0) return false;
  ::shutdown(inFlightSocket_, SHUT_RDWR);
  return true;
}

bool DbClient::IdleLinkClosed() {
  if (!handle_->initialised || !linked_) return false;
  const int socket = static_cast<int>(mysql_get_socket(&handle_->mysql));
  if (socket < 0) return false;
  // Between statements the server sends nothing: anything readable is its end (or its error
  // packet before it closes).
  pollfd watch{socket, POLLIN | POLLRDHUP, 0};
  return ::poll(&watch, 1, 0) > 0 && (watch.revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0;
}
