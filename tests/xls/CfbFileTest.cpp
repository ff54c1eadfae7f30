#include <gtest/gtest.h>

#include <numeric>

#include "CfbFile.h"
#include "XlsTestSupport.h"

using namespace xls;
using namespace xls_test;

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFat = 0xFFFFFFFD, kDifat = 0xFFFFFFFC;

Bytes Pattern(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return bytes;
}

// Writes one stream "Workbook" of `size` bytes into a new container and reads the file.
CompoundImage ContainerWithStream(const ScratchDir& dir, std::size_t size) {
  CfbFile cfb;
  const std::string path = dir.Path("c.cfb");
  EXPECT_TRUE(cfb.CreateContainer(path));
  EXPECT_EQ(cfb.AddStream("Workbook"), kCfbOk);
  const Bytes data = Pattern(size);
  EXPECT_EQ(cfb.WriteStream("Workbook", data.data(), data.size()), kCfbOk);
  EXPECT_TRUE(cfb.CloseContainer());
  return CompoundImage(ReadFile(path));
}

const Bytes kRootEntry =
    Hex("52006F006F007400200045006E00740072007900" + std::string(44 * 2, '0') +  // "Root Entry"
        "1600 05 01 FFFFFFFF FFFFFFFF FFFFFFFF" + std::string(36 * 2, '0') + "FEFFFFFF 00000000 00000000");

}  // namespace

TEST(CfbFileTest, NewContainerIsHeaderFatAndRootDirectory) {
  ScratchDir dir;
  CfbFile cfb;
  ASSERT_TRUE(cfb.CreateContainer(dir.Path("new.cfb")));
  EXPECT_TRUE(cfb.IsContainerOpen());
  ASSERT_TRUE(cfb.CloseContainer());
  EXPECT_FALSE(cfb.IsContainerOpen());

  const CompoundImage image(ReadFile(dir.Path("new.cfb")));
  ASSERT_EQ(image.file.size(), 3u * 512);
  EXPECT_EQ(Slice(image.file, 0, 80), Hex("D0CF11E0A1B11AE1 00000000000000000000000000000000 3B00 0300 FEFF 0900 0600"
                                          "000000000000 00000000 01000000 01000000 00000000 00100000 FEFFFFFF 00000000"
                                          "FEFFFFFF 00000000 00000000"));
  for (std::size_t slot = 1; slot < 109; ++slot) EXPECT_EQ(U32(image.file, 76 + 4 * slot), kFree);
  EXPECT_EQ(image.fat[0], kFat);
  EXPECT_EQ(image.fat[1], kEnd);
  EXPECT_EQ(std::count(image.fat.begin(), image.fat.end(), kFree), 126);
  EXPECT_EQ(image.Entry(0), kRootEntry);
  for (std::uint32_t unused = 1; unused < 4; ++unused) EXPECT_EQ(image.Entry(unused), Bytes(128, 0));
}

TEST(CfbFileTest, SmallStreamLivesInTheMiniStream) {
  ScratchDir dir;
  const CompoundImage image = ContainerWithStream(dir, 100);
  // Mini FAT in sector 2, the mini stream container in sector 3.
  EXPECT_EQ(U32(image.file, 60), 2u);
  EXPECT_EQ(U32(image.file, 64), 1u);
  EXPECT_EQ(Slice(image.fat, 0, 4), (std::vector<std::uint32_t>{kFat, kEnd, kEnd, kEnd}));
  const Bytes root = image.Entry(0);
  EXPECT_EQ(U32(root, 76), 1u);   // child: the stream
  EXPECT_EQ(U32(root, 116), 3u);  // container start
  EXPECT_EQ(U32(root, 120), 128u);
  EXPECT_EQ(image.Entry(1),
            Hex("57006F0072006B0062006F006F006B00" + std::string(48 * 2, '0') +  // "Workbook"
                "1200 02 01 FFFFFFFF FFFFFFFF FFFFFFFF" + std::string(36 * 2, '0') + "00000000 64000000 00000000"));
  const std::size_t miniFat = CompoundImage::SectorOffset(2);
  EXPECT_EQ(U32(image.file, miniFat), 1u);
  EXPECT_EQ(U32(image.file, miniFat + 4), kEnd);
  EXPECT_EQ(U32(image.file, miniFat + 8), kFree);
  Bytes stored = Slice(image.file, CompoundImage::SectorOffset(3), 128);
  EXPECT_EQ(Slice(stored, 100, 28), Bytes(28, 0));
  stored.resize(100);
  EXPECT_EQ(stored, Pattern(100));
}

