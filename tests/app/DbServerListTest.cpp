// The list of servers a session tries, and the one line its failure reports.
#include <gtest/gtest.h>

#include "DbServerList.h"

TEST(DbServerList, ParsesTheConfiguredHost) {
  struct Case {
    const char* hosts;
    int defaultPort;
    std::vector<DbServer> expected;
  };
  const Case cases[] = {
      {"", 3306, {{"", 3306}}},  // the client's default host
      {" , ,", 3307, {{"", 3307}}},
      {"db1", 3307, {{"db1", 3307}}},
      {" db1 ,\tdb2:3308 ,, ", 3306, {{"db1", 3306}, {"db2", 3308}}},
      {"db1,db1", 3306, {{"db1", 3306}, {"db1", 3306}}},  // tried as written
      {"db1:0", 3307, {{"db1", 0}}},                      // the client's default port
      {"db1:", 3306, {{"db1:", 3306}}},                   // not a port: the name as written
      {"db1:x1", 3306, {{"db1:x1", 3306}}},
      {"db1:70000", 3306, {{"db1:70000", 3306}}},  // beyond 16 bits
      {"db1:123456", 3306, {{"db1:123456", 3306}}},
      {"::1", 3306, {{"::1", 3306}}},  // more than one colon: an address, not a port
      {"db1", -1, {{"db1", 0}}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseServerList(c.hosts, c.defaultPort), c.expected) << '"' << c.hosts << '"';
}

TEST(DbServerList, FailureLineNamesEveryServerTried) {
  const std::vector<DbServer> servers = ParseServerList("db1, db2:3307, :0", 0);
  EXPECT_EQ(ServerListText(servers), "db1:3306, db2:3307, :3306");
  EXPECT_EQ(ConnectFailureLine("station", servers, "Unknown host"),
            "cannot connect to database 'station' on db1:3306, db2:3307, :3306: Unknown host");
}
