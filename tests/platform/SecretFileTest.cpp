// The password file of unattended exports: first line only, refused when others may read it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "SecretFile.h"

namespace {

std::string WriteFile(const std::string& name, const std::string& content, mode_t mode) {
  const std::string path = (std::filesystem::temp_directory_path() / (name + std::to_string(::getpid()))).string();
  std::ofstream(path, std::ios::binary) << content;
  ::chmod(path.c_str(), mode);
  return path;
}

TEST(SecretFile, OwnerOnlyFileGivesItsFirstLine) {
  const struct {
    const char* content;
    const char* secret;
  } cases[] = {
      {"s3cret\nsecond line\n", "s3cret"},
      {"crlf\r\n", "crlf"},
      {"no line end", "no line end"},
      {"", ""},
  };
  for (const auto& c : cases) {
    const std::string path = WriteFile("secret_ok", c.content, 0600);
    const platform::SecretFileResult r = platform::ReadSecretFile(path);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.secret, c.secret);
    std::filesystem::remove(path);
  }
}

TEST(SecretFile, FileOthersMayReadIsRefusedWithItsMode) {
  for (mode_t mode : {0640, 0604, 0644}) {
    const std::string path = WriteFile("secret_open", "pw\n", mode);
    const platform::SecretFileResult r = platform::ReadSecretFile(path);
    EXPECT_FALSE(r.ok) << std::oct << mode;
    EXPECT_TRUE(r.secret.empty());
    EXPECT_NE(r.error.find("chmod 600"), std::string::npos) << r.error;
    std::filesystem::remove(path);
  }
  const std::string writable = WriteFile("secret_wx", "pw", 0620);
  EXPECT_TRUE(platform::ReadSecretFile(writable).ok) << "writable by the group is not readable by it";
  std::filesystem::remove(writable);
  const platform::SecretFileResult missing = platform::ReadSecretFile("/nonexistent/secret");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("/nonexistent/secret"), std::string::npos);
}

}  // namespace
