#include <gtest/gtest.h>

#include <map>
#include <set>

#include "SizeLimitedSave.h"
#include "XlsBook.h"
#include "XlsTestSupport.h"

using namespace xls;
using namespace xls_test;

namespace {

constexpr std::uint16_t kBof = 0x0809, kBoundSheet = 0x0085, kSst = 0x00FC, kIndex = 0x020B, kDimensions = 0x0200,
                        kRow = 0x0208, kLabelSst = 0x00FD, kDbCell = 0x00D7, kWindow2 = 0x023E, kEof = 0x000A,
                        kRk = 0x027E, kMulRk = 0x00BD, kNumber = 0x0203;

const char16_t* const kTitles[] = {u"设备ID", u"设备名称", u"部门", u"时间", u"温度", u"湿度"};

// The export's shape: six titles, then `rows` rows of history text.
void FillLikeExport(XlsSheet& sheet, int rows) {
  for (int c = 0; c < 6; ++c) sheet.CellAt(0, c)->SetWideText(kTitles[c]);
  for (int r = 1; r <= rows; ++r) {
    const std::u16string time = u"2026-12-01 08:" + std::u16string(1, static_cast<char16_t>(u'0' + r % 6)) + u"0:00";
    const std::u16string texts[] = {u"1001000001", u"一号冷库", u"质检部", time, u" 23.5 ↑", u"45.0   "};
    for (int c = 0; c < 6; ++c) sheet.CellAt(r, c)->SetWideText(texts[c]);
  }
}

struct Stream {
  Bytes bytes;
  std::vector<Record> records;
  std::map<std::size_t, std::size_t> byPosition;  // position → record index

  explicit Stream(Bytes b) : bytes(std::move(b)), records(SplitRecords(bytes)) {
    for (std::size_t i = 0; i < records.size(); ++i) byPosition[records[i].position] = i;
  }
  const Record& At(std::size_t position) const { return records.at(byPosition.at(position)); }
  std::vector<std::uint16_t> Ids(std::size_t from, std::size_t to) const {
    std::vector<std::uint16_t> ids;
    for (std::size_t i = from; i < to; ++i) ids.push_back(records[i].id);
    return ids;
  }
};

// Follows INDEX → DBCELL → ROW → first cells as a reader seeking rows would; returns the
// rows found.
std::vector<std::uint32_t> CheckCellTable(const Stream& stream, std::size_t sheetBof) {
  const std::size_t first = stream.byPosition.at(sheetBof);
  const Record& index = stream.records.at(first + 1);
  EXPECT_EQ(index.id, kIndex);
  std::vector<std::uint32_t> rows;
  for (std::size_t slot = 16; slot < index.data.size(); slot += 4) {
    const std::size_t dbCellAt = U32(index.data, slot);
    const Record& dbCell = stream.At(dbCellAt);
    EXPECT_EQ(dbCell.id, kDbCell);
    const std::size_t firstRowAt = dbCellAt - U32(dbCell.data, 0);
    std::size_t cellAt = firstRowAt + 20;
    for (std::size_t k = 0; 4 + 2 * k < dbCell.data.size(); ++k) {
      const Record& row = stream.At(firstRowAt + 20 * k);
      EXPECT_EQ(row.id, kRow);
      cellAt += U16(dbCell.data, 4 + 2 * k);
      const Record& cell = stream.At(cellAt);
      EXPECT_EQ(U16(cell.data, 0), U16(row.data, 0)) << "first cell of row " << U16(row.data, 0);
      rows.push_back(U16(row.data, 0));
    }
  }
  return rows;
}

}  // namespace

TEST(XlsBookTest, NewWorkbookHasThreeSheetsFoundByName) {
  XlsBook book;
  book.CreateNew(3);
  ASSERT_EQ(book.SheetCount(), 3);
  EXPECT_EQ(book.FindSheet("Sheet1"), book.SheetAt(0));
  EXPECT_EQ(book.SheetAt(2)->Name(), "Sheet3");
  EXPECT_EQ(book.FindSheet("sheet1"), nullptr);
  EXPECT_EQ(book.FindSheet("Sheet4"), nullptr);
  EXPECT_EQ(book.AddSheet("Sheet2"), nullptr);
  EXPECT_EQ(book.AddSheet(""), nullptr);
  EXPECT_EQ(book.AddSheet(std::string(32, 'n')), nullptr);  // the format's limit is 31
  ASSERT_NE(book.AddSheet("Sheet5", 0), nullptr);
  EXPECT_EQ(book.AddSheet()->Name(), "Sheet6");  // "Sheet5" is taken
  EXPECT_EQ(book.SheetAt(0)->Name(), "Sheet5");
  book.CreateNew(1);
  EXPECT_EQ(book.SheetCount(), 1);
}

