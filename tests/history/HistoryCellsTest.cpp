#include <gtest/gtest.h>

#include "Gbk.h"
#include "HistoryCells.h"
#include "HistoryRowStore.h"

using namespace history;

namespace {

struct AlarmCase {
  const char* value;
  const char* code;
  const char* temperature;  // expected cell texts (UTF-8)
  const char* humidity;
};

TEST(HistoryCells, AlarmCodesMarkAndPadTheValue) {
  const AlarmCase cases[] = {
      {"23.5", "0", " 23.5", "23.5"},
      {"23.5", "1", " 23.5 ↑", "23.5 ↑"},
      {"23.5", "2", " 23.5 ↓", "23.5 ↓"},
      {"23.5", "3", " 23.5   ", "23.5   "},
      {"23.5", "4", "--", "--"},
      {"23.5", "7", " 23.5   ", "23.5   "},            // unknown code formats like offline
      {"23.5", "", " 23.5   ", "23.5   "},             // NULL code
      {"23.5", "01", " 23.5 ↑", "23.5 ↑"},             // codes are numbers, as in the live views
      {"23.5", "99999999999", " 23.5   ", "23.5   "},  // beyond 32 bits: unknown, never wrapped
      // No number in the value column: nothing was measured, whatever the code.
      {"", "0", "--", "--"},
      {"abc", "1", "--", "--"},
      {"nan", "2", "--", "--"},
      {"", "3", "--", "--"},
      {"1e39", "", "--", "--"},
      {"-12.25", "0", "-12.25", "-12.25"},  // longer than the field: shown in full
      {"5.0", "1", "  5.0 ↑", " 5.0 ↑"},
  };
  for (const AlarmCase& c : cases) {
    SCOPED_TRACE(std::string(c.value) + " / " + c.code);
    EXPECT_EQ(TemperatureCell(c.value, c.code), QString::fromUtf8(c.temperature));
    EXPECT_EQ(HumidityCell(c.value, c.code), QString::fromUtf8(c.humidity));
  }
}

TEST(HistoryCells, PowerSourceAndFaultState) {
  EXPECT_EQ(VoltageCell("3.6", "0"), QString::fromUtf8("3.6 电池"));
  EXPECT_EQ(VoltageCell("3.6", "1"), QString::fromUtf8("3.6 市电"));
  EXPECT_EQ(VoltageCell("3.6", "2"), QString::fromUtf8("3.6 未知"));
  EXPECT_EQ(VoltageCell("", ""), QString::fromUtf8(" 未知"));

  // Either channel's sensor offline is a dead sensor.
  EXPECT_EQ(FaultStateCell("3", "0"), QString::fromUtf8("传感器掉线"));
  EXPECT_EQ(FaultStateCell("0", "3"), QString::fromUtf8("传感器掉线"));
  for (const char* code : {"0", "1", "2", "4", ""}) {
    EXPECT_EQ(FaultStateCell(code, "0"), QString::fromUtf8("正常"));
    EXPECT_EQ(FaultStateCell("0", code), QString::fromUtf8("正常"));
  }
}

// One row of the table query: temperature above its limit, humidity sensor offline, battery.
DbRow QueryRow() {
  return {"D000000001",
          platform::Utf8ToGbk("华东公司"),
          platform::Utf8ToGbk("仓库一"),
          "2024-05-01 12:00:00",
          "25.0",
          "1",
          "60.0",
          "3",
          "31.5",
          "3.6",
          "0",
          platform::Utf8ToGbk("一号探头"),
          "12.5"};
}

TEST(HistoryCells, RowFormatterOrdersColumnsAndConvertsGbk) {
  const DbRow row = QueryRow();
  HistoryRowFormatter formatter;
  const QStringList expected = {"D000000001", "一号探头", "华东公司", "仓库一", "2024-05-01 12:00:00", " 25.0 ↑",
                                "60.0   ",    "31.5",     "3.6 电池", "12.5",   "传感器掉线"};
  EXPECT_EQ(formatter.Cells(row), expected);

  // The next row of the same device reuses the names; a changed name is converted afresh.
  DbRow next = row;
  next[kColTempeAlarm] = "3";
  next[kColCompanyName] = platform::Utf8ToGbk("华南公司");
  const QStringList cells = formatter.Cells(next);
  EXPECT_EQ(cells[2], QString::fromUtf8("华南公司"));
  EXPECT_EQ(cells[10], QString::fromUtf8("传感器掉线"));

  // A short row (a statement with fewer columns) gives empty cells rather than a crash.
  EXPECT_EQ(HistoryRowFormatter().Cells(DbRow{"D1"}).size(), kHistoryListColumnCount);
}

TEST(HistoryRowStore, KeepsRowsCompactlyAndShowsTheFormattersTexts) {
  const DbRow base = QueryRow();
  std::vector<DbRow> rows = {base, base, base, base, DbRow{"D2"}, base};
  rows[1][kColTempeAlarm] = "4";
  rows[1][kColPower] = "7";
  rows[2][kColCompanyName] = platform::Utf8ToGbk("华南公司");  // a second identity
  rows[3][kColCurrent] = std::string(300, '9');                // longer than a one-byte length
  rows[3][kColHumAlarm] = "2";
  rows[5][kColTempe] = "nan";  // no number, and both sensors present
  rows[5][kColHumAlarm] = "0";
  HistoryRowStore store;
  for (const DbRow& row : rows) store.Append(row);
  ASSERT_EQ(store.RowCount(), rows.size());
  EXPECT_EQ(store.Devices().size(), 3u);
  EXPECT_EQ(store.DeviceOf(3), store.DeviceOf(0));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const QStringList expected = HistoryRowFormatter().Cells(rows[r]);
    for (int c = 0; c < kHistoryListColumnCount; ++c) {
      EXPECT_EQ(store.Cell(r, c), expected[c]) << r << "," << c;
      EXPECT_EQ(store.CellGbk(r, c), platform::ToGbk(expected[c])) << r << "," << c;
    }
  }
  EXPECT_EQ(store.CellGbk(0, 10), platform::Utf8ToGbk("传感器掉线"));  // the humidity sensor is offline
  EXPECT_EQ(store.CellGbk(5, 5), "--");
  EXPECT_EQ(store.CellGbk(5, 10), platform::Utf8ToGbk("正常"));
  EXPECT_EQ(store.Field(3, kColCurrent), rows[3][kColCurrent]);
  store.Clear();
  EXPECT_EQ(store.RowCount(), 0u);
  EXPECT_TRUE(store.Devices().empty());
}

}  // namespace
