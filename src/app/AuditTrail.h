#pragma once
// The audit trail: one row per change of the configuration (and per login, export and
// acknowledgement), written in the same transaction as the change it records, with the
// server's time. The tables come with the upgrade file; on a database without them the
// station works as before and writes nothing.
#include <string>
#include <string_view>

class DbSession;

// Who makes a change, from which station, and whether the database keeps an audit trail.
// Converts from a bare user name (no trail), so a caller that audits nothing passes the name.
struct Actor {
  Actor() = default;
  Actor(std::string name) : user(std::move(name)) {}
  Actor(const char* name) : user(name ? name : "") {}
  Actor(std::string name, std::string hostName, bool auditTrail)
      : user(std::move(name)), host(std::move(hostName)), audited(auditTrail) {}

  std::string user;  // GBK
  std::string host;
  bool audited = false;
};

// What stands in an audit row for a password, old or new.
inline constexpr const char* kMaskedPassword = "******";

// Whether the database has both tables of the upgrade file (audit_tab, alarm_ack_tab). False
// also when the question itself fails: the trail is then off, nothing else changes.
bool AuditTablesPresent(DbSession& db);

// The statement that records one change. `action`, `key` and the values are GBK; an absent
// old or new value is empty.
std::string AuditStatement(DbSession& db, const Actor& actor, std::string_view action, std::string_view key,
                           std::string_view oldValue, std::string_view newValue);

// Records one event that is not part of a change (a login, an export) on its own; false when
// the row was not written. Does nothing and returns true when `actor` is not audited.
bool RecordAudit(DbSession& db, const Actor& actor, std::string_view action, std::string_view key,
                 std::string_view oldValue = {}, std::string_view newValue = {});

// This computer's name, as the audit rows carry it.
std::string StationHostName();

// Actions recorded outside the administration changes (UTF-8; stored in GBK).
inline constexpr const char* kLoginAcceptedAction = "登录成功";
inline constexpr const char* kLoginRefusedAction = "登录失败";
inline constexpr const char* kExportAction = "导出";
inline constexpr const char* kAcknowledgeAction = "确认报警";

// An acknowledgement of the event of `deviceId` of kind `kind` (its notification name, e.g.
// temp_high) that began with the reading at `start`: written with its audit row in one
// transaction; false when either failed (then neither is kept). `comment` is GBK.
bool RecordAcknowledgement(DbSession& db, const Actor& actor, const std::string& deviceId, const std::string& kind,
                           const std::string& start, const std::string& comment);
// Whether that event was acknowledged (by this station or another); false when the question fails.
bool IsAcknowledged(DbSession& db, const std::string& deviceId, const std::string& kind, const std::string& start);

// The status-bar note for an administrator when the trail is off.
inline constexpr const char* kAuditDisabledNote = "审计功能未启用：请执行 sql/upgrade-audit.sql";
