#include "TestDatabase.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#ifndef VELTRANE_SCHEMA_SQL
#error "VELTRANE_SCHEMA_SQL must name sql/schema.sql"
#endif

TestServer TestServer::FromEnvironment() {
  TestServer s;
#ifdef VELTRANE_TEST_DB_PORT_DEFAULT
  s.port = VELTRANE_TEST_DB_PORT_DEFAULT;
#endif
#ifdef VELTRANE_TEST_DB_PASSWORD_DEFAULT
  s.password = VELTRANE_TEST_DB_PASSWORD_DEFAULT;
#endif
  if (const char* port = std::getenv("VELTRANE_DB_PORT")) s.port = std::atoi(port);
  if (const char* pwd = std::getenv("VELTRANE_DB_PASSWORD")) s.password = pwd;
  return s;
}

bool TestSchemaHasAuditTrail() { return std::getenv("VELTRANE_TEST_WITHOUT_AUDIT") == nullptr; }

namespace {

std::vector<std::string> SchemaStatements() {
  std::ifstream in(VELTRANE_SCHEMA_SQL);
  std::stringstream all;
  all << in.rdbuf();
  std::vector<std::string> statements;
  std::string current, line;
  while (std::getline(all, line)) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line.compare(first, 2, "--") == 0) continue;
    current += line + "\n";
    const auto last = line.find_last_not_of(" \t\r");
    if (line[last] == ';') {
      // A database of an earlier version: the station must work as before without the trail.
      const bool trail =
          current.find("alarm_ack_tab") != std::string::npos || current.find("audit_tab") != std::string::npos;
      if (!trail || TestSchemaHasAuditTrail()) statements.push_back(current);
      current.clear();
    }
  }
  return statements;
}

}  // namespace

// CTest runs every test as its own process, several at once: the process id keeps their
// scratch databases apart.
TestDatabase::TestDatabase(const std::string& name)
    : server_(TestServer::FromEnvironment()), name_(name + "_" + std::to_string(::getpid())) {
  admin_.Configure(server_.host, server_.port, server_.user, server_.password, "");
  admin_.ConnectDatabase();
  if (!admin_.LastConnectSucceeded()) {
    // Under CTest the server is a fixture: not reaching it is a failure, never a quiet skip
    // (a skip printed later by the test would make CTest count it as skipped).
    if (std::getenv("VELTRANE_REQUIRE_DB")) {
      std::fprintf(stderr, "test database server not reachable on %s:%d: %s\n", server_.host.c_str(), server_.port,
                   admin_.LastError().c_str());
      std::_Exit(1);
    }
    return;
  }
  if (!admin_.Execute("DROP DATABASE IF EXISTS `" + name_ + "`")) return;
  if (!admin_.Execute("CREATE DATABASE `" + name_ + "` DEFAULT CHARACTER SET gbk")) return;
  if (!admin_.Execute("USE `" + name_ + "`")) return;
  for (const std::string& statement : SchemaStatements()) {
    if (!admin_.Execute(statement)) {
      ADD_FAILURE() << "schema statement failed: " << admin_.LastError() << "\n" << statement;
      return;
    }
  }
  ok_ = true;
}

TestDatabase::~TestDatabase() {
  if (admin_.LastConnectSucceeded()) admin_.Execute("DROP DATABASE IF EXISTS `" + name_ + "`");
  admin_.Close();
}

void TestDatabase::Exec(const std::string& sql) {
  EXPECT_TRUE(admin_.Execute(sql)) << admin_.LastError() << "\n" << sql;
}

DbResult TestDatabase::Query(const std::string& sql) {
  DbResult r = admin_.Select(sql);
  EXPECT_TRUE(r.ok) << admin_.LastError() << "\n" << sql;
  return r;
}

void TestDatabase::ConnectProcessSession() {
  Db().Configure(server_.host, server_.port, server_.user, server_.password, name_);
  Db().ConnectDatabase();
}
