// The session against the real private server: character set, escaping, reconnect,
// the text date ranges of the history statements, transactions across a lost link, and the
// connection lock.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "DbSession.h"
#include "DbSessionTestSeam.h"
#include "DbTransaction.h"
#include "Gbk.h"
#include "SharedDatabaseTest.h"

using platform::Utf8ToGbk;

class DbSessionTest : public SharedDatabaseTest<DbSessionTest> {
 protected:
  static void SetUpTestSuite() { OpenDatabase("t_db_session"); }
  void SetUp() override {
    if (!db_->ok()) GTEST_SKIP() << "test database server not reachable";
    db_->ConnectProcessSession();
    ASSERT_EQ(Db().LastConnectSucceeded(), 1);
  }
};

TEST_F(DbSessionTest, ConnectionTalksGbkAndChineseRoundTrips) {
  DbResult cs = Db().Select("select @@character_set_client, @@character_set_results, @@character_set_connection");
  ASSERT_TRUE(cs.ok);
  ASSERT_EQ(cs.rows.size(), 1u);
  EXPECT_EQ(cs.rows[0], (DbRow{"gbk", "gbk", "gbk"}));

  const std::string name = Utf8ToGbk("华东冷链運誠");
  ASSERT_TRUE(Db().Execute(Db().Format("insert into company_tab values('%s','%s')", {"C001", name})));
  // Read back through another connection, as UTF-8, to be sure the server stored characters.
  DbResult viaUtf8 =
      db_->Query("select hex(convert(company_name using utf8mb4)) from company_tab where company_num='C001'");
  ASSERT_EQ(viaUtf8.rows.size(), 1u);
  const std::string utf8 = "华东冷链運誠";
  std::string hex;
  for (unsigned char c : utf8) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  EXPECT_EQ(viaUtf8.rows[0][0], hex);
  DbResult back = Db().Select("select company_name from company_tab where company_num='C001'");
  ASSERT_EQ(back.rows.size(), 1u);
  EXPECT_EQ(back.rows[0][0], name);
  // A search with the 0x5C trail byte finds the row as typed.
  DbResult found = Db().Select(
      Db().Format("select count(*) from company_tab where company_name like '%%%s%%'", {Utf8ToGbk("運誠")}));
  ASSERT_TRUE(found.ok);
  EXPECT_EQ(found.rows[0][0], "1");
}

TEST_F(DbSessionTest, EscapingDefeatsQuotesAndTheGbkMultibyteAttack) {
  db_->Exec("insert into user_tab values('admin','secret',1)");
  const char* login = "select * from user_tab where user_name='%s' and user_passwd='%s' and user_permission='%d'";
  // Classic injection and the GBK variant: 0xBF 0x27 would swallow a naive backslash.
  const std::string attacks[] = {"' or '1'='1", "\xBF' or 1=1 -- ", "\xBF\x27 or 1=1 #", "admin'#", "\\' or 1=1 #"};
  for (const std::string& attack : attacks) {
    const std::string sql = Db().Format(login, {attack, attack, 1});
    DbResult r = Db().Select(sql);
    EXPECT_TRUE(r.ok) << "statement must stay valid: " << Db().LastError();
    EXPECT_TRUE(r.rows.empty()) << "attack matched rows";
  }
  // Values with quotes and backslashes are stored and found exactly as typed.
  const std::string tricky = "O'Brien \\ \"x\" " + Utf8ToGbk("誠");
  ASSERT_TRUE(Db().Execute(Db().Format("insert into user_tab values('%s','%s',%d)", {tricky, tricky, 2})));
  DbResult r = Db().Select(Db().Format(login, {tricky, tricky, 2}));
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0], tricky);
}

TEST_F(DbSessionTest, NullReadsAsEmptyTextAndErrorsAreReported) {
  DbResult r = Db().Select("select NULL, 'x'");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0], (DbRow{"", "x"}));
  EXPECT_FALSE(Db().Select("select * from no_such_table").ok);
  EXPECT_FALSE(Db().Execute("not sql at all"));
  // An over-long value is refused by the server, not a crash.
  EXPECT_FALSE(Db().Execute(Db().Format("insert into company_tab values('%s','x')", {std::string(300, 'A')})));
  // The connection stays usable afterwards.
  EXPECT_TRUE(Db().Select("select 1").ok);
}

