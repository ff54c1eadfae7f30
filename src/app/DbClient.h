#pragma once
// Every call into the database client library, and the client handle. No policy: what to send
// again, what a fault means to the user and what a transaction is belong to DbSession.
//
// Locking rule: the owner serialises every call, except Abandon and InFlight, which any thread
// may make at any time.
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DbServerList.h"

using DbRow = std::vector<std::string>;  // column texts in GBK; SQL NULL reads as ""

struct DbAccount {
  std::string user, password, database;
};

class DbClient {
 public:
  struct Error {
    unsigned number = 0;  // 0: none
    std::string text;
  };

  DbClient();
  ~DbClient();  // closes
  DbClient(const DbClient&) = delete;
  DbClient& operator=(const DbClient&) = delete;

  // Once per process, before the first handle of any session.
  static void InitialiseLibrary();
  // Client errors that mean the link itself failed (2006, 2013 and their kin), and 1047, a
  // Galera node that no longer serves clients.
  static bool IsLinkError(unsigned error);
  // A deadlock (1213, also a Galera certification conflict) or a lock wait time-out (1205).
  static bool IsTransientError(unsigned error);

  // Closes what is open, then connects to `server` within the time-outs and gives the
  // connection `characterSet`. On failure the reason; a handle refused the character set is
  // closed, one refused by the server stays (its error is the last error).
  std::optional<Error> Connect(const DbServer& server, const DbAccount& account, const std::string& characterSet,
                               unsigned connectTimeoutSeconds, unsigned readTimeoutSeconds);
  // After a connect: why the server is a Galera node that does not take clients, or nullopt.
  // With `readsOwnWrites` a ready node is asked to wait for the cluster before every read.
  std::optional<Error> ProbeGaleraNode(bool readsOwnWrites);
  void Close();
  bool HasHandle() const;  // a handle exists, connected or not
  bool Linked() const;     // it holds a working connection, as far as is known
  void MarkLinkLost();

  // The read and write time-out of the statements that follow (the client reads its options
  // only while connecting).
  void ApplyReadTimeout(unsigned seconds);
  // nullopt without a working connection.
  std::optional<std::string> Escape(std::string_view text);
  bool Ping();
  bool Query(std::string_view sql);
  // Reads and drops a result the last statement may have left.
  void DiscardResult();
  // Fetches the last statement's result row by row from the server, handing each to `onRow`
  // as it arrives; nothing is kept. False for no result set, and for one that broke off.
  bool FetchRows(const std::function<void(const DbRow&)>& onRow);
  unsigned long long AffectedRows();
  Error LastError();

  // The statement in flight: marked around each call that waits for the server, so that
  // Abandon (any thread) can shut its socket down and make it fail at once.
  void MarkInFlight(bool inFlight);
  bool InFlight() const;
  bool Abandon();
  // Without a statement running: the server closed the idle connection from its end.
  bool IdleLinkClosed();

 private:
  struct Handle;  // the client's own types stay in DbClient.cpp
  std::unique_ptr<Handle> handle_;
  bool linked_ = false;
  unsigned appliedTimeoutSeconds_ = 0;
  mutable std::mutex inFlightMutex_;  // guards the socket between statement start and end
  bool inFlight_ = false;
  int inFlightSocket_ = -1;
};
