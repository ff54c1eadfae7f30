// The alarm desk: one ledger of open events, what is told and when the bell rings, and, on a
// real server, events named by their start in the history and acknowledged at any station.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "AlarmDesk.h"
#include "AuditTrail.h"
#include "DbSession.h"
#include "RefreshLiveTable.h"
#include "SharedDatabaseTest.h"
#include "StationDb.h"

namespace {

// A reading of device `id` at `time` with the given codes (temperature, humidity, power).
LiveRow Row(const std::string& id, const std::string& time, const char* tempeCode, const char* humCode = "0",
            const char* power = "1") {
  return {id, "c", "d", time, "31.5", tempeCode, "45.0", humCode, "30", "3.6", power, "12", id};
}

struct Station {
  explicit Station(AlarmDesk::Settings settings = {}) : desk(settings) {
    desk.SetClock([this] { return nowMs; });
  }
  // One refresh: the rows merged (`shown` for new devices), then the desk.
  void Refresh(DbSession& db, const std::vector<LiveRow>& rows, bool shown = true) {
    {
      std::lock_guard lock(table->mutex);
      ApplyLiveRows(*table, rows, 1000);
      for (const LiveRow& row : rows) table->Find(row[0])->shown = shown;
    }
    desk.AfterRefresh(db, *table, 1000);
  }
  std::unique_ptr<DeviceLiveTable> table = DeviceLiveTable::Create();
  AlarmDesk desk;
  std::int64_t nowMs = 0;
};

QStringList Told(const QSignalSpy& spy) {
  QStringList told;
  for (const QList<QVariant>& args : spy) {
    const auto n = args[0].value<notice::Notice>();
    told << (n.start ? "start " : "end ") + n.kind + (n.deviceId.isEmpty() ? "" : " " + n.deviceId) +
                (n.text.contains(QStringLiteral("已持续")) ? " again" : "");
  }
  return told;
}

TEST(AlarmDesk, TellsShownStartsTheirEndsAndRepeatsAndRingsForShownStarts) {
  Station s({120, true, 1});
  DbSession unused;  // without acknowledgements the desk sends no statement
  QSignalSpy notices(&s.desk, &AlarmDesk::noticeDue), rings(&s.desk, &AlarmDesk::ringing);
  s.Refresh(unused, {Row("H", "2024-05-01 10:00:00", "1")}, false);
  EXPECT_TRUE(notices.isEmpty() && rings.isEmpty()) << "an unchecked device is neither told nor rung for";
  s.Refresh(unused, {Row("A", "2024-05-01 10:00:00", "1", "0", "0")});
  EXPECT_EQ(rings.size(), 1);
  EXPECT_EQ(s.desk.Counts(), (alarms::AlarmCounts{1, 0, 0, 1}));
  EXPECT_EQ(s.desk.Unacknowledged(), 2);

  s.desk.SetDatabaseLost(true, "2024-05-01 10:00:30");
  s.desk.SetDatabaseLost(true, "2024-05-01 10:00:31");
  s.nowMs = 59'999;
  s.desk.TellRepeats(*s.table, "now");
  s.nowMs = 60'000;
  s.desk.TellRepeats(*s.table, "now");
  s.desk.SetDatabaseLost(false, "2024-05-01 10:01:00");
  s.Refresh(unused, {Row("A", "2024-05-01 10:01:00", "0"), Row("H", "2024-05-01 10:01:00", "0")});
  EXPECT_EQ(Told(notices), (QStringList{"start supply_lost A", "start temp_high A", "start db_lost",
                                        "start temp_high A again", "start supply_lost A again", "start db_lost again",
                                        "end db_lost", "end supply_lost A", "end temp_high A"}));
  EXPECT_TRUE(s.desk.OpenOf("A").empty());
}

TEST(AlarmDesk, SilenceWhileTheDatabaseIsLostIsNotToldDeviceByDevice) {
  Station s({1, true, 0});
  DbSession unused;
  QSignalSpy notices(&s.desk, &AlarmDesk::noticeDue);
  s.desk.SetDatabaseLost(true, "t");
  s.Refresh(unused, {Row("A", "2024-05-01 10:00:00", "0")});
  s.desk.AfterRefresh(unused, *s.table, 1000 + 5000);  // older than the time-out now
  ASSERT_EQ(s.desk.OpenOf("A").size(), 1u);
  s.desk.SetDatabaseLost(false, "t");
  s.Refresh(unused, {Row("A", "2024-05-01 10:00:10", "0")});
  EXPECT_EQ(Told(notices), (QStringList{"start db_lost", "end db_lost"}));
}

class AlarmDeskDb : public SharedDatabaseTest<AlarmDeskDb> {
 protected:
  static void SetUpTestSuite() { OpenDatabase("alarm_desk"); }
  void SetUp() override {
    SharedDatabaseTest::SetUp();
    REQUIRE_AUDIT_TRAIL();
    db_->Exec("delete from history_tab");
    db_->Exec("delete from alarm_ack_tab");
  }
  static void History(const std::string& time, const char* tempeCode) {
    db_->Exec(
        "insert into history_tab (device_id,company_num,department_num,datetime,tempe,tempe_alarm,hum,hum_alarm,"
        "power,voltage) values ('D1','0001','01','" +
        time + "',31.5," + tempeCode + ",45,0,1,3.6)");
  }
};

// The collector wrote faster than the station looked: the event is named by the first reading
// above the limit in the history, as its alarm record is, not by the one the station saw first.
TEST_F(AlarmDeskDb, AnEventIsNamedByItsStartInTheHistoryAndAcknowledgedEverywhere) {
  for (const auto& [time, code] :
       {std::pair{"2024-05-01 15:45:15", "0"}, {"2024-05-01 15:45:16", "1"}, {"2024-05-01 15:45:17", "1"}})
    History(time, code);
  Station a, b;
  a.desk.SetAcknowledgements(true);
  b.desk.SetAcknowledgements(true);
  a.Refresh(Db(), {Row("D1", "2024-05-01 15:45:17", "1")});
  b.Refresh(Db(), {Row("D1", "2024-05-01 15:45:17", "1")});
  ASSERT_EQ(a.desk.OpenOf("D1").size(), 1u);
  EXPECT_EQ(a.desk.OpenOf("D1")[0].start, "2024-05-01 15:45:16");

  EXPECT_EQ(a.desk.Acknowledge(Db(), Actor("admin", "pc1", true), "D1", "checked"), AlarmDesk::AckResult::kStored);
  EXPECT_EQ(db_->Query("select event_start from alarm_ack_tab").rows, (std::vector<DbRow>{{"2024-05-01 15:45:16"}}));
  EXPECT_EQ(a.desk.Acknowledge(Db(), Actor("admin", "pc1", true), "D1", "again"), AlarmDesk::AckResult::kNothingOpen);

  QSignalSpy silenced(&b.desk, &AlarmDesk::allAcknowledged);
  ASSERT_EQ(b.desk.Unacknowledged(), 1);
  b.Refresh(Db(), {Row("D1", "2024-05-01 15:45:27", "1")});
  EXPECT_EQ(b.desk.Unacknowledged(), 0) << "read from the other station's acknowledgement";
  EXPECT_EQ(silenced.size(), 1);

  // A station started later finds the event acknowledged already.
  Station c;
  c.desk.SetAcknowledgements(true);
  QSignalSpy rings(&c.desk, &AlarmDesk::ringing);
  c.Refresh(Db(), {Row("D1", "2024-05-01 15:45:37", "1")});
  EXPECT_EQ(c.desk.Unacknowledged(), 0);
  EXPECT_TRUE(rings.isEmpty());
}

}  // namespace
