#include "DbServerList.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

constexpr unsigned kClientDefaultPort = 3306;  // what port 0 means to the client
constexpr unsigned kHighestPort = 65535;
constexpr const char* kBlanks = " \t";
constexpr const char* kDigits = "0123456789";
constexpr const char* kServerSeparator = ", ";
constexpr const char* kConnectFailureFormat = "cannot connect to database '%s' on %s: %s";

// The port after the only colon of `entry` (at `colon`); nullopt when it is not a port number.
std::optional<unsigned> PortSuffix(const std::string& entry, std::size_t colon) {
  if (colon == std::string::npos || entry.find(':') != colon || colon + 1 == entry.size()) return std::nullopt;
  const std::string digits = entry.substr(colon + 1);
  if (digits.size() > 5 || digits.find_first_not_of(kDigits) != std::string::npos) return std::nullopt;
  const unsigned long port = std::stoul(digits);
  // The client keeps 16 bits of a port: 70000 would quietly reach another one.
  if (port > kHighestPort) return std::nullopt;
  return static_cast<unsigned>(port);
}

}  // namespace

std::vector<DbServer> ParseServerList(const std::string& hosts, int defaultPort) {
  const unsigned fallbackPort = static_cast<unsigned>(std::max(defaultPort, 0));
  std::vector<DbServer> servers;
  std::size_t start = 0;
  while (start <= hosts.size()) {
    std::size_t end = hosts.find(',', start);
    if (end == std::string::npos) end = hosts.size();
    std::string entry = hosts.substr(start, end - start);
    entry.erase(0, entry.find_first_not_of(kBlanks));
    entry.erase(entry.find_last_not_of(kBlanks) + 1);
    start = end + 1;
    if (entry.empty()) continue;
    const std::size_t colon = entry.rfind(':');
    if (const std::optional<unsigned> port = PortSuffix(entry, colon))
      servers.push_back({entry.substr(0, colon), *port});
    else
      servers.push_back({entry, fallbackPort});
  }
  if (servers.empty()) servers.push_back({"", fallbackPort});
  return servers;
}

std::string ServerListText(const std::vector<DbServer>& servers) {
  std::string text;
  for (const DbServer& server : servers)
    text += (text.empty() ? "" : kServerSeparator) + server.host + ":" +
            std::to_string(server.port > 0 ? server.port : kClientDefaultPort);
  return text;
}

std::string ConnectFailureLine(const std::string& database, const std::vector<DbServer>& servers,
                               const std::string& error) {
  const std::string serverText = ServerListText(servers);
  const int size =
      std::snprintf(nullptr, 0, kConnectFailureFormat, database.c_str(), serverText.c_str(), error.c_str());
  std::string line(static_cast<std::size_t>(std::max(size, 0)), '\0');
  std::snprintf(line.data(), line.size() + 1, kConnectFailureFormat, database.c_str(), serverText.c_str(),
                error.c_str());
  return line;
}
