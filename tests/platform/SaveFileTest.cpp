// Safe saving: the earlier file survives every failure, nothing is written through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "SaveFile.h"
#include "SizeLimitedSave.h"

namespace fs = std::filesystem;
using sizelimit::Contents;
using sizelimit::Names;
using sizelimit::Put;

namespace {

class SaveFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("savefile_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Out(const char* name) const { return (dir_ / "out" / name).string(); }
  fs::path dir_;
};

TEST_F(SaveFileTest, ReplacesTheFileKeepingItsPermissionsAndLeavesNoTemporary) {
  Put(Out("r.pdf"), "old");
  fs::permissions(Out("r.pdf"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  std::string error;
  ASSERT_TRUE(platform::SaveFileContents(Out("r.pdf"), "new content", &error)) << error;
  EXPECT_EQ(Contents(Out("r.pdf")), "new content");
  EXPECT_EQ(fs::status(Out("r.pdf")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Names(dir_ / "out"), std::vector<std::string>{"r.pdf"});
}

TEST_F(SaveFileTest, FailuresKeepTheEarlierFileByteIdentical) {
  const std::string earlier = "earlier report\n";
  Put(Out("r.xls"), earlier);
  // A size limit makes the write fail half-way; the writer must not die of SIGXFSZ.
  EXPECT_EQ(sizelimit::SaveUnderFileSizeLimit(
                4096, [&] { return platform::SaveFileContents(Out("r.xls"), std::string(65536, 'x')); }),
            sizelimit::ChildOutcome::kReportedFailure);
  EXPECT_EQ(Contents(Out("r.xls")), earlier);
  EXPECT_EQ(Names(dir_ / "out"), std::vector<std::string>{"r.xls"});

  // Nothing is committed once a write failed, and a discarded save leaves nothing behind.
  platform::SaveFile file(Out("r.xls"));
  ASSERT_TRUE(file.Open());
  file.Write("partial");
  file.MarkFailed(ENOSPC);
  EXPECT_FALSE(file.Commit());
  EXPECT_EQ(file.ErrorString(), std::strerror(ENOSPC));
  {
    platform::SaveFile abandoned(Out("r.xls"));
    ASSERT_TRUE(abandoned.Open());
    abandoned.Write("half");
  }
  EXPECT_EQ(Contents(Out("r.xls")), earlier);
  EXPECT_EQ(Names(dir_ / "out"), std::vector<std::string>{"r.xls"});

  // A directory (or a device) at the name is refused, not replaced.
  fs::create_directory(Out("dir.xls"));
  EXPECT_FALSE(platform::SaveFileContents(Out("dir.xls"), "x"));
  EXPECT_TRUE(fs::is_directory(Out("dir.xls")));
  EXPECT_FALSE(platform::SaveFileContents((dir_ / "missing" / "r.xls").string(), "x"));
}

TEST_F(SaveFileTest, PlantedLinksLeaveTheirTargetsUntouched) {
  Put(dir_ / "victim", "victim");
  Put(dir_ / "victim2", "victim2");
  // At the old fixed temporary names and at the target itself.
  fs::create_symlink(dir_ / "victim", Out("r.pdf.part"));
  fs::create_symlink(dir_ / "victim2", Out("r.pdf"));
  fs::create_symlink(dir_ / "victim", Out("book.xls.part"));
  ASSERT_TRUE(platform::SaveFileContents(Out("r.pdf"), "report"));
  ASSERT_TRUE(platform::SaveFileContents(Out("book.xls"), "book"));
  EXPECT_EQ(Contents(dir_ / "victim"), "victim");
  EXPECT_EQ(Contents(dir_ / "victim2"), "victim2");
  EXPECT_FALSE(fs::is_symlink(Out("r.pdf")));
  EXPECT_EQ(Contents(Out("r.pdf")), "report");
  EXPECT_EQ(Contents(Out("book.xls")), "book");
}

}  // namespace