TEST(CfbFileTest, CutOffSendsFullSizedStreamsToRegularSectors) {
  ScratchDir dir;
  const CompoundImage regular = ContainerWithStream(dir, 4096);
  EXPECT_EQ(U32(regular.file, 60), kEnd);
  EXPECT_EQ(U32(regular.file, 64), 0u);
  EXPECT_EQ(U32(regular.Entry(0), 116), kEnd);
  EXPECT_EQ(U32(regular.Entry(1), 116), 2u);
  std::vector<std::uint32_t> expected(8);
  std::iota(expected.begin(), expected.end(), 2u);
  EXPECT_EQ(regular.Chain(2), expected);
  EXPECT_EQ(regular.Stream(2, 4096), Pattern(4096));

  const CompoundImage mini = ContainerWithStream(dir, 4095);
  EXPECT_EQ(U32(mini.file, 64), 1u);
  EXPECT_EQ(U32(mini.Entry(0), 120), 4096u);  // 64 mini sectors in use
  EXPECT_EQ(mini.Stream(U32(mini.Entry(0), 116), 4095), Pattern(4095));
}

TEST(CfbFileTest, FatGrowsIntoTheFirstSectorItDoesNotCover) {
  ScratchDir dir;
  const CompoundImage image = ContainerWithStream(dir, 600 * 512);
  EXPECT_EQ(U32(image.file, 44), 5u);
  EXPECT_EQ(image.fatSectors, (std::vector<std::uint32_t>{0, 128, 256, 384, 512}));
  for (std::uint32_t sector : image.fatSectors) EXPECT_EQ(image.fat[sector], kFat);
  EXPECT_EQ(image.Chain(2).size(), 600u);
  EXPECT_EQ(image.Stream(2, 600 * 512), Pattern(600 * 512));
  EXPECT_EQ(U32(image.file, 68), kEnd);
}

// Beyond 109 FAT sectors the header cannot list them all: the rest go to DIFAT sectors.
TEST(CfbFileTest, StreamNeedingMoreThan109FatSectorsGetsDifatSectors) {
  ScratchDir dir;
  constexpr std::size_t size = 8 << 20;  // 16384 sectors
  const CompoundImage image = ContainerWithStream(dir, size);
  ASSERT_EQ(U32(image.file, 44), 130u);
  ASSERT_EQ(U32(image.file, 72), 1u);
  const std::uint32_t difat = U32(image.file, 68);
  EXPECT_EQ(difat, 109u * 128 + 1);  // right after the 110th FAT sector
  EXPECT_EQ(image.fat.at(difat), kDifat);
  ASSERT_EQ(image.fatSectors.size(), 130u);
  for (std::size_t i = 0; i < image.fatSectors.size(); ++i) {
    EXPECT_EQ(image.fatSectors[i], i * 128) << i;
    EXPECT_EQ(image.fat[image.fatSectors[i]], kFat);
  }
  const std::size_t at = CompoundImage::SectorOffset(difat);
  for (std::size_t slot = 21; slot < 127; ++slot) EXPECT_EQ(U32(image.file, at + 4 * slot), kFree);
  EXPECT_EQ(U32(image.file, at + 508), kEnd);
  EXPECT_EQ(image.Stream(2, size), Pattern(size));
}

