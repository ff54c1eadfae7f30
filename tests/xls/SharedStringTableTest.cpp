#include <gtest/gtest.h>

#include "SharedStringTable.h"
#include "XlsTestSupport.h"

using namespace xls;
using namespace xls_test;

namespace {

// The record's pieces as written: SST first, then CONTINUEs.
std::vector<Record> Pieces(const SharedStringTable& sst) {
  Bytes out;
  sst.BuildRecord().AppendTo(out);
  return SplitRecords(out);
}

}  // namespace

TEST(SharedStringTableTest, OneEntryPerDistinctTextOfEachKind) {
  SharedStringTable sst;
  const std::u16string wide = u"A";
  EXPECT_EQ(sst.AddWide(wide), 0u);
  EXPECT_EQ(sst.AddNarrow("A"), 1u);  // same characters, other kind: own entry
  EXPECT_EQ(sst.AddWide(std::u16string(u"A")), 0u);
  EXPECT_EQ(sst.AddWide(u""), 2u);
  EXPECT_EQ(sst.TotalCount(), 4u);
  EXPECT_EQ(sst.UniqueCount(), 3u);
  const std::vector<Record> pieces = Pieces(sst);
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_EQ(pieces[0].id, 0x00FC);
  EXPECT_EQ(pieces[0].data, Hex("04000000 03000000 0100 01 4100 0100 00 41 0000 01"));
}

// 5000 CJK characters (10000 bytes): 4106 characters fill the SST record (8223 bytes: a
// UTF-16 character is never split, so one byte stays unused); the remaining 894 follow
// in a CONTINUE that starts with the option byte 1.
TEST(SharedStringTableTest, LongUtf16TextContinuesWithItsOptionByte) {
  std::u16string text;
  for (int i = 0; i < 5000; ++i) text += static_cast<char16_t>(0x4E00 + i % 2000);
  SharedStringTable sst;
  sst.AddWide(text);
  const std::vector<Record> pieces = Pieces(sst);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].data.size(), 8223u);
  EXPECT_EQ(Slice(pieces[0].data, 8, 3), Hex("8813 01"));
  EXPECT_EQ(pieces[1].id, 0x003C);
  EXPECT_EQ(pieces[1].data.size(), 1u + 2 * 894);
  EXPECT_EQ(pieces[1].data[0], 1);
  std::u16string back;
  for (std::size_t at = 11; at + 1 < pieces[0].data.size(); at += 2)
    back += static_cast<char16_t>(U16(pieces[0].data, at));
  for (std::size_t at = 1; at < pieces[1].data.size(); at += 2) back += static_cast<char16_t>(U16(pieces[1].data, at));
  EXPECT_EQ(back, text);
}

TEST(SharedStringTableTest, ContinueCuts) {
  const std::string next = "hello world!!";  // 13 characters, 16 bytes with its header
  {
    // 5 bytes left: too few to split, the string starts a new piece with its header.
    const std::string filler(8213 - 5, 'f');
    SharedStringTable sst;
    sst.AddNarrow(filler);
    sst.AddNarrow(next);
    const std::vector<Record> pieces = Pieces(sst);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].data.size(), 8224u - 5);
    EXPECT_EQ(pieces[1].data, Hex("0D00 00") + Bytes(next.begin(), next.end()));
  }
  {
    // 12 bytes left: header and 9 characters here, the rest after a repeated option byte.
    const std::string filler(8213 - 12, 'f');
    SharedStringTable sst;
    sst.AddNarrow(filler);
    sst.AddNarrow(next);
    const std::vector<Record> pieces = Pieces(sst);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].data.size(), 8224u);
    EXPECT_EQ(Slice(pieces[0].data, 8212, 12), Hex("0D00 00") + Bytes(next.begin(), next.begin() + 9));
    EXPECT_EQ(pieces[1].data, Hex("00") + Bytes(next.begin() + 9, next.end()));
  }
  {
    // 8-bit text over three pieces: each continuation carries 8223 characters at most.
    const std::string longText(20000, 'x');  // the table keeps views: texts must outlive it
    SharedStringTable sst;
    sst.AddNarrow(longText);
    sst.AddNarrow("after");
    const std::vector<Record> pieces = Pieces(sst);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].data.size(), 8224u);
    EXPECT_EQ(pieces[1].data.size(), 8224u);
    EXPECT_EQ(pieces[1].data[0], 0);
    EXPECT_EQ(pieces[2].data.size(), 1u + (20000 - 8213 - 8223) + 3 + 5);
    EXPECT_EQ(Slice(pieces[2].data, pieces[2].data.size() - 8, 3), Hex("0500 00"));
  }
}
