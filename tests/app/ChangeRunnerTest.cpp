// The runners against the private server: outside any dialog they get over a connection the
// server dropped (KILL from a second session, as a restart or wait_timeout does), a lost
// commit's change is looked for until it shows, and an acknowledgement's comment is held to
// its column.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "AuditTrail.h"
#include "ChangeRunner.h"
#include "DbSessionTestSeam.h"
#include "Gbk.h"
#include "SharedDatabaseTest.h"

namespace {

const Actor kAudited{"admin", "station-7", true};
constexpr const char* kStart = "2024-05-01 10:00:00";

class ChangeRunnerTest : public SharedDatabaseTest<ChangeRunnerTest> {
 protected:
  static void SetUpTestSuite() { OpenDatabase("t_change_runner"); }
  void SetUp() override {
    SharedDatabaseTest::SetUp();
    if (IsSkipped()) return;
    db_->Exec("delete from company_tab");
  }
  // What the server does to an idle connection it drops: the station's session is not told.
  void KillStationConnection() {
    const DbResult id = Db().Select("select connection_id()");
    ASSERT_TRUE(id.ok && !id.rows.empty());
    db_->Exec("kill " + id.rows[0][0]);
  }
  int Count(const std::string& sql) {
    const DbResult r = db_->Query(sql);
    return r.rows.empty() ? -1 : std::stoi(r.rows[0][0]);
  }
};

TEST_F(ChangeRunnerTest, OutsideADialogEveryRunnerReconnectsAfterTheServerDroppedTheLink) {
  REQUIRE_AUDIT_TRAIL();
  db_->Exec("delete from alarm_ack_tab");
  db_->Exec("delete from audit_tab");
  struct Case {
    const char* what;
    std::function<bool()> run;
  };
  const Case cases[] = {
      {"acknowledgement",
       [] { return RecordAcknowledgement(Db(), kAudited, "0000000001", "temp_high", kStart, "checked"); }},
      {"its look-up", [] { return IsAcknowledged(Db(), "0000000001", "temp_high", kStart); }},
      {"login audit", [] { return RecordAudit(Db(), kAudited, AuditAction::kLoginAccepted, "admin"); }},
      {"trail check", [] { return AuditTablesPresent(Db()); }},
      {"change",
       [] {
         return RunChange(Db(), {.actor = kAudited,
                                 .action = AuditAction::kAddCompany,
                                 .key = "0005",
                                 .statements = {"insert into company_tab values ('0005','x')"}})
             .Succeeded();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KillStationConnection();
    EXPECT_TRUE(c.run());
    EXPECT_FALSE(DbSessionTestSeam::IsHeld(Db())) << "the runner gives the session back";
  }
  EXPECT_EQ(Count("select count(*) from alarm_ack_tab where comment='checked'"), 1);
  EXPECT_EQ(Count("select count(*) from audit_tab"), 3);
  EXPECT_EQ(Count("select count(*) from company_tab where company_num='0005'"), 1);

  // A closed connection (a failed connect leaves none) is opened again.
  Db().Close();
  DbSessionTestSeam::ForgetConnectOutcome(Db());
  EXPECT_TRUE(RecordAcknowledgement(Db(), kAudited, "0000000001", "temp_low", kStart, "again"));
  EXPECT_EQ(Count("select count(*) from alarm_ack_tab"), 2);
}

// A clock that only moves when the look-up pauses; `onPause` plays the cluster catching up.
struct FakeClock {
  std::chrono::steady_clock::time_point time{};
  int pauses = 0;
  std::function<void(int)> onPause;
  RunnerClock Clock() {
    return {[this] { return time; },
            [this](std::chrono::milliseconds pause) {
              time += pause;
              ++pauses;
              if (onPause) onPause(pauses);
            }};
  }
};

TEST_F(ChangeRunnerTest, ALostCommitIsLookedForUntilItShowsOrFiveSecondsPassed) {
  const ChangeCheck added{"select 1 from company_tab where company_num='0006'"};
  FakeClock late;
  late.onPause = [](int pause) {
    if (pause == 3) db_->Exec("insert into company_tab values ('0006','late')");
  };
  EXPECT_EQ(ConfirmLostCommit(Db(), added, late.Clock()), ChangeOutcome::Kind::kDone);
  EXPECT_EQ(late.pauses, 3) << "found on the first look after it showed";

  FakeClock never;
  const ChangeCheck other{"select 1 from company_tab where company_num='0007'"};
  EXPECT_EQ(ConfirmLostCommit(Db(), other, never.Clock()), ChangeOutcome::Kind::kUnconfirmed);
  EXPECT_LE(never.time - std::chrono::steady_clock::time_point{}, kLostCommitPatience);
  EXPECT_GE(never.pauses, 5) << "looked several times before giving up";

  FakeClock gone;
  EXPECT_EQ(ConfirmLostCommit(Db(), {other.sql, false}, gone.Clock()), ChangeOutcome::Kind::kDone)
      << "a delete is confirmed by the row's absence";
  EXPECT_EQ(gone.pauses, 0);
}

TEST_F(ChangeRunnerTest, AnAcknowledgementCommentIsHeldToItsColumn) {
  REQUIRE_AUDIT_TRAIL();
  db_->Exec("delete from alarm_ack_tab");
  const std::string han = platform::Utf8ToGbk("温");
  std::string longestHan, longestAscii(kAckCommentMaxChars, 'a');
  for (std::size_t i = 0; i < kAckCommentMaxChars; ++i) longestHan += han;
  EXPECT_TRUE(AckCommentFits(longestAscii));
  EXPECT_TRUE(AckCommentFits(longestHan)) << "counted in characters, not bytes";
  EXPECT_FALSE(AckCommentFits(longestAscii + "a"));
  EXPECT_FALSE(AckCommentFits(longestHan + han));
  EXPECT_NE(std::string(kAckCommentTooLongText).find(std::to_string(kAckCommentMaxChars)), std::string::npos);

  EXPECT_TRUE(RecordAcknowledgement(Db(), kAudited, "0000000001", "hum_high", kStart, longestHan))
      << "the server takes the longest that fits";
  EXPECT_EQ(Count("select char_length(comment) from alarm_ack_tab"), static_cast<int>(kAckCommentMaxChars));
  EXPECT_FALSE(RecordAcknowledgement(Db(), kAudited, "0000000001", "hum_low", kStart, std::string(300, 'b')));
  EXPECT_EQ(Count("select count(*) from alarm_ack_tab"), 1);
}

}  // namespace
