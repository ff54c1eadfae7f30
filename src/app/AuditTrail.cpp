#include "AuditTrail.h"

#include <unistd.h>

#include <climits>

#include "ChangeRunner.h"
#include "DbSession.h"
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
// The acknowledgement of a commit whose reply was lost, as the look-up finds it.
constexpr const char* kAckThereTemplate =
    "select 1 from alarm_ack_tab where device_id='%s' and kind='%s' and event_start='%s' and user_name='%s' and "
    "comment='%s' limit 1";

}  // namespace

bool AuditTablesPresent(DbSession& db) {
  const DbResult result = SelectRead(db, kAuditTablesSql);
  return result.ok && result.rows.size() == 1 && !result.rows[0].empty() && result.rows[0][0] == "2";
}

std::string AuditStatement(DbSession& db, const Actor& actor, AuditAction action, std::string_view key,
                           std::string_view oldValue, std::string_view newValue) {
  return db.Format(kAuditInsertTemplate,
                   {actor.user, actor.host, platform::Utf8ToGbk(AuditActionText(action)), key, oldValue, newValue});
}

bool RecordAudit(DbSession& db, const Actor& actor, AuditAction action, std::string_view key, std::string_view oldValue,
                 std::string_view newValue) {
  if (!actor.audited) return true;
  // The event is its audit row: the runner runs it as the change's one statement and, told the
  // actor is not audited, adds no second row.
  const std::string row = AuditStatement(db, actor, action, key, oldValue, newValue);
  Actor unaudited = actor;
  unaudited.audited = false;
  return RunChange(db, {.actor = unaudited, .action = action, .key = std::string(key), .statements = {row}})
      .Succeeded();
}

std::string StationHostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool AckCommentFits(std::string_view gbkComment) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < gbkComment.size(); ++i, ++characters)
    if (static_cast<unsigned char>(gbkComment[i]) >= 0x81) ++i;  // a lead byte and its trail byte
  return characters <= kAckCommentMaxChars;
}

bool RecordAcknowledgement(DbSession& db, const Actor& actor, const std::string& deviceId, const std::string& kind,
                           const std::string& start, const std::string& comment) {
  if (!AckCommentFits(comment)) return false;
  return RunChange(db, {.actor = actor,
                        .action = AuditAction::kAcknowledge,
                        .key = deviceId + " " + kind + " " + start,
                        .newValue = comment,
                        .statements = {db.Format(kAckInsertTemplate, {deviceId, kind, start, actor.user, comment})},
                        .check = {db.Format(kAckThereTemplate, {deviceId, kind, start, actor.user, comment})}})
      .Succeeded();
}

bool IsAcknowledged(DbSession& db, const std::string& deviceId, const std::string& kind, const std::string& start) {
  const DbResult result = SelectRead(db, db.Format(kAckFindTemplate, {deviceId, kind, start}));
  return result.ok && !result.rows.empty() && !result.rows[0].empty() && result.rows[0][0] != "0";
}
