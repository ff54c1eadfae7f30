// The spooled workbook against the in-memory one: the same cells give the same file, across
// row blocks, gaps, sheets and every cell kind; failures keep the earlier file.
#include <gtest/gtest.h>

#include <functional>

#include "SizeLimitedSave.h"
#include "XlsBook.h"
#include "XlsSpooledBook.h"
#include "XlsTestSupport.h"

using namespace xls;
using namespace xls_test;

namespace {

// Fills a cell by (row, column); each case calls it in ascending rows, as the spooled book needs.
using CellFill = std::function<void(const std::function<XlsCell*(int, int)>& cellAt)>;

struct SheetCase {
  const char* name;
  CellFill fill;
};

void SheetOfHistoryRows(const std::function<XlsCell*(int, int)>& cellAt, int firstRow, int rows) {
  for (int r = firstRow; r < firstRow + rows; ++r) {
    const std::u16string time = u"2026-12-01 " + std::u16string(1, static_cast<char16_t>(u'0' + r % 10)) + u"8:00";
    const std::u16string texts[] = {u"1001000001", u"一号冷库", time, u" 23.5 ↑", u"45.0"};
    for (int c = 0; c < 5; ++c) cellAt(r, c)->SetWideText(texts[c]);
  }
}

const SheetCase kSheets[] = {
    {"Sheet1", [](const auto& cellAt) { SheetOfHistoryRows(cellAt, 0, 1000); }},
    {"Sheet2", {}},  // no cells at all
    // Empty blocks before the first cell and between cells; numbers of every record form.
    {"gaps and numbers",
     [](const auto& cellAt) {
       cellAt(40, 2)->SetInteger(7);
       cellAt(40, 3)->SetInteger(8);
       cellAt(40, 6)->SetNarrowText("narrow");
       cellAt(41, 1)->SetDouble(3.14159);
       cellAt(41, 2)->SetDouble(1.5);
       cellAt(200, 0)->SetWideText(u"远处");
       cellAt(201, 3)->Clear();  // created, yet empty: the block stays out
     }},
    {"Sheet4", [](const auto& cellAt) { SheetOfHistoryRows(cellAt, 1, 65535); }},
};

}  // namespace

TEST(XlsSpooledBookTest, SameCellsGiveTheSameFileAsTheBookInMemory) {
  ScratchDir dir;
  XlsBook memory;
  memory.CreateNew(1);
  XlsSpooledBook spooled(dir.Path("spooled.xls"));
  ASSERT_TRUE(spooled.Open());
  for (const SheetCase& sheetCase : kSheets) {
    XlsSheet* sheet = memory.FindSheet(sheetCase.name);
    if (!sheet) sheet = memory.AddSheet(sheetCase.name);
    ASSERT_TRUE(spooled.AddSheet(sheetCase.name));
    if (!sheetCase.fill) continue;
    sheetCase.fill([&](int row, int column) { return sheet->CellAt(row, column); });
    sheetCase.fill([&](int row, int column) { return spooled.CellAt(row, column); });
  }
  EXPECT_FALSE(spooled.AddSheet("Sheet1"));
  EXPECT_EQ(spooled.CellAt(0, 0), nullptr) << "a block already written takes no cells";
  ASSERT_TRUE(memory.SaveToFile(dir.Path("memory.xls")));
  ASSERT_TRUE(spooled.SaveToFile()) << spooled.SaveError();
  const Bytes expected = ReadFile(dir.Path("memory.xls"));
  EXPECT_GT(expected.size(), 1000000u);
  EXPECT_TRUE(ReadFile(dir.Path("spooled.xls")) == expected) << "files differ";
  EXPECT_EQ(sizelimit::Names(dir.Path("")), (std::vector<std::string>{"memory.xls", "spooled.xls"}))
      << "the spill file was left behind";
}

TEST(XlsSpooledBookTest, FailuresKeepTheEarlierFile) {
  ScratchDir dir;
  XlsSpooledBook nowhere(dir.Path("missing/x.xls"));
  EXPECT_FALSE(nowhere.Open());
  EXPECT_FALSE(nowhere.SaveError().empty());
  EXPECT_FALSE(nowhere.SaveToFile());

  // The disk fills up while the cells are spilled, or (long distinct texts: a large shared
  // string table) while the file is assembled.
  const std::function<void(XlsSpooledBook&)> fills[] = {
      [](XlsSpooledBook& book) { SheetOfHistoryRows([&](int r, int c) { return book.CellAt(r, c); }, 0, 30000); },
      [](XlsSpooledBook& book) {
        for (int r = 0; r < 1000; ++r) book.CellAt(r, 0)->SetNarrowText(std::string(60, 'a') + std::to_string(r));
      },
  };
  sizelimit::Put(dir.Path("full.xls"), "earlier");
  for (const auto& fill : fills) {
    EXPECT_EQ(sizelimit::SaveUnderFileSizeLimit(64 * 1024,
                                                [&] {
                                                  XlsSpooledBook book(dir.Path("full.xls"));
                                                  if (!book.Open() || !book.AddSheet("Sheet1")) return false;
                                                  fill(book);
                                                  return book.SaveToFile();
                                                }),
              sizelimit::ChildOutcome::kReportedFailure)
        << "reported as saved, or killed by the size limit";
    EXPECT_EQ(sizelimit::Contents(dir.Path("full.xls")), "earlier");
    EXPECT_EQ(sizelimit::Names(dir.Path("")), std::vector<std::string>{"full.xls"});
  }
  XlsSpooledBook roomy(dir.Path("full.xls"));  // with room enough the same workbook replaces it
  ASSERT_TRUE(roomy.Open() && roomy.AddSheet("Sheet1"));
  fills[1](roomy);
  EXPECT_TRUE(roomy.SaveToFile());
  EXPECT_GT(sizelimit::Contents(dir.Path("full.xls")).size(), 64u * 1024);
}
