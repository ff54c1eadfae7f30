#pragma once
// The station's configuration, read once at start-up from ".//Corvane.ini" in the current
// directory (written with the built-in defaults when the file does not exist yet). The shell
// owns the one read and hands its values to whoever needs them.
#include <string>

class DbSession;

// Seconds without a new reading before a device counts as silent ("通讯掉线").
inline constexpr int kDefaultCommTimeout = 120;

struct AppConfig {
  // One server, or several separated by commas ("db1,db2:3307"), tried in order on every connect.
  std::string host = "localhost";
  int port = 3306;
  std::string user = "root";
  std::string password = "480917";
  std::string database = "CorvaneDB";
  int defMode = 0;  // first live view: 1 curves, 2 tiles, anything else the table
  int commTimeout = kDefaultCommTimeout;
  // [ALARM_CONFIG] SOUND: 0 keeps the alarm silent. Read when present, never written, so a
  // fresh file keeps its seven keys.
  bool alarmSound = true;
  // [ALARM_CONFIG] COMMAND: the program run for every new live event and its end (empty: none);
  // REPEAT: minutes after which an event still open is told again (0: never). Read when
  // present, never written.
  std::string notifyCommand;
  int notifyRepeatMinutes = 0;
};

inline constexpr const char* kConfigPath = ".//Corvane.ini";

// Fills `config` from the file at `path`, or creates that file with the values `config`
// already holds. Returns true when the file existed and was read.
bool ReadOrCreateConfig(AppConfig& config, const char* path);

// Reads (or creates) the configuration file at `path`.
AppConfig LoadConfig(const char* path = kConfigPath);

// Gives `db` the configured server and opens it (a failure is recorded in `db`).
void ConnectWithConfig(DbSession& db, const AppConfig& config);
