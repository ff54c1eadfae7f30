#include "AuditTrail.h"

#include <unistd.h>

#include <climits>

#include "DbSession.h"
#include "DbTransaction.h"
#include "Gbk.h"

namespace {

constexpr const char* kAuditTablesSql =
    "select count(*) from information_schema.TABLES where TABLE_SCHEMA=database() "
    "and TABLE_NAME in ('audit_tab','alarm_ack_tab')";
// The time is the server's (the column's default), so a station's clock cannot date a row.
constexpr const char* kAuditInsertTemplate =
    "insert into audit_tab (user_name,host_name,action,object_key,old_value,new_value) "
    "values ('%s','%s','%s','%s','%s','%s')";

constexpr const char* kAckInsertTemplate =
    "insert into alarm_ack_tab (device_id,kind,event_start,user_name,comment) values ('%s','%s','%s','%s','%s')";
constexpr const char* kAckFindTemplate =
    "select count(*) from alarm_ack_tab where device_id='%s' and kind='%s' and event_start='%s'";

}  // namespace

bool AuditTablesPresent(DbSession& db) {
  const DbResult result = db.Select(kAuditTablesSql);
  return result.ok && result.rows.size() == 1 && !result.rows[0].empty() && result.rows[0][0] == "2";
}

std::string AuditStatement(DbSession& db, const Actor& actor, std::string_view action, std::string_view key,
                           std::string_view oldValue, std::string_view newValue) {
  return db.Format(kAuditInsertTemplate, {actor.user, actor.host, action, key, oldValue, newValue});
}

bool RecordAudit(DbSession& db, const Actor& actor, std::string_view action, std::string_view key,
                 std::string_view oldValue, std::string_view newValue) {
  if (!actor.audited) return true;
  return db.Execute(AuditStatement(db, actor, action, key, oldValue, newValue));
}

std::string StationHostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool RecordAcknowledgement(DbSession& db, const Actor& actor, const std::string& deviceId, const std::string& kind,
                           const std::string& start, const std::string& comment) {
  DbTransaction transaction(db);
  if (!transaction.IsOpen()) return false;
  if (!db.Execute(db.Format(kAckInsertTemplate, {deviceId, kind, start, actor.user, comment}))) return false;
  if (!db.Execute(AuditStatement(db, actor, platform::Utf8ToGbk(kAcknowledgeAction),
                                 deviceId + " " + kind + " " + start, {}, comment)))
    return false;
  return transaction.Commit();
}

bool IsAcknowledged(DbSession& db, const std::string& deviceId, const std::string& kind, const std::string& start) {
  const DbResult result = db.Select(db.Format(kAckFindTemplate, {deviceId, kind, start}));
  return result.ok && !result.rows.empty() && !result.rows[0].empty() && result.rows[0][0] != "0";
}
