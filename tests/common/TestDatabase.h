#pragma once
// A scratch database on the private test server, created from sql/schema.sql for one test
// group and dropped afterwards. The process-wide session (Db()) is pointed at it.
#include <gtest/gtest.h>

#include <string>

#include "StationDb.h"

struct TestServer {
  std::string host = "127.0.0.1";
  int port = 33061;
  std::string user = "root";
  std::string password = "veltrane-test";
  static TestServer FromEnvironment();
};

class TestDatabase {
 public:
  // Creates database `name`_<pid> (dropped first if left over) with the schema loaded.
  explicit TestDatabase(const std::string& name);
  ~TestDatabase();

  bool ok() const { return ok_; }
  const std::string& name() const { return name_; }
  const TestServer& server() const { return server_; }

  // Runs statements on the scratch database through its own administrative connection
  // (never through Db()). Fails the current test on an error.
  void Exec(const std::string& sql);
  DbResult Query(const std::string& sql);
  // Points Db() at the scratch database and connects it.
  void ConnectProcessSession();

 private:
  TestServer server_;
  std::string name_;
  DbSession admin_;
  bool ok_ = false;
};

// The scratch schemas hold the audit trail's tables unless VELTRANE_TEST_WITHOUT_AUDIT is set
// (scripts/test runs the suite both ways).
bool TestSchemaHasAuditTrail();
#define REQUIRE_AUDIT_TRAIL() \
  if (!TestSchemaHasAuditTrail()) GTEST_SKIP() << "the schema has no audit tables (VELTRANE_TEST_WITHOUT_AUDIT)"

// Skips the test when the scratch database could not be created.
#define REQUIRE_DB(db) \
  if (!(db).ok()) GTEST_SKIP() << "test database server not reachable"
