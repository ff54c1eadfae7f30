#include "XlsSpooledBook.h"

#include <algorithm>
#include <cstring>

#include "BiffRecords.h"
#include "CfbFile.h"
#include "WorksheetCells.h"

namespace xls {
namespace {

constexpr std::size_t kMaxSheetNameLength = 31;
constexpr char16_t kWorkbookStreamName[] = u"Workbook";

std::size_t IndexSize(std::size_t blockCount) { return 4 + 16 + 4 * blockCount; }

}  // namespace

// A stretch of the workbook stream: bytes in memory, or a range of the spill file.
struct XlsSpooledBook::Piece {
  const std::vector<std::uint8_t>* bytes;  // null: from the spill file
  std::uint64_t spillOffset;
  std::uint64_t size;
};

XlsSpooledBook::XlsSpooledBook(std::string path) : path_(std::move(path)) {}

XlsSpooledBook::~XlsSpooledBook() = default;

bool XlsSpooledBook::Fail(const std::string& error) {
  if (error_.empty()) error_ = error;
  return false;
}

bool XlsSpooledBook::Open() { return spill_.Open(path_) || Fail(spill_.ErrorString()); }

bool XlsSpooledBook::AddSheet(std::string_view name) {
  if (name.empty() || name.size() > kMaxSheetNameLength) return false;
  for (const Sheet& sheet : sheets_)
    if (sheet.name == name) return false;
  if (block_) WriteBlock();
  Sheet sheet;
  sheet.name = name;
  sheet.spillStart = spill_.Size();
  sheets_.push_back(std::move(sheet));
  block_ = std::make_unique<XlsSheet>(std::string(name));
  blockFirstRow_ = 0;
  return true;
}

XlsCell* XlsSpooledBook::CellAt(int row, int column) {
  if (!block_ || row < blockFirstRow_ || row > kMaxRow) return nullptr;
  if (row >= blockFirstRow_ + kRowsPerBlock) {
    WriteBlock();
    blockFirstRow_ = row - row % kRowsPerBlock;
  }
  return block_->CellAt(row - blockFirstRow_, column);
}

// The block's cell records go to the spill file, after an empty DBCELL for each block without
// cells since the last one written (as XlsBook writes them); a block without cells waits,
// since no block follows the sheet's last cell.
void XlsSpooledBook::WriteBlock() {
  Sheet& sheet = sheets_.back();
  int firstRow = -1, lastRow = -1;
  for (int row = 0; row < block_->RowCount(); ++row) {
    const int width = std::min(block_->RowWidth(row), block_->ColumnCount());
    for (int column = 0; column < width; ++column) {
      if (block_->FindCell(row, column)->IsEmpty()) continue;
      if (firstRow < 0) firstRow = row;
      lastRow = row;
      sheet.firstColumn = std::min(sheet.firstColumn, column);
      sheet.lastColumn = std::max(sheet.lastColumn, column);
    }
  }
  if (firstRow >= 0) {
    if (sheet.firstRow < 0) sheet.firstRow = blockFirstRow_ + firstRow;
    sheet.lastRow = blockFirstRow_ + lastRow;
    records_.clear();
    const int block = blockFirstRow_ / kRowsPerBlock;
    const std::uint64_t start = spill_.Size() - sheet.spillStart;
    for (; sheet.nextBlock < block; ++sheet.nextBlock) {
      sheet.dbCellOffsets.push_back(static_cast<std::uint32_t>(start + records_.size()));
      biff::AppendDbCell(records_, 0, {});
    }
    const std::size_t dbCell =
        AppendRowBlock(records_, *block_, 0, blockFirstRow_, static_cast<std::uint16_t>(sheet.lastColumn + 1), sst_);
    sheet.dbCellOffsets.push_back(static_cast<std::uint32_t>(start + dbCell));
    sheet.nextBlock = block + 1;
    if (!spill_.Append(records_.data(), records_.size())) Fail(spill_.ErrorString());
    sheet.spillSize = spill_.Size() - sheet.spillStart;
  }
  block_ = std::make_unique<XlsSheet>(sheet.name);
}

// Globals: BOF, WINDOW1, FONTs, XFs, STYLEs, BOUNDSHEETs, SST, EOF. Then per sheet: BOF,
// INDEX, DIMENSIONS, row blocks (from the spill file), WINDOW2, EOF. `parts` holds the bytes
// of the pieces that are in memory.
std::vector<XlsSpooledBook::Piece> XlsSpooledBook::WorkbookPieces(std::vector<std::vector<std::uint8_t>>& parts) {
  const BiffRecord sstRecord = sst_.BuildRecord();
  parts.reserve(1 + 2 * sheets_.size());  // the pieces point into it
  std::vector<std::uint8_t>& globals = parts.emplace_back();
  biff::MakeBof(biff::kBofGlobals).AppendTo(globals);
  biff::MakeWindow1().AppendTo(globals);
  for (int i = 0; i < biff::kDefaultFontCount; ++i) biff::MakeFont().AppendTo(globals);
  for (int i = 0; i < biff::kDefaultCellFormatCount; ++i) biff::MakeXf().AppendTo(globals);
  for (int i = 0; i < biff::kDefaultStyleCount; ++i) biff::MakeStyle().AppendTo(globals);

  std::size_t position = globals.size() + sstRecord.WrittenSize() + biff::kEofSize;
  for (const Sheet& sheet : sheets_) position += biff::MakeBoundSheet(sheet.name, 0).WrittenSize();
  std::vector<std::size_t> sheetPositions;
  for (const Sheet& sheet : sheets_) {
    sheetPositions.push_back(position);
    position += biff::kBofSize + IndexSize(sheet.dbCellOffsets.size()) + biff::kDimensionsSize + sheet.spillSize +
                biff::kWindow2Size + biff::kEofSize;
  }
  for (std::size_t i = 0; i < sheets_.size(); ++i)
    biff::MakeBoundSheet(sheets_[i].name, static_cast<std::uint32_t>(sheetPositions[i])).AppendTo(globals);
  sstRecord.AppendTo(globals);
  biff::MakeEof().AppendTo(globals);

  std::vector<Piece> pieces{{&globals, 0, globals.size()}};
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    const Sheet& sheet = sheets_[i];
    const bool hasCells = sheet.firstRow >= 0;
    const auto rwMic = static_cast<std::uint32_t>(hasCells ? sheet.firstRow : 0);
    const auto rwMac = static_cast<std::uint32_t>(hasCells ? sheet.lastRow + 1 : 0);
    const auto colMic = static_cast<std::uint16_t>(hasCells ? sheet.firstColumn : 0);
    const auto colMac = static_cast<std::uint16_t>(hasCells ? sheet.lastColumn + 1 : 0);
    const std::size_t rowBlocksStart =
        sheetPositions[i] + biff::kBofSize + IndexSize(sheet.dbCellOffsets.size()) + biff::kDimensionsSize;
    std::vector<std::uint32_t> dbCellPositions;
    for (std::uint32_t offset : sheet.dbCellOffsets)
      dbCellPositions.push_back(static_cast<std::uint32_t>(rowBlocksStart + offset));
    std::vector<std::uint8_t>& head = parts.emplace_back();
    biff::MakeBof(biff::kBofWorksheet).AppendTo(head);
    biff::MakeIndex(rwMic, rwMac, dbCellPositions).AppendTo(head);
    biff::MakeDimensions(rwMic, rwMac, colMic, colMac).AppendTo(head);
    std::vector<std::uint8_t>& tail = parts.emplace_back();
    biff::MakeWindow2(i == 0).AppendTo(tail);
    biff::MakeEof().AppendTo(tail);
    pieces.push_back({&head, 0, head.size()});
    pieces.push_back({nullptr, sheet.spillStart, sheet.spillSize});
    pieces.push_back({&tail, 0, tail.size()});
  }
  return pieces;
}