TEST_F(DbSessionTest, WholeDayRangeWithTwentyFourOClockCoversTheDay) {
  for (const char* t : {"2026-12-06 23:59:59", "2026-12-07 00:00:00", "2026-12-07 09:05:00", "2026-12-07 23:59:59",
                        "2026-12-08 00:00:00"}) {
    db_->Exec(std::string("insert into history_tab values('DEV0000001','C001','01','") + t +
              "',20.5,0,50.0,0,30.0,3.6,1,12.0)");
  }
  DbResult r = Db().Select(
      "select datetime from history_tab where device_id='DEV0000001' and datetime>='2026-12-07 00:00:00' "
      "and datetime<='2026-12-07 24:00:00' order by datetime");
  ASSERT_TRUE(r.ok) << Db().LastError();
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows.front()[0], "2026-12-07 00:00:00");
  EXPECT_EQ(r.rows.back()[0], "2026-12-07 23:59:59");
}

TEST_F(DbSessionTest, DroppedLinkFailsPingAndReconnectRestoresGbk) {
  DbResult id = Db().Select("select connection_id()");
  ASSERT_EQ(id.rows.size(), 1u);
  db_->Exec("kill " + id.rows[0][0]);
  EXPECT_NE(Db().Ping(), 0);
  EXPECT_EQ(Db().LastConnectSucceeded(), 1) << "connected records the last connect, not the link";
  Db().ConnectDatabase();
  EXPECT_EQ(Db().LastConnectSucceeded(), 1);
  EXPECT_EQ(Db().Ping(), 0);
  DbResult cs = Db().Select("select @@character_set_client");
  ASSERT_EQ(cs.rows.size(), 1u);
  EXPECT_EQ(cs.rows[0][0], "gbk");
}

// The escaping depends on the character set: a connection the client cannot give it is a
// failed connect, and the handle is not kept.
TEST_F(DbSessionTest, RefusedCharacterSetFailsTheConnect) {
  const TestServer& s = db_->server();
  DbSession session;
  session.SetConnectFailureReporting(false);
  session.Configure(s.host, s.port, s.user, s.password, db_->name());
  session.ConnectDatabase();
  ASSERT_EQ(session.LastConnectSucceeded(), 1);
  DbSessionTestSeam::SetCharacterSet(session, "no-such-set");
  session.ConnectDatabase();
  EXPECT_EQ(session.LastConnectSucceeded(), 0);
  EXPECT_NE(session.LastConnectFailure().find("'" + db_->name() + "' on "), std::string::npos);
  EXPECT_NE(session.LastConnectFailure().find("no-such-set"), std::string::npos) << session.LastConnectFailure();
  EXPECT_NE(session.Ping(), 0);
  EXPECT_FALSE(session.Select("select 1").ok);
  DbSessionTestSeam::SetCharacterSet(session, "gbk");
  session.ConnectDatabase();
  EXPECT_EQ(session.LastConnectSucceeded(), 1);
  EXPECT_EQ(session.LastConnectFailure(), "");
}

// Held by a dialog, a statement whose link broke reconnects; a write is not sent again (it may
// have been carried out), inside a transaction nothing is: the server dropped it with the old
// connection, so nothing of it may be stored and everything up to its end fails. Its end, even
// one that lost the link itself, leaves the session ready for the next transaction.
TEST_F(DbSessionTest, LostLinkInsideATransactionIsNotRetriedAndTheNextOneWorks) {
  db_->Exec("drop table if exists tx_probe");
  db_->Exec("create table tx_probe (n int) engine=InnoDB");
  const auto cutLink = [&] { db_->Exec("kill " + Db().Select("select connection_id()").rows.at(0).at(0)); };
  Db().BeginHeldUse({});
  {
    DbTransaction transaction(Db());
    ASSERT_TRUE(transaction.IsOpen());
    ASSERT_TRUE(Db().Execute("insert into tx_probe values (1)"));
    cutLink();
    EXPECT_FALSE(Db().Execute("insert into tx_probe values (2)")) << "not sent again on the new connection";
    EXPECT_FALSE(Db().Execute("insert into tx_probe values (3)")) << "nor anything after it";
    EXPECT_FALSE(transaction.Commit());
  }
  cutLink();
  EXPECT_FALSE(Db().Execute("insert into tx_probe values (4)")) << "outside a transaction: not sent again either";
  EXPECT_TRUE(Db().Execute("insert into tx_probe values (7)")) << "the next one goes out on the new connection";
  {
    DbTransaction transaction(Db());
    ASSERT_TRUE(transaction.IsOpen());
    ASSERT_TRUE(Db().Execute("insert into tx_probe values (5)"));
    cutLink();  // the rollback on leaving the scope loses its link
  }
  {
    DbTransaction transaction(Db());
    ASSERT_TRUE(transaction.IsOpen()) << "the lost rollback still ended its transaction";
    ASSERT_TRUE(Db().Execute("insert into tx_probe values (6)"));
    EXPECT_TRUE(transaction.Commit());
  }
  Db().EndHeldUse();
  EXPECT_EQ(db_->Query("select group_concat(n order by n) from tx_probe").rows.at(0).at(0), "6,7");
  db_->Exec("drop table tx_probe");
}

