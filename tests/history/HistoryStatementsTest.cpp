#include <gtest/gtest.h>

#include "HistoryStatements.h"

using namespace history;

namespace {

const SqlEscaper kEscape = [](std::string_view t) { return EscapeGbkLiteral(t); };

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(HistoryStatements, DayBoundsAreZeroPaddedAndEndAtTheNextMidnight) {
  EXPECT_EQ(DayStartText(QDate(2024, 5, 1)), "2024-05-01 00:00:00");
  EXPECT_EQ(DayEndText(QDate(2024, 5, 1)), "2024-05-02 00:00:00");
  EXPECT_EQ(DayEndText(QDate(2023, 12, 31)), "2024-01-01 00:00:00");
  EXPECT_EQ(DayEndText(QDate(2024, 2, 28)), "2024-02-29 00:00:00");
}

TEST(HistoryStatements, FiltersAddAlarmConditions) {
  const struct {
    int temperature, humidity;
    const char* tail;
  } cases[] = {
      {3, 3, "history_tab.datetime<'2024-05-02 00:00:00'"},
      {-1, 7, "history_tab.datetime<'2024-05-02 00:00:00'"},  // outside 0..3 counts as 3
      {1, 3, "<'2024-05-02 00:00:00' and history_tab.tempe_alarm='1'"},
      {3, 0, "<'2024-05-02 00:00:00' and history_tab.hum_alarm='0'"},
      {2, 1, " and history_tab.tempe_alarm='2' and history_tab.hum_alarm='1'"},
  };
  for (const auto& c : cases) {
    const std::string sql = TableQueryStatement(kEscape, "D000000001", "2024-05-01 00:00:00", "2024-05-02 00:00:00",
                                                c.temperature, c.humidity);
    EXPECT_TRUE(EndsWith(sql, c.tail)) << sql;
    EXPECT_NE(sql.find("history_tab.device_id='D000000001' \t"), std::string::npos);
  }
}

TEST(HistoryStatements, DeviceIdIsEscapedInBothStatements) {
  const std::string table = TableQueryStatement(kEscape, "D' or '1'='1", "a", "b", 3, 3);
  EXPECT_NE(table.find("device_id='D\\' or \\'1\\'=\\'1'"), std::string::npos) << table;
  const std::string curve = CurveStatement(kEscape, 1, "D' or '1'='1", "a", "b");
  EXPECT_NE(curve.find("device_id='D\\' or \\'1\\'=\\'1'"), std::string::npos) << curve;
}

}  // namespace
