#include "XlsBook.h"

#include "BiffRecords.h"
#include "SharedStringTable.h"
#include "WorksheetCells.h"

namespace xls {
namespace {

constexpr std::size_t kMaxSheetNameLength = 31;
constexpr char kSheetNamePrefix[] = "Sheet";
constexpr char16_t kWorkbookStreamName[] = u"Workbook";

std::size_t TotalSize(const std::vector<BiffRecord>& records) {
  std::size_t size = 0;
  for (const BiffRecord& record : records) size += record.WrittenSize();
  return size;
}

std::size_t IndexSize(const WorksheetCells& cells) { return 4 + 16 + 4 * cells.dbCellOffsets.size(); }

std::size_t WorksheetSize(const WorksheetCells& cells) {
  return biff::kBofSize + IndexSize(cells) + biff::kDimensionsSize + cells.rowBlocks.size() + biff::kWindow2Size +
         biff::kEofSize;
}

void Append(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace

void XlsBook::CreateNew(int sheetCount) {
  fonts_.assign(biff::kDefaultFontCount, biff::MakeFont());
  cellFormats_.assign(biff::kDefaultCellFormatCount, biff::MakeXf());
  styles_.assign(biff::kDefaultStyleCount, biff::MakeStyle());
  sheets_.clear();
  sheets_.push_back(std::make_unique<XlsSheet>(std::string(kSheetNamePrefix) + "1"));
  for (int i = 1; i < sheetCount; ++i) AddSheet();
}

XlsSheet* XlsBook::AddSheet(int position) {
  for (int number = SheetCount() + 1;; ++number)
    if (XlsSheet* sheet = AddSheet(kSheetNamePrefix + std::to_string(number), position)) return sheet;
}

XlsSheet* XlsBook::AddSheet(std::string_view name, int position) {
  if (name.empty() || name.size() > kMaxSheetNameLength || FindSheet(name) != nullptr) return nullptr;
  auto sheet = std::make_unique<XlsSheet>(std::string(name));
  XlsSheet* added = sheet.get();
  if (position < 0 || position >= SheetCount())
    sheets_.push_back(std::move(sheet));
  else
    sheets_.insert(sheets_.begin() + position, std::move(sheet));
  return added;
}

XlsSheet* XlsBook::FindSheet(std::string_view name) {
  for (const auto& sheet : sheets_)
    if (sheet->Name() == name) return sheet.get();
  return nullptr;
}

XlsSheet* XlsBook::SheetAt(int index) {
  return index >= 0 && index < SheetCount() ? sheets_[static_cast<std::size_t>(index)].get() : nullptr;
}

bool XlsBook::SaveToFile(const std::string& path) {
  error_.clear();
  if (sheets_.empty()) return false;
  container_.CloseContainer();
  if (!container_.CreateContainer(path)) {
    error_ = container_.ErrorString();
    return false;
  }
  const std::vector<std::uint8_t> stream = BuildWorkbookStream();
  int result = container_.AddStream(kWorkbookStreamName);
  if (result == kCfbOk) result = container_.WriteStream(kWorkbookStreamName, stream.data(), stream.size());
  if (result != kCfbOk) {
    // A half-built container never replaces the file at `path`. After a write error,
    // closing discards it and tells why.
    if (result == kCfbWriteFailed) {
      container_.CloseContainer();
      error_ = container_.ErrorString();
    } else {
      container_.DiscardContainer();
    }
    return false;
  }
  // Closing syncs the container and renames it into place; late write errors show here.
  if (!container_.CloseContainer()) {
    error_ = container_.ErrorString();
    return false;
  }
  return true;
}

// Globals: BOF, WINDOW1, FONTs, XFs, STYLEs, BOUNDSHEETs, SST, EOF. Then per sheet: BOF,
// INDEX, DIMENSIONS, row blocks, WINDOW2, EOF. Positions (BOUNDSHEET → sheet BOF,
// INDEX → DBCELLs) are stream offsets, so all sizes are settled before writing.
std::vector<std::uint8_t> XlsBook::BuildWorkbookStream() const {
  SharedStringTable sst;
  std::vector<WorksheetCells> cells;
  cells.reserve(sheets_.size());
  for (const auto& sheet : sheets_) cells.push_back(BuildWorksheetCells(*sheet, sst));
  const BiffRecord sstRecord = sst.BuildRecord();
  const BiffRecord bof = biff::MakeBof(biff::kBofGlobals);
  const BiffRecord window1 = biff::MakeWindow1();
  const BiffRecord eof = biff::MakeEof();

  std::size_t position = bof.WrittenSize() + window1.WrittenSize() + TotalSize(fonts_) + TotalSize(cellFormats_) +
                         TotalSize(styles_) + sstRecord.WrittenSize() + eof.WrittenSize();
  for (const auto& sheet : sheets_) position += biff::MakeBoundSheet(sheet->Name(), 0).WrittenSize();
  std::vector<std::uint32_t> sheetPositions;
  for (const WorksheetCells& sheetCells : cells) {
    sheetPositions.push_back(static_cast<std::uint32_t>(position));
    position += WorksheetSize(sheetCells);
  }

  std::vector<std::uint8_t> out;
  out.reserve(position);
  bof.AppendTo(out);
  window1.AppendTo(out);
  for (const auto* group : {&fonts_, &cellFormats_, &styles_})
    for (const BiffRecord& record : *group) record.AppendTo(out);
  for (std::size_t i = 0; i < sheets_.size(); ++i)
    biff::MakeBoundSheet(sheets_[i]->Name(), sheetPositions[i]).AppendTo(out);
  sstRecord.AppendTo(out);
  eof.AppendTo(out);

  for (std::size_t i = 0; i < cells.size(); ++i) {
    const WorksheetCells& sheetCells = cells[i];
    const std::size_t rowBlocksStart =
        sheetPositions[i] + biff::kBofSize + IndexSize(sheetCells) + biff::kDimensionsSize;
    std::vector<std::uint32_t> dbCellPositions;
    for (std::uint32_t offset : sheetCells.dbCellOffsets)
      dbCellPositions.push_back(static_cast<std::uint32_t>(rowBlocksStart + offset));
    biff::MakeBof(biff::kBofWorksheet).AppendTo(out);
    biff::MakeIndex(sheetCells.rwMic, sheetCells.rwMac, dbCellPositions).AppendTo(out);
    biff::MakeDimensions(sheetCells.rwMic, sheetCells.rwMac, sheetCells.colMic, sheetCells.colMac).AppendTo(out);
    Append(out, sheetCells.rowBlocks);
    biff::MakeWindow2(i == 0).AppendTo(out);
    eof.AppendTo(out);
  }
  return out;
}

}  // namespace xls