TEST(XlsBookTest, CellsStayWithinTheGridLimitsAndDoNotMove) {
  XlsBook book;
  book.CreateNew(1);
  XlsSheet& sheet = *book.SheetAt(0);
  EXPECT_EQ(sheet.CellAt(65536, 0), nullptr);
  EXPECT_EQ(sheet.CellAt(0, 256), nullptr);
  EXPECT_EQ(sheet.CellAt(-1, 0), nullptr);
  EXPECT_EQ(sheet.RowCount(), 0);
  XlsCell* first = sheet.CellAt(0, 0);
  first->SetInteger(7);
  ASSERT_NE(sheet.CellAt(65535, 255), nullptr);
  EXPECT_EQ(sheet.RowCount(), 65536);
  EXPECT_EQ(sheet.ColumnCount(), 256);
  EXPECT_EQ(sheet.CellAt(0, 0), first);
  EXPECT_EQ(first->Integer(), 7);
}

TEST(XlsBookTest, WideTextGoesThroughGbk) {
  XlsCell cell;
  cell.SetWideText(u"温湿度 23.5 ↑ ℃ 市电");
  EXPECT_EQ(cell.WideText(), u"温湿度 23.5 ↑ ℃ 市电");
  EXPECT_EQ(cell.Kind(), XlsCellKind::WideText);
  cell.SetWideText(u"ก€x😀y");  // Thai and the emoji have no GBK code; € has one
  EXPECT_EQ(cell.WideText(), u"?€x?y");
  cell.SetWideText(static_cast<const char16_t*>(nullptr));
  EXPECT_EQ(cell.WideText(), u"?€x?y");
  cell.SetWideText(u"");
  EXPECT_EQ(cell.Kind(), XlsCellKind::WideText);
  cell.SetNarrowText("caf\xE9");
  EXPECT_EQ(cell.NarrowText(), "caf\xE9");
  EXPECT_EQ(cell.WideText(), u"");
}

// Six titles and three rows, as the export writes them.
TEST(XlsBookTest, ExportShapedWorkbookStream) {
  XlsBook book;
  book.CreateNew(3);
  FillLikeExport(*book.FindSheet("Sheet1"), 3);
  const Stream stream(book.BuildWorkbookStream());

  std::vector<std::uint16_t> globals = {kBof, 0x003D};
  globals.insert(globals.end(), 4, 0x0031);
  globals.insert(globals.end(), 21, 0x00E0);
  globals.insert(globals.end(), 6, 0x0293);
  globals.insert(globals.end(), {kBoundSheet, kBoundSheet, kBoundSheet, kSst, kEof});
  ASSERT_EQ(stream.Ids(0, globals.size()), globals);

  const Record& sst = stream.records[globals.size() - 2];
  EXPECT_EQ(U32(sst.data, 0), 24u);         // cstTotal
  EXPECT_EQ(U32(sst.data, 4), 6u + 5 + 3);  // titles, the same five texts, three times

  std::vector<std::uint16_t> sheet1 = {kBof, kIndex, kDimensions, kRow, kRow, kRow, kRow};
  sheet1.insert(sheet1.end(), 24, kLabelSst);
  sheet1.insert(sheet1.end(), {kDbCell, kWindow2, kEof});
  const std::vector<std::uint16_t> emptySheet = {kBof, kIndex, kDimensions, kWindow2, kEof};
  std::vector<std::uint16_t> sheets = sheet1;
  for (int i = 0; i < 2; ++i) sheets.insert(sheets.end(), emptySheet.begin(), emptySheet.end());
  EXPECT_EQ(stream.Ids(globals.size(), stream.records.size()), sheets);

  std::vector<std::size_t> sheetPositions;
  for (std::size_t i = 0; i < 3; ++i) {
    const Record& boundSheet = stream.records[globals.size() - 5 + i];
    sheetPositions.push_back(U32(boundSheet.data, 0));
    const Record& bof = stream.At(sheetPositions.back());
    EXPECT_EQ(bof.id, kBof);
    EXPECT_EQ(U16(bof.data, 2), 0x0010u);
    const std::size_t at = stream.byPosition.at(sheetPositions.back());
    EXPECT_EQ(stream.records[at + 2].data, i == 0 ? Hex("00000000 04000000 0000 0600 0000") : Bytes(14, 0));
  }
  EXPECT_EQ(CheckCellTable(stream, sheetPositions[0]), (std::vector<std::uint32_t>{0, 1, 2, 3}));
  // Only the first sheet is selected.
  std::vector<std::uint32_t> window2Flags;
  for (const Record& record : stream.records)
    if (record.id == kWindow2) window2Flags.push_back(U16(record.data, 0));
  EXPECT_EQ(window2Flags, (std::vector<std::uint32_t>{0x06B6, 0x04B6, 0x04B6}));
}

