#include <gtest/gtest.h>

#include "SqlFormat.h"

namespace {
std::string Bracket(std::string_view s) { return "[" + std::string(s) + "]"; }
}  // namespace

TEST(SqlFormat, TextsGoThroughTheEscaperAndIntegersDoNot) {
  const struct {
    const char* tmpl;
    std::initializer_list<SqlArg> args;
    const char* expected;
  } cases[] = {
      {"select * from t where a='%s' and b='%d'", {"x", 2}, "select * from t where a='[x]' and b='2'"},
      {"like '%%%s%%'", {"ab"}, "like '%[ab]%'"},
      {"%d", {"42abc"}, "42"},
      {"%s and %s", {"only"}, "[only] and "},
      {"%d", {}, "0"},
      {"100%", {}, "100%"},
      {"%x", {}, "%x"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSqlWith(Bracket, c.tmpl, c.args), c.expected) << c.tmpl;
}

TEST(SqlFormat, GbkEscapeKeepsMultibyteTrailBytesAndEscapesQuotes) {
  // "運" is 0xDF 0x5C in GBK: the trail byte must not be doubled as a backslash.
  EXPECT_EQ(EscapeGbkLiteral("\xDF\x5C"), "\xDF\x5C");
  EXPECT_EQ(EscapeGbkLiteral("O'Brien\\"), "O\\'Brien\\\\");
  // 0xBF 0x27 is not a GBK character pair that hides the quote... 0xBF is a lead byte, so the
  // pair is copied whole; the server sees the same pairing, so the quote cannot close the text.
  EXPECT_EQ(EscapeGbkLiteral("\xBF\x27"), "\xBF\x27");
  EXPECT_EQ(EscapeGbkLiteral(std::string("a\0b\n", 4)), "a\\0b\\n");
  EXPECT_EQ(EscapeGbkLiteral("100%_"), "100%_");
}
