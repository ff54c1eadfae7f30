#include "BiffRecords.h"

#include <algorithm>
#include <bit>
#include <iterator>

#include "LittleEndian.h"

namespace xls::biff {
namespace {

// BOF
constexpr std::uint16_t kBiff8Version = 0x0600;
constexpr std::uint16_t kBuildId = 6560;
constexpr std::uint16_t kBuildYear = 1997;
constexpr std::uint32_t kFileHistoryFlags = 0x0000C0C9;
constexpr std::uint32_t kLowestVersion = 0x00000306;

// WINDOW1: window position and size in twips, tab bar settings.
constexpr std::uint16_t kWindowX = 120;
constexpr std::uint16_t kWindowY = 120;
constexpr std::uint16_t kWindowWidth = 15135;
constexpr std::uint16_t kWindowHeight = 9300;
constexpr std::uint16_t kWindow1Flags = 0x0038;  // scroll bars and sheet tabs shown
constexpr std::uint16_t kSelectedTabCount = 1;
constexpr std::uint16_t kTabRatio = 600;

// FONT: 10-point Arial, automatic colour, normal weight.
constexpr std::uint16_t kFontHeight = 200;
constexpr std::uint16_t kAutomaticColour = 0x7FFF;
constexpr std::uint16_t kNormalWeight = 400;
constexpr char16_t kFontName[] = u"Arial";

// XF: style XF, locked, bottom-aligned, default pattern colours.
constexpr std::uint16_t kXfStyleLocked = 0xFFF5;
constexpr std::uint8_t kXfAlignBottom = 0x20;
constexpr std::uint16_t kXfFillColours = 0x20C0;

// STYLE: built-in "Normal" on cell format 0.
constexpr std::uint16_t kBuiltInStyleXf0 = 0x8000;
constexpr std::uint8_t kNormalStyleId = 0;
constexpr std::uint8_t kNoOutlineLevel = 0xFF;

constexpr std::uint16_t kDefaultRowHeight = 0x00FF;  // twips

// WINDOW2: gridlines, headers, zeros, default grid colour, outline symbols, displayed;
// "selected" only on the first sheet.
constexpr std::uint16_t kWindow2Flags = 0x06B6;
constexpr std::uint16_t kWindow2Selected = 0x0200;
constexpr std::uint16_t kHeaderColour = 64;

constexpr std::uint16_t kCellXf = 0;

BiffRecord Record(std::uint16_t id, std::size_t size) {
  BiffRecord record;
  record.id = id;
  record.data.assign(size, 0);
  return record;
}

}  // namespace

BiffRecord MakeBof(std::uint16_t substreamType) {
  BiffRecord r = Record(kBof, 16);
  std::uint8_t* d = r.data.data();
  Put16(d, kBiff8Version);
  Put16(d + 2, substreamType);
  Put16(d + 4, kBuildId);
  Put16(d + 6, kBuildYear);
  Put32(d + 8, kFileHistoryFlags);
  Put32(d + 12, kLowestVersion);
  return r;
}

BiffRecord MakeWindow1() {
  BiffRecord r = Record(kWindow1, 18);
  std::uint8_t* d = r.data.data();
  Put16(d, kWindowX);
  Put16(d + 2, kWindowY);
  Put16(d + 4, kWindowWidth);
  Put16(d + 6, kWindowHeight);
  Put16(d + 8, kWindow1Flags);
  Put16(d + 10, 0);  // active sheet
  Put16(d + 12, 0);  // first visible tab
  Put16(d + 14, kSelectedTabCount);
  Put16(d + 16, kTabRatio);
  return r;
}

BiffRecord MakeFont() {
  constexpr std::size_t nameLength = std::size(kFontName) - 1;
  BiffRecord r = Record(kFont, 16 + 2 * nameLength);
  std::uint8_t* d = r.data.data();
  Put16(d, kFontHeight);
  Put16(d + 2, 0);  // grbit
  Put16(d + 4, kAutomaticColour);
  Put16(d + 6, kNormalWeight);
  // sss, uls, bFamily, bCharSet and reserved stay 0.
  d[14] = static_cast<std::uint8_t>(nameLength);
  d[15] = 1;  // UTF-16 characters
  PutUtf16(d + 16, kFontName, nameLength);
  return r;
}

BiffRecord MakeXf() {
  BiffRecord r = Record(kXf, 20);
  std::uint8_t* d = r.data.data();
  // ifnt 0, ifmt 0
  Put16(d + 4, kXfStyleLocked);
  d[6] = kXfAlignBottom;
  // rotation, indent, used-attribute flags, border lines and colours stay 0.
  Put16(d + 18, kXfFillColours);
  return r;
}

BiffRecord MakeStyle() {
  BiffRecord r = Record(kStyle, 4);
  Put16(r.data.data(), kBuiltInStyleXf0);
  r.data[2] = kNormalStyleId;
  r.data[3] = kNoOutlineLevel;
  return r;
}

BiffRecord MakeBoundSheet(std::string_view name, std::uint32_t bofPosition) {
  BiffRecord r = Record(kBoundSheet, 8 + name.size());
  std::uint8_t* d = r.data.data();
  Put32(d, bofPosition);
  // visible worksheet: hsState 0, dt 0
  d[6] = static_cast<std::uint8_t>(name.size());
  d[7] = 0;  // 8-bit characters
  std::copy(name.begin(), name.end(), d + 8);
  return r;
}

BiffRecord MakeIndex(std::uint32_t rwMic, std::uint32_t rwMac, std::span<const std::uint32_t> dbCellPositions) {
  BiffRecord r = Record(kIndex, 16 + 4 * dbCellPositions.size());
  std::uint8_t* d = r.data.data();
  Put32(d + 4, rwMic);
  Put32(d + 8, rwMac);
  for (std::size_t i = 0; i < dbCellPositions.size(); ++i) Put32(d + 16 + 4 * i, dbCellPositions[i]);
  return r;
}

BiffRecord MakeDimensions(std::uint32_t rwMic, std::uint32_t rwMac, std::uint16_t colMic, std::uint16_t colMac) {
  BiffRecord r = Record(kDimensions, 14);
  std::uint8_t* d = r.data.data();
  Put32(d, rwMic);
  Put32(d + 4, rwMac);
  Put16(d + 8, colMic);
  Put16(d + 10, colMac);
  return r;
}

BiffRecord MakeWindow2(bool selected) {
  BiffRecord r = Record(kWindow2, 18);
  std::uint8_t* d = r.data.data();
  Put16(d, selected ? kWindow2Flags : kWindow2Flags & ~kWindow2Selected);
  // rwTop 0, colLeft 0
  Put16(d + 6, kHeaderColour);
  return r;
}

BiffRecord MakeEof() { return Record(kEof, 0); }

void AppendRow(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t colMac) {
  std::uint8_t* d = AppendRecordHeader(out, kRow, 16);
  Put16(d, row);
  Put16(d + 4, colMac);
  Put16(d + 6, kDefaultRowHeight);
}

void AppendLabelSst(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t col, std::uint32_t sstIndex) {
  std::uint8_t* d = AppendRecordHeader(out, kLabelSst, 10);
  Put16(d, row);
  Put16(d + 2, col);
  Put16(d + 4, kCellXf);
  Put32(d + 6, sstIndex);
}

void AppendRk(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t col, std::uint32_t rk) {
  std::uint8_t* d = AppendRecordHeader(out, kRk, 10);
  Put16(d, row);
  Put16(d + 2, col);
  Put16(d + 4, kCellXf);
  Put32(d + 6, rk);
}

void AppendMulRk(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t firstCol,
                 std::span<const std::uint32_t> rks) {
  std::uint8_t* d = AppendRecordHeader(out, kMulRk, static_cast<std::uint16_t>(6 + 6 * rks.size()));
  Put16(d, row);
  Put16(d + 2, firstCol);
  for (std::size_t i = 0; i < rks.size(); ++i) {
    Put16(d + 4 + 6 * i, kCellXf);
    Put32(d + 6 + 6 * i, rks[i]);
  }
  Put16(d + 4 + 6 * rks.size(), static_cast<std::uint16_t>(firstCol + rks.size() - 1));
}

void AppendNumber(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t col, double value) {
  std::uint8_t* d = AppendRecordHeader(out, kNumber, 14);
  Put16(d, row);
  Put16(d + 2, col);
  Put16(d + 4, kCellXf);
  Put64(d + 6, std::bit_cast<std::uint64_t>(value));
}

void AppendDbCell(std::vector<std::uint8_t>& out, std::uint32_t dbRtrw, std::span<const std::uint16_t> rowOffsets) {
  std::uint8_t* d = AppendRecordHeader(out, kDbCell, static_cast<std::uint16_t>(4 + 2 * rowOffsets.size()));
  Put32(d, dbRtrw);
  for (std::size_t i = 0; i < rowOffsets.size(); ++i) Put16(d + 4 + 2 * i, rowOffsets[i]);
}

}  // namespace xls::biff