TEST(XlsBookTest, RowBlocksOf32RowsWithGapsAndColumnBounds) {
  XlsBook book;
  book.CreateNew(1);
  XlsSheet& sheet = *book.SheetAt(0);
  for (int row : {40, 41, 70, 130}) sheet.CellAt(row, 3)->SetNarrowText("x");
  sheet.CellAt(70, 9)->SetNarrowText("y");
  sheet.CellAt(200, 200);  // touched, never filled: not part of the data
  const Stream stream(book.BuildWorkbookStream());
  const std::size_t sheetBof = U32(stream.records[2 + 4 + 21 + 6].data, 0);
  EXPECT_EQ(CheckCellTable(stream, sheetBof), (std::vector<std::uint32_t>{40, 41, 70, 130}));
  const std::size_t at = stream.byPosition.at(sheetBof);
  const Bytes& index = stream.records[at + 1].data;
  EXPECT_EQ(Slice(index, 4, 8), Hex("28000000 83000000"));
  EXPECT_EQ(index.size(), 16u + 4 * 5);  // blocks 0 … 4; block 0 and 3 hold no rows
  EXPECT_EQ(stream.records[at + 2].data, Hex("28000000 83000000 0300 0A00 0000"));
  EXPECT_EQ(stream.At(U32(index, 16)).data, Hex("00000000"));
}

TEST(XlsBookTest, NumbersBecomeRkMulRkOrNumber) {
  XlsBook book;
  book.CreateNew(1);
  XlsSheet& sheet = *book.SheetAt(0);
  for (int c = 0; c < 3; ++c) sheet.CellAt(0, c)->SetInteger(c + 1);
  sheet.CellAt(0, 3)->SetDouble(3.14159);
  sheet.CellAt(0, 4)->SetDouble(1.5);
  sheet.CellAt(0, 5)->SetInteger(7);
  sheet.CellAt(0, 6)->SetInteger(1 << 30);        // past the integer form, exact as a double
  sheet.CellAt(0, 7)->SetInteger((1 << 30) + 1);  // no RK form at all
  const Stream stream(book.BuildWorkbookStream());
  std::vector<std::pair<std::uint16_t, Bytes>> cells;
  for (const Record& record : stream.records)
    if (record.id == kRk || record.id == kMulRk || record.id == kNumber) cells.emplace_back(record.id, record.data);
  ASSERT_EQ(cells.size(), 5u);
  EXPECT_EQ(cells[0], std::make_pair(kMulRk, Hex("0000 0000 0000 06000000 0000 0A000000 0000 0E000000 0200")));
  EXPECT_EQ(cells[1], std::make_pair(kNumber, Hex("0000 0300 0000 6E861BF0F9210940")));
  EXPECT_EQ(cells[2], std::make_pair(kRk, Hex("0000 0400 0000 0000F83F")));
  EXPECT_EQ(cells[3], std::make_pair(kMulRk, Hex("0000 0500 0000 1E000000 0000 0000D041 0600")));
  EXPECT_EQ(cells[4], std::make_pair(kNumber, Hex("0000 0700 0000 000040000000D041")));
}

TEST(XlsBookTest, SaveFailuresAreReported) {
  ScratchDir dir;
  XlsBook book;
  EXPECT_FALSE(book.SaveToFile(dir.Path("never-created.xls")));  // no sheets
  book.CreateNew(3);
  EXPECT_TRUE(book.SaveToFile(dir.Path("ok.xls")));
  EXPECT_FALSE(book.SaveToFile(dir.Path("missing/ok.xls")));
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_FALSE(book.SaveToFile("/dev/full"));
  }

  // The disk fills up halfway through the stream: a file size limit stands in for it. The
  // earlier workbook of that name survives byte for byte and no temporary is left.
  ASSERT_TRUE(book.SaveToFile(dir.Path("full.xls")));
  const std::string before = sizelimit::Contents(dir.Path("full.xls"));
  const auto namesBefore = sizelimit::Names(dir.Path(""));
  FillLikeExport(*book.SheetAt(0), 5000);
  EXPECT_EQ(sizelimit::SaveUnderFileSizeLimit(64 * 1024, [&] { return book.SaveToFile(dir.Path("full.xls")); }),
            sizelimit::ChildOutcome::kReportedFailure)
      << "a half-written file was reported as saved, or the size limit killed the writer";
  EXPECT_EQ(sizelimit::Contents(dir.Path("full.xls")), before);
  EXPECT_EQ(sizelimit::Names(dir.Path("")), namesBefore);
  EXPECT_TRUE(book.SaveToFile(dir.Path("full.xls")));  // the same workbook, room enough
}
