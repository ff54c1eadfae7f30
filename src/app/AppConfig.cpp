#include "AppConfig.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "DbSession.h"
#include "Diagnostic.h"
#include "Profile.h"

namespace {

constexpr const char* kDbSection = "MYDB_CONFIG";
constexpr const char* kDisplaySection = "DIS_CONFIG";
constexpr const char* kDeviceSection = "DEVICE_CONFIG";
constexpr const char* kAlarmSection = "ALARM_CONFIG";
constexpr std::size_t kTextBuffer = 50;  // values are cut to 49 characters
// A program's path and the list of servers are not cut like the other values: a cut one would
// name another program or another server.
constexpr std::size_t kPathBuffer = 4096;

// Defaults for keys missing from an existing file; two differ from the built-in ones.
constexpr const char* kReadDefaultDatabase = "mydb";
constexpr int kReadDefaultDefMode = 1;

// A time-out outside this range would make a silent device count as lost at once, or
// never: such a value falls back to the default.
constexpr long long kShortestTimeout = 1, kLongestTimeout = 86400, kDefaultTimeout = 120;
constexpr long long kLastPort = 65535;

// The file holds the database password: readable by its owner only.
constexpr mode_t kFreshFileMode = 0600;

constexpr const char* kUnreadableNote =
    "%s: cannot read %s (%s); using the built-in settings, the file is left as it is\n";
constexpr const char* kLinkNote = "%s: %s is a link or is in the way; not creating it, using the built-in settings\n";
constexpr const char* kTimeoutNote = "%s: TIMEOUT=%s in %s is outside 1..86400; using 120\n";
constexpr const char* kCommandNote = "%s: COMMAND in %s is too long; no notification program is run\n";
constexpr const char* kHostNote = "%s: HOST in %s is too long; using localhost\n";
constexpr const char* kPortNote = "%s: PORT=%s in %s is outside 1..65535; using the client's default port\n";

std::string ReadText(const char* section, const char* key, const char* fallback, const char* path) {
  char buffer[kTextBuffer];
  platform::GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, path);
  return buffer;
}

// A value up to kPathBuffer - 2 characters; a longer one reads as missing (nullopt).
std::optional<std::string> ReadLongText(const char* section, const char* key, const char* fallback, const char* path) {
  std::string text(kPathBuffer, '\0');
  text.resize(platform::GetPrivateProfileStringA(section, key, fallback, text.data(), text.size(), path));
  if (text.size() + 1 >= kPathBuffer) return std::nullopt;
  return text;
}

std::string ShownPath(const char* path) {
  std::error_code error;
  const auto absolute = std::filesystem::absolute(path, error);
  return error ? std::string(path) : absolute.lexically_normal().string();
}

// The leading decimal digits with an optional sign, as the integer reader takes them, but
// without wrapping at 32 bits: 99999999999 stays far out of range instead of turning into
// some small number.
long long LeadingNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long n = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) n = std::min(n * 10 + (text[i] - '0'), 1LL << 40);
  return negative ? -n : n;
}

// The key's number, `fallback` when the key is missing; `text` gets the value as written.
long long ReadNumber(const char* section, const char* key, long long fallback, const char* path, std::string& text) {
  // Stands for a missing key (a value of just this control character would read as missing too).
  constexpr const char* kMissing = "\x01";
  text = ReadText(section, key, kMissing, path);
  return text == kMissing ? fallback : LeadingNumber(text);
}

