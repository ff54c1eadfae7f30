-- Adds the alarm acknowledgement and audit tables to an existing station database. Safe to
-- run again: a table that exists is left as it is. Nothing else is touched.
--
--   mysql -u root -p CorvaneDB < sql/upgrade-audit.sql

-- Who responded to an alarm, when, and what they did. An event is named by its device, its
-- kind and the reading time that started it; ack_time is the server's.
CREATE TABLE IF NOT EXISTS alarm_ack_tab (
  ack_id BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,
  device_id CHAR(10) NOT NULL,
  kind VARCHAR(16) CHARACTER SET ascii NOT NULL,
  event_start CHAR(19) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  user_name VARCHAR(32) NOT NULL,
  comment VARCHAR(255) NOT NULL,
  ack_time TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (ack_id),
  KEY alarm_ack_event (device_id, kind, event_start)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- Every change of the configuration, every login and export, one row each, written in the
-- transaction of the change; audit_time is the server's. The station only inserts and reads.
CREATE TABLE IF NOT EXISTS audit_tab (
  audit_id BIGINT UNSIGNED NOT NULL AUTO_INCREMENT,
  audit_time TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP,
  user_name VARCHAR(32) NOT NULL,
  host_name VARCHAR(64) NOT NULL DEFAULT '',
  action VARCHAR(32) NOT NULL,
  object_key VARCHAR(128) NOT NULL DEFAULT '',
  old_value VARCHAR(255) NOT NULL DEFAULT '',
  new_value VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (audit_id),
  KEY audit_time_user (audit_time, user_name)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;
