// Rows fetched one by one: what a lost link does to a result part-way through, a statement
// sent from inside the row callback, and the per-statement read time-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

#include "DbSession.h"
#include "SharedDatabaseTest.h"

namespace {

// More rows than the socket buffers between server and client hold, so a break after the
// first row is felt before the last one arrives.
constexpr int kManyRows = 300000;
const std::string kManyRowsSql = "select seq, repeat('x', 200) from seq_1_to_" + std::to_string(kManyRows);

}  // namespace

class DbSessionStreamTest : public SharedDatabaseTest<DbSessionStreamTest> {
 protected:
  static void SetUpTestSuite() { OpenDatabase("t_db_session_stream"); }
  void SetUp() override {
    SharedDatabaseTest::SetUp();
    Db().BeginHeldUse({});  // as for a dialog: the session would send a read again
  }
  void TearDown() override { Db().EndHeldUse(); }
  static std::string ConnectionId() { return Db().Select("select connection_id()").rows.at(0).at(0); }
};

// A lost link, and a statement the server stops while sending (it ends the rows like a whole
// result, with only a warning to tell).
TEST_F(DbSessionStreamTest, BreakAfterTheFirstRowsFailsWithoutHandingARowTwice) {
  for (const std::string kill : {"kill ", "kill query "}) {
    SCOPED_TRACE(kill);
    const std::string id = ConnectionId();
    std::vector<int> handed;
    const bool ok = Db().SelectEach(kManyRowsSql, [&](const DbRow& row) {
      if (handed.empty()) db_->Exec(kill + id);  // from a second session
      handed.push_back(std::stoi(row.at(0)));
    });
    EXPECT_FALSE(ok) << "a result that broke off is a failure, not a shorter one";
    ASSERT_FALSE(handed.empty());
    EXPECT_LT(handed.size(), static_cast<std::size_t>(kManyRows));
    EXPECT_EQ(std::set<int>(handed.begin(), handed.end()).size(), handed.size()) << "no row handed twice";
    EXPECT_EQ(handed.back(), static_cast<int>(handed.size())) << "not sent again after rows were handed";
    EXPECT_TRUE(Db().Select("select 1").ok) << "the session goes on";
  }
}

TEST_F(DbSessionStreamTest, BreakBeforeTheFirstRowIsSentAgainOnce) {
  const std::string id = ConnectionId();
  // Killed while the server is still working on it: nothing has come back yet.
  bool killedWhileRunning = false;
  std::thread killer([&] {
    const std::string running =
        "select count(*) from information_schema.processlist where id=" + id + " and info like 'select sleep%'";
    for (int tries = 0; tries < 500 && !killedWhileRunning; ++tries) {
      killedWhileRunning = db_->Query(running).rows.at(0).at(0) == "1";
      if (!killedWhileRunning) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    db_->Exec("kill " + id);
  });
  std::vector<DbRow> handed;
  const bool ok = Db().SelectEach("select sleep(1), 'only row'", [&](const DbRow& row) { handed.push_back(row); });
  killer.join();
  ASSERT_TRUE(killedWhileRunning);
  EXPECT_TRUE(ok) << Db().LastError();
  EXPECT_EQ(handed, (std::vector<DbRow>{{"0", "only row"}})) << "sent again on the new connection, handed once";
  EXPECT_NE(ConnectionId(), id);
}

TEST_F(DbSessionStreamTest, StatementFromInsideTheRowCallbackFails) {
  int rows = 0;
  bool innerOk = true;
  const bool ok = Db().SelectEach("select 1 union all select 2", [&](const DbRow&) {
    innerOk = innerOk && Db().Select("select 3").ok;
    ++rows;
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(rows, 2);
  EXPECT_FALSE(innerOk) << "the connection is still receiving the outer result";
  EXPECT_TRUE(Db().Select("select 3").ok);
}

// Connected under a long read time-out, a statement under a short one must give up on the
// short one: the client reads its options only while connecting.
TEST(DbSessionReadTimeout, ShortScopeCutsAStatementOnAnOpenConnection) {
  TestDatabase db("t_db_session_timeout");
  REQUIRE_DB(db);
  DbSession session;
  session.Configure(db.server().host, db.server().port, db.server().user, db.server().password, db.name());
  {
    const DbSession::ReadTimeoutScope patient(60);
    session.ConnectDatabase();
  }
  ASSERT_TRUE(session.LastConnectSucceeded());
  const DbSession::ReadTimeoutScope impatient(1);
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(session.Select("select sleep(30)").ok);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << "gave up long before the server";
}
