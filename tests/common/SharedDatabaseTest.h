#pragma once
// A fixture base for suites that share one scratch database: the suite's SetUpTestSuite calls
// OpenDatabase (and fills the database when that succeeds), the inherited TearDownTestSuite
// drops it. Suite is the deriving fixture, so that every suite keeps a database of its own.
#include <memory>
#include <string>

#include "TestDatabase.h"

template <class Suite>
class SharedDatabaseTest : public ::testing::Test {
 protected:
  // False when the server could not be reached (every test is skipped then).
  static bool OpenDatabase(const std::string& name) {
    db_ = std::make_unique<TestDatabase>(name);
    return db_->ok();
  }
  static void TearDownTestSuite() { db_.reset(); }

  // Skips the test without a database; else points Db() at it.
  void SetUp() override {
    REQUIRE_DB(*db_);
    db_->ConnectProcessSession();
  }

  static inline std::unique_ptr<TestDatabase> db_;
};
