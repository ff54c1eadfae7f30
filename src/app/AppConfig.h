#pragma once
// Process-wide configuration, read once at start-up from ".//Corvane.ini" in the current
// directory (written with the built-in defaults when the file does not exist yet).
#include <string>

class DbSession;

struct AppConfig {
  std::string host = "localhost";
  int port = 3306;
  std::string user = "root";
  std::string password = "480917";
  std::string database = "CorvaneDB";
  int defMode = 0;        // first live view: 1 curves, 2 tiles, anything else the table
  int commTimeout = 120;  // seconds without a new reading before "通讯掉线"
  // [ALARM_CONFIG] SOUND: 0 keeps the alarm silent. Read when present, never written, so a
  // fresh file keeps its seven keys.
  bool alarmSound = true;
};

extern AppConfig appConfig;

inline constexpr const char* kConfigPath = ".//Corvane.ini";

// Device communication time-out in seconds.
inline int CommTimeout() { return appConfig.commTimeout; }

// Fills `config` from the file at `path`, or creates that file with the values `config`
// already holds. Returns true when the file existed and was read.
bool ReadOrCreateConfig(AppConfig& config, const char* path);

// Reads (or creates) the configuration file, then opens `db` with its parameters.
void LoadConfig(DbSession& db);
