// Reading and creating the configuration file in the current directory.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "AppConfig.h"
#include "DbSession.h"

namespace fs = std::filesystem;

class AppConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    dir_ = fs::temp_directory_path() /
           ("config_" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }
  static void WriteFile(const std::string& text) { std::ofstream("Corvane.ini", std::ios::binary) << text; }
  static std::string ReadFile() {
    std::ifstream in("Corvane.ini", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path previous_, dir_;
};

TEST_F(AppConfigTest, MissingFileIsCreatedWithTheSevenBuiltInValues) {
  AppConfig config;
  EXPECT_FALSE(ReadOrCreateConfig(config, kConfigPath));
  EXPECT_EQ(config.database, "CorvaneDB");
  EXPECT_EQ(config.defMode, 0);
  EXPECT_EQ(ReadFile(),
            "[MYDB_CONFIG]\r\nDBNAME=CorvaneDB\r\nUID=root\r\nPWD=480917\r\nPORT=3306\r\nHOST=localhost\r\n"
            "[DIS_CONFIG]\r\nDEFMOD=0\r\n[DEVICE_CONFIG]\r\nTIMEOUT=120\r\n");
  // It holds the database password: owner only, whatever the umask.
  EXPECT_EQ(fs::status("Corvane.ini").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  // Read back on the next start: the same values.
  AppConfig again;
  EXPECT_TRUE(ReadOrCreateConfig(again, kConfigPath));
  EXPECT_EQ(again.database, "CorvaneDB");
  EXPECT_EQ(again.port, 3306);
  EXPECT_EQ(again.defMode, 0);
  EXPECT_EQ(again.commTimeout, 120);
}

TEST_F(AppConfigTest, EmptyFileUsesTheReadDefaultsAndIsNotWritten) {
  WriteFile("");
  AppConfig config;
  EXPECT_TRUE(ReadOrCreateConfig(config, kConfigPath));
  EXPECT_EQ(config.database, "mydb");
  EXPECT_EQ(config.defMode, 1);
  EXPECT_EQ(config.user, "root");
  EXPECT_EQ(config.password, "480917");
  EXPECT_EQ(config.host, "localhost");
  EXPECT_EQ(config.port, 3306);
  EXPECT_EQ(config.commTimeout, 120);
  EXPECT_TRUE(config.alarmSound);
  EXPECT_EQ(ReadFile(), "");
}

TEST_F(AppConfigTest, AlarmSoundIsReadOnlyWhenPresent) {
  for (const auto& [text, sound] : {std::pair{"[ALARM_CONFIG]\nSOUND=0\n", false},
                                    {"[ALARM_CONFIG]\nSOUND=1\n", true},
                                    {"[DEVICE_CONFIG]\nTIMEOUT=60\n", true}}) {
    WriteFile(text);
    AppConfig config;
    ReadOrCreateConfig(config, kConfigPath);
    EXPECT_EQ(config.alarmSound, sound) << text;
  }
}

TEST_F(AppConfigTest, NotificationCommandIsReadWholeAndRepeatNeverBelowZero) {
  const std::string longPath = "/opt/station/notify/" + std::string(60, 'n') + ".sh";
  for (const auto& [text, command, repeat] : {std::tuple{std::string("[ALARM_CONFIG]\nSOUND=0\n"), std::string(), 0},
                                              {"[ALARM_CONFIG]\nCOMMAND=" + longPath + "\nREPEAT=30\n", longPath, 30},
                                              {"[ALARM_CONFIG]\nCOMMAND=notify-mail\nREPEAT=-5\n", "notify-mail", 0}}) {
    WriteFile(text);
    AppConfig config;
    ReadOrCreateConfig(config, kConfigPath);
    EXPECT_EQ(config.notifyCommand + " " + std::to_string(config.notifyRepeatMinutes),
              command + " " + std::to_string(repeat));
    EXPECT_EQ(ReadFile(), text) << "never written";
  }
}

TEST_F(AppConfigTest, ValuesAreReadCutAndConvertedAsTheReadersDo) {
  // Only HOST is not cut: a list of servers is longer than a name.
  const std::string servers = "db-node-1.coldstore.example,db-node-2.coldstore.example:3307,db-node-3";
  WriteFile("[mydb_config]\nHOST=" + servers +
            "\nPORT=abc\nUID=operator\n[DIS_CONFIG]\nDEFMOD=2\n[DEVICE_CONFIG]\nTIMEOUT=30s\n");
  AppConfig config;
  ReadOrCreateConfig(config, kConfigPath);
  EXPECT_EQ(config.host, servers);
  EXPECT_EQ(config.port, 0);
  EXPECT_EQ(config.user, "operator");
  EXPECT_EQ(config.database, "mydb");
  EXPECT_EQ(config.defMode, 2);
  EXPECT_EQ(config.commTimeout, 30);
}

TEST_F(AppConfigTest, UncreatableFileKeepsBuiltInDefaults) {
  if (::geteuid() == 0) {
    // Root writes anywhere: point at a directory that does not exist instead.
    AppConfig config;
    EXPECT_FALSE(ReadOrCreateConfig(config, "./no/such/dir/Corvane.ini"));
    EXPECT_EQ(config.database, "CorvaneDB");
    return;
  }
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  AppConfig config;
  EXPECT_FALSE(ReadOrCreateConfig(config, kConfigPath));
  EXPECT_EQ(config.database, "CorvaneDB");
  EXPECT_FALSE(fs::exists("Corvane.ini"));
}

TEST_F(AppConfigTest, ADanglingLinkIsNotFollowedWhenCreating) {
  fs::create_directory("other");
  fs::create_symlink(dir_ / "other" / "planted.ini", "Corvane.ini");
  AppConfig config;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(ReadOrCreateConfig(config, kConfigPath));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("Corvane.ini"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "other" / "planted.ini"));
  EXPECT_TRUE(fs::is_symlink("Corvane.ini"));
  EXPECT_EQ(config.database, "CorvaneDB");
}

// The user's settings survive a file the station cannot read; run as an unprivileged user,
// since root reads anything.
TEST_F(AppConfigTest, AnUnreadableFileIsKeptAndTheBuiltInValuesAreUsed) {
  const std::string original = "[MYDB_CONFIG]\r\nDBNAME=precious\r\nPWD=secret\r\n";
  WriteFile(original);
  fs::permissions("Corvane.ini", fs::perms::owner_write);  // 0200
  const fs::path errors = dir_ / "stderr.txt";
  const auto run = [&] {
    AppConfig config;
    const bool read = ReadOrCreateConfig(config, kConfigPath);
    return !read && config.database == "CorvaneDB" && config.password == "480917";
  };
  if (::geteuid() == 0) {
    constexpr uid_t kNobody = 65534;
    if (::chown("Corvane.ini", kNobody, kNobody) != 0) GTEST_SKIP() << "cannot hand the file to an unprivileged user";
    const int errorFd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(errorFd, STDERR_FILENO);
      if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(3);
      ::_exit(run() ? 0 : 1);
    }
    ::close(errorFd);
    int status = -1;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot drop to an unprivileged user";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  } else {
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(run());
    std::ofstream(errors) << ::testing::internal::GetCapturedStderr();
  }
  fs::permissions("Corvane.ini", fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(ReadFile(), original);
  std::ifstream in(errors);
  const std::string note(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(note.find((dir_ / "Corvane.ini").string()), std::string::npos) << note;
  EXPECT_EQ(std::count(note.begin(), note.end(), '\n'), 1) << note;
}

TEST_F(AppConfigTest, OutOfRangeTimeoutAndPortFallBackWithOneLineEach) {
  const struct {
    const char* timeout;
    const char* port;
    int expectedTimeout, expectedPort;
    int lines;
  } cases[] = {
      {"-5", "70000", 120, 0, 2},
      {"99999999999", "-1", 120, 0, 2},
      {"0", "4294970602", 120, 0, 2},
      {"-4294967295", "65536", 120, 0, 2},
      {"1", "1", 1, 1, 0},
      {"86400", "65535", 86400, 65535, 0},
      {"86401", "abc", 120, 0, 1},
      {"30s", "0", 30, 0, 0},
  };
  for (const auto& c : cases) {
    WriteFile(std::string("[MYDB_CONFIG]\nPORT=") + c.port + "\n[DEVICE_CONFIG]\nTIMEOUT=" + c.timeout + "\n");
    AppConfig config;
    ::testing::internal::CaptureStderr();
    ReadOrCreateConfig(config, kConfigPath);
    const std::string note = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(config.commTimeout, c.expectedTimeout) << c.timeout;
    EXPECT_EQ(config.port, c.expectedPort) << c.port;
    EXPECT_EQ(std::count(note.begin(), note.end(), '\n'), c.lines) << note;
  }
}

TEST_F(AppConfigTest, AByteOrderMarkDoesNotHideTheFirstSection) {
  WriteFile("\xEF\xBB\xBF[MYDB_CONFIG]\r\nDBNAME=bomdb\r\nPORT=3307\r\n");
  AppConfig config;
  EXPECT_TRUE(ReadOrCreateConfig(config, kConfigPath));
  EXPECT_EQ(config.database, "bomdb");
  EXPECT_EQ(config.port, 3307);
}

TEST_F(AppConfigTest, LoadConfigReadsAndConnectingIsASeparateStep) {
  WriteFile("[MYDB_CONFIG]\nHOST=127.0.0.1\nPORT=1\nDBNAME=none\n");
  const AppConfig config = LoadConfig();
  EXPECT_EQ(config.port, 1);
  EXPECT_EQ(config.database, "none");
  DbSession session;
  ConnectWithConfig(session, config);
  EXPECT_EQ(session.LastConnectSucceeded(), 0);
}
