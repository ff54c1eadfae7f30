#include <gtest/gtest.h>

#include <cmath>

#include "BiffRecords.h"
#include "RkNumber.h"
#include "XlsTestSupport.h"

using namespace xls;
using namespace xls_test;

namespace {

Bytes Written(const BiffRecord& record) {
  Bytes out;
  record.AppendTo(out);
  EXPECT_EQ(out.size(), record.WrittenSize());
  return out;
}

template <typename Append>
Bytes Appended(Append append) {
  Bytes out;
  append(out);
  return out;
}

}  // namespace

TEST(BiffRecordsTest, GlobalsRecords) {
  EXPECT_EQ(Written(biff::MakeBof(biff::kBofGlobals)), Hex("0908 1000 0006 0500 A019 CD07 C9C00000 06030000"));
  EXPECT_EQ(Written(biff::MakeBof(biff::kBofWorksheet)), Hex("0908 1000 0006 1000 A019 CD07 C9C00000 06030000"));
  EXPECT_EQ(Written(biff::MakeWindow1()), Hex("3D00 1200 7800 7800 1F3B 5424 3800 0000 0000 0100 5802"));
  EXPECT_EQ(Written(biff::MakeFont()),
            Hex("3100 1A00 C800 0000 FF7F 9001 0000 00 00 00 00 05 01 4100720069006100 6C00"));
  EXPECT_EQ(Written(biff::MakeXf()), Hex("E000 1400 0000 0000 F5FF 20 00 00 00 00000000 00000000 C020"));
  EXPECT_EQ(Written(biff::MakeStyle()), Hex("9302 0400 0080 00 FF"));
  EXPECT_EQ(Written(biff::MakeBoundSheet("Sheet1", 0x1234)), Hex("8500 0E00 34120000 00 00 06 00 536865657431"));
  EXPECT_EQ(Written(biff::MakeEof()), Hex("0A00 0000"));
}

TEST(BiffRecordsTest, WorksheetRecords) {
  const std::uint32_t dbCells[] = {0x100, 0x2345};
  EXPECT_EQ(Written(biff::MakeIndex(1, 40, dbCells)),
            Hex("0B02 1800 00000000 01000000 28000000 00000000 00010000 45230000"));
  EXPECT_EQ(Written(biff::MakeDimensions(0, 4, 0, 6)), Hex("0002 0E00 00000000 04000000 0000 0600 0000"));
  EXPECT_EQ(Written(biff::MakeWindow2(true)), Hex("3E02 1200 B606 0000 0000 4000 0000 0000 0000 00000000"));
  EXPECT_EQ(Written(biff::MakeWindow2(false)), Hex("3E02 1200 B604 0000 0000 4000 0000 0000 0000 00000000"));
}

TEST(BiffRecordsTest, CellTableRecords) {
  EXPECT_EQ(Appended([](Bytes& out) { biff::AppendRow(out, 3, 6); }),
            Hex("0802 1000 0300 0000 0600 FF00 0000 0000 0000 0000"));
  EXPECT_EQ(Appended([](Bytes& out) { biff::AppendLabelSst(out, 1, 2, 0x10007); }),
            Hex("FD00 0A00 0100 0200 0000 07000100"));
  EXPECT_EQ(Appended([](Bytes& out) { biff::AppendRk(out, 0, 5, 0x3FF80000); }),
            Hex("7E02 0A00 0000 0500 0000 0000F83F"));
  const std::uint32_t rks[] = {0x6, 0x3FF80000};
  EXPECT_EQ(Appended([&](Bytes& out) { biff::AppendMulRk(out, 2, 1, rks); }),
            Hex("BD00 1200 0200 0100 0000 06000000 0000 0000F83F 0200"));
  EXPECT_EQ(Appended([](Bytes& out) { biff::AppendNumber(out, 0, 0, 3.14159); }),
            Hex("0302 0E00 0000 0000 0000 6E861BF0F9210940"));
  const std::uint16_t offsets[] = {0x26C, 0x1C};
  EXPECT_EQ(Appended([&](Bytes& out) { biff::AppendDbCell(out, 0x2A4, offsets); }),
            Hex("D700 0800 A4020000 6C02 1C00"));
}

TEST(BiffRecordsTest, LongRecordDataIsCutIntoContinuePieces) {
  BiffRecord record{0x1234, Bytes(2 * 8224 + 10, 0xAB), {}};
  const Bytes out = Written(record);
  ASSERT_EQ(out.size(), 3 * 4 + record.data.size());
  EXPECT_EQ(Slice(out, 0, 4), Hex("3412 2020"));
  EXPECT_EQ(Slice(out, 4 + 8224, 4), Hex("3C00 2020"));
  EXPECT_EQ(Slice(out, 2 * (4 + 8224), 4), Hex("3C00 0A00"));

  EXPECT_EQ(Written(BiffRecord{0x00FC, Bytes(9, 1), {5, 7}}),
            Hex("FC00 0500 0101010101 3C00 0200 0101 3C00 0200 0101"));
}

TEST(RkNumberTest, EncodesEveryFormAndRefusesWhatItCannotHold) {
  struct Case {
    double value;
    std::uint32_t rk;
  };
  const Case encodable[] = {
      {1.0, 0x00000006},           {-1.0, 0xFFFFFFFE},        {536870911.0, 0x7FFFFFFE},
      {-536870912.0, 0x80000002},  {536870912.0, 0x41C00000},  // 2^29: past the integer form, exact as a double
      {1.5, 0x3FF80000},           {-0.0, 0x80000000},        {0.01, 0x00000007},
      {123.45, (12345u << 2) | 3}, {0.1, (10u << 2) | 3},     {-2.5, 0xC0040000},
  };
  for (const Case& c : encodable) {
    const std::optional<std::uint32_t> rk = EncodeRk(c.value);
    ASSERT_TRUE(rk.has_value()) << c.value;
    EXPECT_EQ(*rk, c.rk) << c.value;
    EXPECT_EQ(std::signbit(DecodeRk(*rk)), std::signbit(c.value));
    EXPECT_EQ(DecodeRk(*rk), c.value);
  }
  for (double value : {3.14159, 0.07, 1e300, 536870913.0, 1.0 / 3.0})
    EXPECT_FALSE(EncodeRk(value).has_value()) << value;
  // Whatever is encoded reads back exactly.
  for (int i = -200000; i <= 200000; i += 7) {
    const double value = i / 100.0;
    if (const auto rk = EncodeRk(value)) {
      EXPECT_EQ(DecodeRk(*rk), value) << value;
    }
  }
}
