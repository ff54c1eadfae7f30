#include <gtest/gtest.h>

#include "TableText.h"

using namespace tables;

namespace {

TEST(TableText, FieldsAreQuotedOnlyWhenTheyMustBe) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"TH00010101", "TH00010101"},
      {" 23.5 ↑", " 23.5 ↑"},
      {"", ""},
      {"仓库,一号", "\"仓库,一号\""},
      {"6\" 探头", "\"6\"\" 探头\""},
      {"a\nb", "\"a\nb\""},
      {"a\rb", "\"a\rb\""},
      {"\"", "\"\"\"\""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;
  EXPECT_EQ(CsvLine({"a", "b,c", ""}), "a,\"b,c\",\r\n");
}

TEST(TableText, EncodingNames) {
  TextEncoding e = TextEncoding::kGbk;
  EXPECT_TRUE(ParseTextEncoding("UTF-8", e));
  EXPECT_EQ(e, TextEncoding::kUtf8Bom);
  EXPECT_TRUE(ParseTextEncoding("gbk", e));
  EXPECT_EQ(e, TextEncoding::kGbk);
  EXPECT_FALSE(ParseTextEncoding("gb2312", e));
}

TEST(TableText, ATabOrLineBreakInACellNeverSplitsTheLine) {
  EXPECT_EQ(TabSeparatedLine({"a\tb", "c\r\nd", ""}), "a b\tc  d\t");
}

}  // namespace
