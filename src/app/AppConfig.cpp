#include "AppConfig.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "DbSession.h"
#include "Profile.h"

AppConfig appConfig;

namespace {

constexpr const char* kDbSection = "MYDB_CONFIG";
constexpr const char* kDisplaySection = "DIS_CONFIG";
constexpr const char* kDeviceSection = "DEVICE_CONFIG";
constexpr std::size_t kTextBuffer = 50;  // values are cut to 49 characters

// Defaults for keys missing from an existing file; two differ from the built-in ones.
constexpr const char* kReadDefaultDatabase = "mydb";
constexpr int kReadDefaultDefMode = 1;

std::string ReadText(const char* section, const char* key, const char* fallback, const char* path) {
  char buffer[kTextBuffer];
  platform::GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, path);
  return buffer;
}

void WriteInt(const char* section, const char* key, int value, const char* path) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  platform::WritePrivateProfileStringA(section, key, text, path);
}

}  // namespace

bool ReadOrCreateConfig(AppConfig& config, const char* path) {
  if (std::FILE* probe = std::fopen(path, "r")) {
    std::fclose(probe);
    config.database = ReadText(kDbSection, "DBNAME", kReadDefaultDatabase, path);
    config.user = ReadText(kDbSection, "UID", "root", path);
    config.password = ReadText(kDbSection, "PWD", "480917", path);
    config.port = platform::GetPrivateProfileIntA(kDbSection, "PORT", 3306, path);
    config.host = ReadText(kDbSection, "HOST", "localhost", path);
    config.defMode = platform::GetPrivateProfileIntA(kDisplaySection, "DEFMOD", kReadDefaultDefMode, path);
    config.commTimeout = platform::GetPrivateProfileIntA(kDeviceSection, "TIMEOUT", 120, path);
    return true;
  }
  const int fd = ::open(path, O_CREAT | O_TRUNC | O_WRONLY, 0644);
  if (fd < 0) return false;  // keep the built-in defaults, say nothing
  ::close(fd);
  platform::WritePrivateProfileStringA(kDbSection, "DBNAME", config.database.c_str(), path);
  platform::WritePrivateProfileStringA(kDbSection, "UID", config.user.c_str(), path);
  platform::WritePrivateProfileStringA(kDbSection, "PWD", config.password.c_str(), path);
  WriteInt(kDbSection, "PORT", config.port, path);
  platform::WritePrivateProfileStringA(kDbSection, "HOST", config.host.c_str(), path);
  WriteInt(kDisplaySection, "DEFMOD", config.defMode, path);
  WriteInt(kDeviceSection, "TIMEOUT", config.commTimeout, path);
  return false;
}

void LoadConfig() {
  ReadOrCreateConfig(appConfig, kConfigPath);
  Db().Configure(appConfig.host, appConfig.port, appConfig.user, appConfig.password, appConfig.database);
  Db().ConnectDatabase();
}
