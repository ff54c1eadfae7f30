#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <numeric>

#include "SpillFile.h"

namespace fs = std::filesystem;

TEST(SpillFileTest, ReadsBackWhatWasAppendedAndLeavesNoName) {
  const fs::path dir = fs::temp_directory_path() / ("spill_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  platform::SpillFile spill;
  ASSERT_TRUE(spill.Open((dir / "report.xls").string()));
  EXPECT_TRUE(fs::is_empty(dir)) << "the file has a name";

  // Pieces of uneven sizes around the buffer size; reads before and after it was flushed.
  std::vector<char> bytes(700 * 1024);
  std::iota(bytes.begin(), bytes.end(), 0);
  std::size_t at = 0;
  for (const std::size_t size : {1u, 262143u, 2u, 300000u, 154u}) {
    ASSERT_TRUE(spill.Append(bytes.data() + at, size));
    at += size;
  }
  ASSERT_TRUE(spill.Append(bytes.data() + at, bytes.size() - at));
  EXPECT_EQ(spill.Size(), bytes.size());
  for (const std::size_t offset : {0u, 262140u, 600000u, 700u * 1024 - 10}) {
    std::vector<char> back(10);
    ASSERT_TRUE(spill.ReadAt(offset, back.data(), back.size())) << offset;
    EXPECT_TRUE(std::equal(back.begin(), back.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset))) << offset;
  }
  char beyond[4];
  EXPECT_FALSE(spill.ReadAt(bytes.size() - 2, beyond, sizeof beyond));

  platform::SpillFile nowhere;
  EXPECT_FALSE(nowhere.Open((dir / "missing" / "report.xls").string()));
  EXPECT_EQ(nowhere.ErrorNumber(), ENOENT);
  fs::remove_all(dir);
}
