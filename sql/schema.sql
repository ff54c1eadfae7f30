-- Tables of the monitoring station's database (MariaDB / MySQL, InnoDB, charset gbk).
--
-- The station reads and writes the five administration tables, only inserts into and reads
-- the two audit tables (at the end; upgrade-audit.sql adds them to an existing database),
-- and only reads the two reading tables, which the data collector fills. It never creates
-- or alters tables: this file is for new installations, the demo and the tests.
--
-- The tests execute this file one statement at a time, splitting it at semicolons that
-- end a line. Keep it to plain statements, with comments on lines of their own only.
--
-- Numbers and identifiers: company numbers are 4 bytes, department numbers 2 bytes
-- (unique within a company), device identifiers 10 bytes. The administration dialogs
-- enforce those byte widths, the columns only bound them.

CREATE TABLE company_tab (
  company_num CHAR(4) NOT NULL,
  company_name VARCHAR(64) NOT NULL DEFAULT '',
  PRIMARY KEY (company_num)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE department_tab (
  department_num CHAR(2) NOT NULL,
  company_num CHAR(4) NOT NULL,
  department_name VARCHAR(64) NOT NULL DEFAULT '',
  PRIMARY KEY (company_num, department_num)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

CREATE TABLE device_tab (
  device_num CHAR(10) NOT NULL,
  device_name VARCHAR(64) NOT NULL DEFAULT '',
  company_num CHAR(4) NOT NULL,
  department_num CHAR(2) NOT NULL,
  PRIMARY KEY (device_num),
  KEY device_department (company_num, department_num)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- Passwords are stored as typed and compared with "=" in the login query. The binary
-- collation makes that comparison case-sensitive.
CREATE TABLE user_tab (
  user_name VARCHAR(32) NOT NULL,
  user_passwd VARCHAR(32) CHARACTER SET gbk COLLATE gbk_bin NOT NULL DEFAULT '',
  user_permission INT NOT NULL DEFAULT 2,
  PRIMARY KEY (user_name)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- One row grants a normal user every device of one department.
CREATE TABLE permission_tab (
  user_name VARCHAR(32) NOT NULL,
  company_num CHAR(4) NOT NULL,
  department_num CHAR(2) NOT NULL,
  PRIMARY KEY (user_name, company_num, department_num)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- The latest reading of every device, rewritten by the collector.
--
-- datetime is text, 'YYYY-MM-DD hh:mm:ss' zero-padded. The history queries select a day
-- as datetime >= 'YYYY-MM-DD 00:00:00' and datetime < '<next day> 00:00:00', which selects
-- the same rows from a DATETIME column, should a collector use one. The binary ASCII
-- collation keeps the comparison a plain byte comparison.
--
-- Alarm codes (tempe_alarm, hum_alarm): 0 normal, 1 above limit, 2 below limit,
-- 3 sensor offline, 4 no value. Power codes: 0 battery, 1 mains, others unknown.
-- Units: degrees Celsius, percent relative humidity, volts, milliamperes.
CREATE TABLE monitordat_tab (
  device_id CHAR(10) NOT NULL,
  company_num CHAR(4) NOT NULL,
  department_num CHAR(2) NOT NULL,
  datetime CHAR(19) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  tempe DECIMAL(6,1),
  tempe_alarm INT,
  hum DECIMAL(6,1),
  hum_alarm INT,
  device_tempe DECIMAL(6,1),
  voltage DECIMAL(6,1),
  power INT,
  current DECIMAL(7,1),
  PRIMARY KEY (device_id),
  KEY monitordat_department (company_num, department_num)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

-- Every reading, appended by the collector. The key makes one device's day a single
-- contiguous range for the history queries.
CREATE TABLE history_tab (
  device_id CHAR(10) NOT NULL,
  company_num CHAR(4) NOT NULL,
  department_num CHAR(2) NOT NULL,
  datetime CHAR(19) CHARACTER SET ascii COLLATE ascii_bin NOT NULL,
  tempe DECIMAL(6,1),
  tempe_alarm INT,
  hum DECIMAL(6,1),
  hum_alarm INT,
  device_tempe DECIMAL(6,1),
  voltage DECIMAL(6,1),
  power INT,
  current DECIMAL(7,1),
  PRIMARY KEY (device_id, datetime)
) ENGINE=InnoDB DEFAULT CHARSET=gbk;

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
