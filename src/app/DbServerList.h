#pragma once
// The servers a session may connect to, parsed from the configured host: "db1, db2:3307" is
// tried in that order, each "name" or "name:port". Plain values, no client library.
#include <string>
#include <vector>

struct DbServer {
  std::string host;   // "" is the client's default host
  unsigned port = 0;  // 0 is the client's default port

  bool operator==(const DbServer&) const = default;
};

// Entries are trimmed of blanks; empty ones are skipped and an empty list still names one
// server (the client's default host). A suffix that is not a port (":", ":x", ":70000") keeps
// the whole entry as its name, so the failure line names what was written. Duplicates stay:
// the list is tried as written.
std::vector<DbServer> ParseServerList(const std::string& hosts, int defaultPort);

// "db1:3306, db2:3307": every server of the list, a port of 0 shown as the client's default.
std::string ServerListText(const std::vector<DbServer>& servers);

// The one line a failed connect reports: the database, every server that was tried, the
// client's last error.
std::string ConnectFailureLine(const std::string& database, const std::vector<DbServer>& servers,
                               const std::string& error);
