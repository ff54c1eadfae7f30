#pragma once
// The audit trail: one row per change of the configuration (and per login, export and
// acknowledgement), written in the same transaction as the change it records, with the
// server's time. The tables come with the upgrade file; on a database without them the
// station works as before and writes nothing.
#include <cstddef>
#include <string>
#include <string_view>

#include "AuditAction.h"

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

// The statement that records one change. `key` and the values are GBK; an absent old or new
// value is empty.
std::string AuditStatement(DbSession& db, const Actor& actor, AuditAction action, std::string_view key,
                           std::string_view oldValue, std::string_view newValue);

// Records one event that is not part of a change (a login, an export) on its own, through the
// change runner (so it reconnects like a dialog); false when the row was not written. Does
// nothing and returns true when `actor` is not audited.
bool RecordAudit(DbSession& db, const Actor& actor, AuditAction action, std::string_view key,
                 std::string_view oldValue = {}, std::string_view newValue = {});

// This computer's name, as the audit rows carry it.
std::string StationHostName();

// Actions recorded outside the administration changes (UTF-8; stored in GBK).
inline constexpr const char* kLoginAcceptedAction = AuditActionText(AuditAction::kLoginAccepted);
inline constexpr const char* kLoginRefusedAction = AuditActionText(AuditAction::kLoginRefused);
inline constexpr const char* kExportAction = AuditActionText(AuditAction::kExport);
inline constexpr const char* kAcknowledgeAction = AuditActionText(AuditAction::kAcknowledge);

// The most characters an acknowledgement's comment may have: alarm_ack_tab.comment and the
// audit row's new_value are VARCHAR(255) in GBK (sql/upgrade-audit.sql), counted in characters.
inline constexpr std::size_t kAckCommentMaxChars = 255;
// Whether a GBK comment fits those columns; a longer one is refused by the server.
bool AckCommentFits(std::string_view gbkComment);
// What the operator is told when it does not.
inline constexpr const char* kAckCommentTooLongText = "处理说明过长：最多255个字符，请缩短后再确认";

// An acknowledgement of the event of `deviceId` of kind `kind` (its notification name, e.g.
// temp_high) that began with the reading at `start`: written with its audit row in one
// transaction through the change runner, so it reconnects like a dialog; false when either
// failed (then neither is kept) and for a comment that does not fit. `comment` is GBK.
bool RecordAcknowledgement(DbSession& db, const Actor& actor, const std::string& deviceId, const std::string& kind,
                           const std::string& start, const std::string& comment);
// Whether that event was acknowledged (by this station or another), read through the read
// runner; false when the question fails.
bool IsAcknowledged(DbSession& db, const std::string& deviceId, const std::string& kind, const std::string& start);

// The status-bar note for an administrator when the trail is off.
inline constexpr const char* kAuditDisabledNote = "审计功能未启用：请执行 sql/upgrade-audit.sql";