void ReadConfig(AppConfig& config, const char* path) {
  config.database = ReadText(kDbSection, "DBNAME", kReadDefaultDatabase, path);
  config.user = ReadText(kDbSection, "UID", "root", path);
  config.password = ReadText(kDbSection, "PWD", "480917", path);
  std::string text;
  const long long port = ReadNumber(kDbSection, "PORT", 3306, path, text);
  // Out of range would wrap onto another port: treat it like a port that is not a number.
  if (port < 0 || port > kLastPort)
    platform::Diagnostic(kPortNote, program_invocation_short_name, text.c_str(), ShownPath(path).c_str());
  config.port = port < 0 || port > kLastPort ? 0 : static_cast<int>(port);
  const std::optional<std::string> host = ReadLongText(kDbSection, "HOST", "localhost", path);
  if (!host) platform::Diagnostic(kHostNote, program_invocation_short_name, ShownPath(path).c_str());
  config.host = host.value_or("localhost");
  config.defMode = platform::GetPrivateProfileIntA(kDisplaySection, "DEFMOD", kReadDefaultDefMode, path);
  const long long timeout = ReadNumber(kDeviceSection, "TIMEOUT", kDefaultTimeout, path, text);
  const bool timeoutInRange = timeout >= kShortestTimeout && timeout <= kLongestTimeout;
  if (!timeoutInRange)
    platform::Diagnostic(kTimeoutNote, program_invocation_short_name, text.c_str(), ShownPath(path).c_str());
  config.commTimeout = static_cast<int>(timeoutInRange ? timeout : kDefaultTimeout);
  config.alarmSound = platform::GetPrivateProfileIntA(kAlarmSection, "SOUND", 1, path) != 0;
  const std::optional<std::string> command = ReadLongText(kAlarmSection, "COMMAND", "", path);
  if (!command) platform::Diagnostic(kCommandNote, program_invocation_short_name, ShownPath(path).c_str());
  config.notifyCommand = command.value_or("");
  config.notifyRepeatMinutes = std::max(0, platform::GetPrivateProfileIntA(kAlarmSection, "REPEAT", 0, path));
}

// The text the seven profile writes of a fresh file produce, in their order.
std::string FreshConfigText(const AppConfig& config) {
  const auto line = [](const std::string& key, const std::string& value) { return key + "=" + value + "\r\n"; };
  return std::string("[") + kDbSection + "]\r\n" + line("DBNAME", config.database) + line("UID", config.user) +
         line("PWD", config.password) + line("PORT", std::to_string(config.port)) + line("HOST", config.host) + "[" +
         kDisplaySection + "]\r\n" + line("DEFMOD", std::to_string(config.defMode)) + "[" + kDeviceSection + "]\r\n" +
         line("TIMEOUT", std::to_string(config.commTimeout));
}

// Creates the file only where nothing is: never through a link, never over a file that
// appeared meanwhile. A file that cannot be written completely is removed again.
bool CreateConfig(const AppConfig& config, const char* path) {
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFreshFileMode);
  if (fd < 0) {
    // A dangling link reads as missing; say why the file was not made at its target.
    if (errno == EEXIST) platform::Diagnostic(kLinkNote, program_invocation_short_name, ShownPath(path).c_str());
    return false;  // otherwise keep the built-in defaults and say nothing
  }
  ::fchmod(fd, kFreshFileMode);  // exactly 0600, whatever the umask
  const std::string text = FreshConfigText(config);
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<std::size_t>(n);
  }
  const bool ok = written == text.size() && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !ok) {
    ::unlink(path);
    return false;
  }
  return true;
}

}  // namespace

bool ReadOrCreateConfig(AppConfig& config, const char* path) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    ReadConfig(config, path);
    return true;
  }
  if (const int error = errno; error != ENOENT) {
    // There but unreadable (mode 0200, say): the user's settings must not be overwritten.
    platform::Diagnostic(kUnreadableNote, program_invocation_short_name, ShownPath(path).c_str(), std::strerror(error));
    return false;
  }
  CreateConfig(config, path);
  return false;
}

AppConfig LoadConfig(const char* path) {
  AppConfig config;
  ReadOrCreateConfig(config, path);
  return config;
}

void ConnectWithConfig(DbSession& db, const AppConfig& config) {
  db.Configure(config.host, config.port, config.user, config.password, config.database);
  db.ConnectDatabase();
}