bool XlsSpooledBook::SaveToFile() {
  if (sheets_.empty() || !spill_.IsOpen()) return false;
  if (block_) WriteBlock();
  block_.reset();
  if (!error_.empty()) return false;

  std::vector<std::vector<std::uint8_t>> parts;
  const std::vector<Piece> pieces = WorkbookPieces(parts);
  std::uint64_t length = 0;
  for (const Piece& piece : pieces) length += piece.size;
  std::size_t current = 0;
  std::uint64_t done = 0;  // within the current piece
  const auto source = [&](std::uint8_t* buffer, std::size_t capacity) -> std::size_t {
    std::size_t filled = 0;
    while (filled < capacity && current < pieces.size()) {
      const Piece& piece = pieces[current];
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(capacity - filled, piece.size - done));
      if (piece.bytes)
        std::memcpy(buffer + filled, piece.bytes->data() + done, count);
      else if (!spill_.ReadAt(piece.spillOffset + done, buffer + filled, count))
        return 0;
      filled += count;
      done += count;
      if (done == piece.size) {
        ++current;
        done = 0;
      }
    }
    return filled;
  };

  CfbFile container;
  if (!container.CreateContainer(path_)) return Fail(container.ErrorString());
  int result = container.AddStream(kWorkbookStreamName);
  if (result == kCfbOk) result = container.WriteStreamFrom(kWorkbookStreamName, length, source);
  // A half-built container never replaces the file at the path.
  if (result != kCfbOk) {
    if (spill_.ErrorNumber() != 0) {
      container.DiscardContainer();
      return Fail(spill_.ErrorString());
    }
    if (result == kCfbWriteFailed) {
      container.CloseContainer();
      return Fail(container.ErrorString());
    }
    container.DiscardContainer();
    return false;
  }
  // Closing syncs the container and renames it into place; late write errors show here.
  return container.CloseContainer() || Fail(container.ErrorString());
}

}  // namespace xls
