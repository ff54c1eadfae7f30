// Reading and creating the configuration file in the current directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
  EXPECT_EQ(ReadFile(), "");
}

TEST_F(AppConfigTest, ValuesAreReadCutAndConvertedAsTheReadersDo) {
  const std::string sixty(60, 'h');
  WriteFile("[mydb_config]\nHOST=" + sixty + "\nPORT=abc\nUID=operator\n[DIS_CONFIG]\nDEFMOD=2\n[DEVICE_CONFIG]\nTIMEOUT=30s\n");
  AppConfig config;
  ReadOrCreateConfig(config, kConfigPath);
  EXPECT_EQ(config.host, std::string(49, 'h'));
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

TEST_F(AppConfigTest, LoadConfigConnectsWithTheFileValuesAndRecordsFailure) {
  WriteFile("[MYDB_CONFIG]\nHOST=127.0.0.1\nPORT=1\nDBNAME=none\n");
  LoadConfig();
  EXPECT_EQ(appConfig.port, 1);
  EXPECT_EQ(appConfig.database, "none");
  EXPECT_EQ(Db().connected, 0);
}