TEST(CfbFileTest, NamesAndPathsAreChecked) {
  ScratchDir dir;
  CfbFile cfb;
  EXPECT_EQ(cfb.AddStream("Workbook"), kCfbWriteFailed);  // nothing open
  ASSERT_TRUE(cfb.CreateContainer(dir.Path("names.cfb")));
  EXPECT_EQ(cfb.AddStream("Workbook"), kCfbOk);
  EXPECT_EQ(cfb.AddStream("Workbook"), kCfbNameExists);
  EXPECT_EQ(cfb.AddStream(std::string(32, 'x')), kCfbNameTooLong);
  EXPECT_EQ(cfb.AddStream(std::string(31, 'x')), kCfbOk);
  for (const char* invalid : {"", "\\", "a\\\\b", "a\\", "..", "a:b", "\xFF"})
    EXPECT_EQ(cfb.AddStream(std::string(invalid)), kCfbInvalidPath) << invalid;
  EXPECT_EQ(cfb.AddStream("..\\up"), kCfbStorageNotFound);
  EXPECT_EQ(cfb.AddStream("Workbook\\inside"), kCfbStorageNotFound);  // a stream, not a storage
  // A failing path leaves no storage behind.
  EXPECT_EQ(cfb.AddStream("\\New\\" + std::string(32, 'y')), kCfbNameTooLong);
  EXPECT_EQ(cfb.AddStream("\\New"), kCfbOk);
  EXPECT_EQ(cfb.WriteStream("Missing", "x", 1), kCfbStreamNotFound);
}

TEST(CfbFileTest, StoragesAndDirectoryOrderAndSiblingLinks) {
  ScratchDir dir;
  CfbFile cfb;
  ASSERT_TRUE(cfb.CreateContainer(dir.Path("tree.cfb")));
  for (const char* name : {"Workbook", "B", "AA", "A"}) ASSERT_EQ(cfb.AddStream(name), kCfbOk);
  ASSERT_EQ(cfb.AddStream("\\Dir\\Leaf"), kCfbOk);  // creates storage "Dir"
  ASSERT_EQ(cfb.AddStream("Second"), kCfbOk);       // lands in "Dir", the current storage
  ASSERT_EQ(cfb.AddStream("..\\Top"), kCfbOk);      // back in the root
  EXPECT_EQ(cfb.WriteStream("\\Dir\\Leaf", "leaf", 4), kCfbOk);
  ASSERT_TRUE(cfb.CloseContainer());

  const CompoundImage image(ReadFile(dir.Path("tree.cfb")));
  // Shorter names first, then by code unit.
  const std::vector<std::u16string> order = {u"Root Entry", u"A",    u"B",      u"AA",      u"Dir",
                                             u"Top",        u"Leaf", u"Second", u"Workbook"};
  for (std::uint32_t i = 0; i < order.size(); ++i) {
    const Bytes entry = image.Entry(i);
    std::u16string name;
    for (std::size_t k = 0; U16(entry, 2 * k) != 0; ++k) name += static_cast<char16_t>(U16(entry, 2 * k));
    EXPECT_EQ(name, order[i]);
  }
  auto link = [&](std::uint32_t index, std::size_t field) { return U32(image.Entry(index), field); };
  constexpr std::size_t left = 68, right = 72, child = 76, type = 66;
  EXPECT_EQ(image.Entry(4)[type], 1);
  // Root children A B AA Dir Top Workbook (1 2 3 4 5 8): middle 4, left chain 3 2 1, right 5 8.
  EXPECT_EQ(link(0, child), 4u);
  EXPECT_EQ(link(4, left), 3u);
  EXPECT_EQ(link(4, right), 5u);
  EXPECT_EQ(link(3, left), 2u);
  EXPECT_EQ(link(3, right), kFree);
  EXPECT_EQ(link(2, left), 1u);
  EXPECT_EQ(link(1, left), kFree);
  EXPECT_EQ(link(5, right), 8u);
  EXPECT_EQ(link(5, left), kFree);
  EXPECT_EQ(link(8, right), kFree);
  // Dir's children Leaf Second (6 7): middle 7 with Leaf on its left.
  EXPECT_EQ(link(4, child), 7u);
  EXPECT_EQ(link(7, left), 6u);
  EXPECT_EQ(link(6, left), kFree);
  EXPECT_EQ(U32(image.Entry(6), 120), 4u);
}

