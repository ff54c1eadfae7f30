#include <gtest/gtest.h>

#include "Gbk.h"

using namespace platform;

TEST(Gbk, ChineseRoundTripsThroughGbkBytes) {
  const std::string utf8 = "温湿度智能监控系统 ℃ ↑↓ 運誠";
  const std::string gbk = Utf8ToGbk(utf8);
  // "温" is 0xCE 0xC2 in GBK.
  ASSERT_GE(gbk.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(gbk[0]), 0xCE);
  EXPECT_EQ(static_cast<unsigned char>(gbk[1]), 0xC2);
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
  EXPECT_EQ(FromGbk(gbk), QString::fromUtf8(utf8.c_str()));
  EXPECT_EQ(ToGbk(QString::fromUtf8(utf8.c_str())), gbk);
  EXPECT_EQ(GbkToUtf16(gbk), QString::fromUtf8(utf8.c_str()).toStdU16String());
}

TEST(Gbk, ByteLengthCountsTwoPerChineseCharacter) {
  EXPECT_EQ(GbkByteLength(QStringLiteral("ab12")), 4u);
  EXPECT_EQ(GbkByteLength(QStringLiteral("公司")), 4u);
  EXPECT_EQ(GbkByteLength(QStringLiteral("部")), 2u);
  EXPECT_EQ(GbkByteLength(QString()), 0u);
}

TEST(Gbk, InvalidBytesAreReplacedNotDropped) {
  // A lone lead byte at the end and an invalid byte in the middle.
  const std::string broken = std::string(
                                 "a\xFF"
                                 "b") +
                             "\xCE";
  const QString text = FromGbk(broken);
  EXPECT_TRUE(text.startsWith(QLatin1Char('a')));
  EXPECT_TRUE(text.contains(QLatin1Char('b')));
  EXPECT_EQ(text.size(), 4);
  // Characters GBK cannot hold become '?'.
  EXPECT_EQ(Utf8ToGbk("x😀y"), "x?y");
}

TEST(Gbk, CanHoldTellsWhatWouldTurnIntoQuestionMarks) {
  for (const char* held : {"", "?", "TH00000001", "南城食品有限公司", "運誠"})
    EXPECT_TRUE(GbkCanHold(QString::fromUtf8(held))) << held;
  for (const char* lost : {"kr한국", "TH0000000한", "x😀"}) EXPECT_FALSE(GbkCanHold(QString::fromUtf8(lost))) << lost;
}