TEST_F(DbSessionTest, TwoThreadsNeverUseTheConnectionAtOnce) {
  // Without the connection lock this interleaving corrupts the protocol state quickly.
  std::atomic<int> failures{0};
  auto worker = [&] {
    for (int i = 0; i < 200; ++i) {
      DbResult r = Db().Select("select 1, repeat('x', 1000)");
      if (!r.ok || r.rows.size() != 1) ++failures;
      if (Db().Ping() != 0) ++failures;
    }
  };
  std::thread a(worker), b(worker);
  a.join();
  b.join();
  EXPECT_EQ(failures, 0);
}

// A real restart of a server: uses its own private instance so the shared one keeps serving.
TEST(DbSessionRestart, ReconnectAfterServerRestartSetsGbkAgain) {
  if (!std::getenv("VELTRANE_DB_RESTART_TEST") && std::getenv("CI") == nullptr)
    GTEST_SKIP() << "set VELTRANE_DB_RESTART_TEST=1 (always on in CI)";
  const TestServer shared = TestServer::FromEnvironment();
  const int port = shared.port + 7;
  const std::string dir =
      (std::filesystem::temp_directory_path() / ("veltrane-restart-" + std::to_string(port))).string();
  const std::string env = "VELTRANE_DB_PORT=" + std::to_string(port) + " VELTRANE_DB_PASSWORD=" + shared.password +
                          " VELTRANE_DB_DIR=" + dir + " ";
  const std::string db = std::string(VELTRANE_SCRIPTS_DIR) + "/db";
  ASSERT_EQ(std::system((env + db + " up >/dev/null 2>&1").c_str()), 0);

  DbSession session;
  session.Configure("127.0.0.1", port, "root", shared.password, "");
  session.ConnectDatabase();
  ASSERT_EQ(session.LastConnectSucceeded(), 1);
  ASSERT_EQ(session.Ping(), 0);

  ASSERT_EQ(std::system((env + db + " down >/dev/null 2>&1").c_str()), 0);
  EXPECT_NE(session.Ping(), 0);
  session.ConnectDatabase();
  EXPECT_EQ(session.LastConnectSucceeded(), 0) << "server down: the reconnect fails";

  ASSERT_EQ(std::system((env + db + " up >/dev/null 2>&1").c_str()), 0);
  session.ConnectDatabase();
  EXPECT_EQ(session.LastConnectSucceeded(), 1);
  DbResult cs = session.Select("select @@character_set_client");
  ASSERT_EQ(cs.rows.size(), 1u);
  EXPECT_EQ(cs.rows[0][0], "gbk");
  session.Close();
  std::system((env + db + " down >/dev/null 2>&1").c_str());
  std::filesystem::remove_all(dir);
}

TEST(DbSessionDown, ServerDownAtStartLeavesConnectedZero) {
  DbSession session;
  session.Configure("127.0.0.1", 1, "root", "x", "nothing");  // nothing listens on port 1
  session.ConnectDatabase();
  EXPECT_EQ(session.LastConnectSucceeded(), 0);
  EXPECT_NE(session.Ping(), 0);
  EXPECT_FALSE(session.Select("select 1").ok);
  EXPECT_FALSE(session.Execute("select 1"));
  // Escaping still works without a connection.
  EXPECT_EQ(session.Escape("a'b"), "a\\'b");
}
