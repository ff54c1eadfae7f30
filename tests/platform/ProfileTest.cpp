#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "Profile.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("profile_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    path_ = (dir_ / "test.ini").string();
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  std::string Get(const char* section, const char* key, const char* def = "DEF", std::size_t size = 50) {
    std::vector<char> buffer(size);
    GetPrivateProfileStringA(section, key, def, buffer.data(), size, path_.c_str());
    return buffer.data();
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(ProfileTest, ReadsValuesCaseInsensitivelyAndFallsBackToDefaults) {
  Write("[MyDb_Config]\r\nhost = db.example\r\nPORT=3307\r\n[other]\r\nHOST=wrong\r\n");
  EXPECT_EQ(Get("MYDB_CONFIG", "HOST"), "db.example");
  EXPECT_EQ(Get("mydb_config", "Host"), "db.example");
  EXPECT_EQ(Get("MYDB_CONFIG", "UID"), "DEF");
  EXPECT_EQ(Get("NOSECTION", "HOST"), "DEF");
  EXPECT_EQ(GetPrivateProfileIntA("MYDB_CONFIG", "port", 1, path_.c_str()), 3307);
  EXPECT_EQ(GetPrivateProfileIntA("MYDB_CONFIG", "missing", 42, path_.c_str()), 42);
}

TEST_F(ProfileTest, AUtf8ByteOrderMarkIsIgnored) {
  Write("\xEF\xBB\xBF[MYDB_CONFIG]\r\nDBNAME=bom\r\n");
  EXPECT_EQ(Get("MYDB_CONFIG", "DBNAME"), "bom");
}

TEST_F(ProfileTest, MissingFileGivesDefaults) {
  EXPECT_EQ(Get("S", "K", "fallback"), "fallback");
  EXPECT_EQ(GetPrivateProfileIntA("S", "K", 7, path_.c_str()), 7);
}

TEST_F(ProfileTest, TextIsCutToTheBuffer) {
  const std::string sixty(60, 'h');
  Write("[S]\nK=" + sixty + "\n");
  EXPECT_EQ(Get("S", "K"), std::string(49, 'h'));
  EXPECT_EQ(Get("S", "K", "", 5), "hhhh");
  // The default is cut the same way.
  EXPECT_EQ(Get("S", "missing", sixty.c_str()), std::string(49, 'h'));
}

TEST_F(ProfileTest, IntegersTakeLeadingDigitsOnly) {
  Write("[S]\na=123abc\nb=abc\nc=\nd=-15\ne= 8080 \n");
  const struct {
    const char* key;
    int expected;
  } cases[] = {{"a", 123}, {"b", 0}, {"c", 0}, {"d", -15}, {"e", 8080}};
  for (const auto& c : cases) EXPECT_EQ(GetPrivateProfileIntA("S", c.key, 99, path_.c_str()), c.expected) << c.key;
}

TEST_F(ProfileTest, WriteCreatesFileSectionsAndKeys) {
  ASSERT_TRUE(WritePrivateProfileStringA("A", "one", "1", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("A", "two", "2", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("B", "three", "3", path_.c_str()));
  EXPECT_EQ(Read(), "[A]\r\none=1\r\ntwo=2\r\n[B]\r\nthree=3\r\n");
}

TEST_F(ProfileTest, WriteReplacesAKeyAndKeepsTheRest) {
  Write("; comment\r\n[A]\r\nOne=1\r\nkeep=yes\r\n\r\n[B]\r\nx=y\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("a", "ONE", "uno", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("A", "new", "n", path_.c_str()));
  EXPECT_EQ(Read(), "; comment\r\n[A]\r\nONE=uno\r\nkeep=yes\r\nnew=n\r\n\r\n[B]\r\nx=y\r\n");
}

TEST_F(ProfileTest, WriteReplacesALinkInsteadOfWritingThroughIt) {
  Write("[A]\r\nk=victim\r\n");
  const std::string link = (dir_ / "link.ini").string();
  fs::create_symlink(path_, link);
  ASSERT_TRUE(WritePrivateProfileStringA("A", "k", "v", link.c_str()));
  EXPECT_EQ(Read(), "[A]\r\nk=victim\r\n");
  EXPECT_FALSE(fs::is_symlink(link));
}

TEST_F(ProfileTest, WriteIntoUnwritableDirectoryFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_FALSE(WritePrivateProfileStringA("A", "k", "v", path_.c_str()));
  fs::permissions(dir_, fs::perms::owner_all);
}

}  // namespace
