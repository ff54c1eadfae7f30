#pragma once
// The one connection to the database, shared by the user-interface thread and the monitor
// thread. Every mysql_* call of the program lives in DbSession.cpp.
//
// Locking rule: every call that touches the connection takes `connectionMutex_` for its whole
// duration, so the two threads can never use the connection at once — even when
// WaitForDbIdle gave up and both believe they hold `busy`. `busy` is the coarse turn-taking
// between the threads (the monitor thread skips its step while it is set; a database dialog
// holds it for its whole lifetime); it counts holders so that one holder's release never
// clears another's hold.
#include <mysql.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
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
  // Client time-outs, so a dead server or a dropped link cannot freeze the window for minutes.
  static constexpr unsigned kConnectTimeoutSeconds = 5;
  static constexpr unsigned kReadTimeoutSeconds = 30;
  static constexpr unsigned kWriteTimeoutSeconds = 30;
  static constexpr std::uint32_t kIdleWaitLimitMs = 2000;
  static constexpr std::uint32_t kIdlePollMs = 100;

  DbSession() = default;
  // Releases the client handle (a session that never connected still owns one).
  ~DbSession();
  DbSession(const DbSession&) = delete;
  DbSession& operator=(const DbSession&) = delete;

  void Configure(std::string host, int port, std::string user, std::string password, std::string database);

  // Start-up connect: library initialisation, then init, connect and character set "gbk".
  void ConnectDatabase();
  // Close, initialise and connect again with the same parameters (the monitor thread's remedy
  // for a failed ping). Sets `connected` and the character set exactly like ConnectDatabase.
  void Reconnect();
  // mysql_ping: 0 when the server answers.
  int Ping();
  // Closes the connection without touching the flags.
  void Close();

  // 1 after a successful connect, 0 after a failed one; nothing else changes it.
  std::atomic<int> connected{0};

  // --- busy ---------------------------------------------------------------------------
  bool IsBusy() const { return busy_.load() != 0; }
  int BusyValue() const { return busy_.load() != 0 ? 1 : 0; }
  // Atomic test-and-set for the monitor thread: takes `busy` only if nobody holds it.
  bool TryAcquireBusy();
  // Unconditional hold, for a dialog after WaitForDbIdle (even if it gave up).
  void HoldBusy();
  void ReleaseBusy();
  // Waits while `busy` is set, at most 2000 ms, polling every 100 ms.
  void WaitForDbIdle();

  // --- statements ---------------------------------------------------------------------
  std::string Escape(std::string_view text);
  std::string Format(std::string_view tmpl, std::initializer_list<SqlArg> args);

  // Runs a statement that returns rows; `ok` is false on a query error or a null result.
  DbResult Select(std::string_view sql, DbFetch fetch = DbFetch::Store);
  // Streams rows to `onRow` (held under the connection lock: do no database work inside).
  bool SelectEach(std::string_view sql, DbFetch fetch, const std::function<void(const DbRow&)>& onRow);
  // Runs a statement without a result set (insert, update, delete). True when the server
  // accepted it.
  bool Execute(std::string_view sql);
  unsigned long long AffectedRows();

  unsigned LastErrorNumber();
  std::string LastError();

 private:
  bool ConnectLocked();
  void InitHandleLocked();

  std::recursive_mutex connectionMutex_;
  MYSQL handle_{};
  bool handleInitialised_ = false;
  std::string host_, user_, password_, database_;
  int port_ = 0;
  std::atomic<int> busy_{0};
};

// The process-wide session.
DbSession& Db();