TEST(CfbFileTest, RewritingMovesStreamsBetweenMiniAndRegularSectors) {
  ScratchDir dir;
  const std::string path = dir.Path("rewrite.cfb");
  CfbFile cfb;
  ASSERT_TRUE(cfb.CreateContainer(path));
  ASSERT_EQ(cfb.AddStream("S"), kCfbOk);
  auto write = [&](std::size_t size) {
    const Bytes data = Pattern(size);
    ASSERT_EQ(cfb.WriteStream("S", data.data(), data.size()), kCfbOk);
    // The working file is a complete container after every call.
    const CompoundImage image(ReadFile(cfb.WorkingPath()));
    const Bytes entry = image.Entry(1);
    ASSERT_EQ(U32(entry, 120), size);
    if (size >= 4096) {
      EXPECT_EQ(image.Stream(U32(entry, 116), size), data);
      EXPECT_EQ(U32(image.Entry(0), 116), kEnd) << "mini stream left behind";
      EXPECT_EQ(U32(image.file, 64), 0u);
    } else if (size == 0) {
      EXPECT_EQ(U32(entry, 116), kEnd);
    } else {
      const Bytes container = image.Stream(U32(image.Entry(0), 116), U32(image.Entry(0), 120));
      EXPECT_EQ(Slice(container, U32(entry, 116) * 64, size), data);  // chain is contiguous here
    }
    const auto used = std::count_if(image.fat.begin(), image.fat.end(), [](std::uint32_t e) { return e != kFree; });
    const std::size_t mini = U32(image.file, 64);
    const std::size_t container = (U32(image.Entry(0), 120) + 511) / 512;
    EXPECT_EQ(static_cast<std::size_t>(used), 2 + mini + container + (size >= 4096 ? (size + 511) / 512 : 0))
        << "sectors leaked after writing " << size;
  };
  write(6000);
  write(5000);  // reuses the chain, frees the tail
  EXPECT_EQ(U32(ReadFile(cfb.WorkingPath()), CompoundImage::SectorOffset(0) + 4 * 12), kFree);
  write(100);
  write(200);
  write(9000);
  write(0);
}

TEST(CfbFileTest, FailuresToCreateOrWriteAreReported) {
  CfbFile cfb;
  EXPECT_FALSE(cfb.CreateContainer("/nonexistent-dir/x.xls"));
  EXPECT_FALSE(cfb.IsContainerOpen());
  if (std::filesystem::exists("/dev/full")) {  // every write fails there: a full disk
    EXPECT_FALSE(cfb.CreateContainer("/dev/full"));
    EXPECT_FALSE(cfb.IsContainerOpen());
  }
  EXPECT_EQ(cfb.WriteStream("Workbook", "x", 1), kCfbWriteFailed);
}

TEST(CfbFileTest, StreamFromASourceThatRunsDryIsAFailedWrite) {
  ScratchDir dir;
  for (const std::size_t length : {100u, 100000u}) {  // mini stream, regular sectors
    CfbFile cfb;
    ASSERT_TRUE(cfb.CreateContainer(dir.Path("dry.cfb")));
    ASSERT_EQ(cfb.AddStream("Workbook"), kCfbOk);
    std::size_t given = 0;
    const auto source = [&](std::uint8_t* buffer, std::size_t capacity) {
      const std::size_t count = std::min<std::size_t>(capacity, length / 2 - given);
      std::fill_n(buffer, count, 'x');
      given += count;
      return count;
    };
    EXPECT_EQ(cfb.WriteStreamFrom(u"Workbook", length, source), kCfbWriteFailed) << length;
    EXPECT_FALSE(cfb.CloseContainer()) << length;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("dry.cfb"))) << length;
  }
}
