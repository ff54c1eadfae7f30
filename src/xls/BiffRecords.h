#pragma once
// The records of a workbook stream with the field values this writer uses. Record and
// field names follow the published BIFF8 layout.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "BiffRecord.h"

namespace xls::biff {

inline constexpr std::uint16_t kBof = 0x0809;
inline constexpr std::uint16_t kEof = 0x000A;
inline constexpr std::uint16_t kWindow1 = 0x003D;
inline constexpr std::uint16_t kFont = 0x0031;
inline constexpr std::uint16_t kXf = 0x00E0;
inline constexpr std::uint16_t kStyle = 0x0293;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kIndex = 0x020B;
inline constexpr std::uint16_t kDimensions = 0x0200;
inline constexpr std::uint16_t kRow = 0x0208;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kDbCell = 0x00D7;
inline constexpr std::uint16_t kWindow2 = 0x023E;

inline constexpr std::uint16_t kBofGlobals = 0x0005;
inline constexpr std::uint16_t kBofWorksheet = 0x0010;

// Written sizes (header included) of the fixed-size records.
inline constexpr std::size_t kBofSize = 4 + 16;
inline constexpr std::size_t kDimensionsSize = 4 + 14;
inline constexpr std::size_t kRowSize = 4 + 16;
inline constexpr std::size_t kLabelSstSize = 4 + 10;
inline constexpr std::size_t kRkSize = 4 + 10;
inline constexpr std::size_t kNumberSize = 4 + 14;
inline constexpr std::size_t kWindow2Size = 4 + 18;
inline constexpr std::size_t kEofSize = 4;

// How many FONT, XF and STYLE records every workbook carries (all alike, cell format 0 used).
inline constexpr int kDefaultFontCount = 4;
inline constexpr int kDefaultCellFormatCount = 21;
inline constexpr int kDefaultStyleCount = 6;

BiffRecord MakeBof(std::uint16_t substreamType);
BiffRecord MakeWindow1();
BiffRecord MakeFont();
BiffRecord MakeXf();
BiffRecord MakeStyle();
// `name` is 8-bit text (at most 255 bytes).
BiffRecord MakeBoundSheet(std::string_view name, std::uint32_t bofPosition);
BiffRecord MakeIndex(std::uint32_t rwMic, std::uint32_t rwMac, std::span<const std::uint32_t> dbCellPositions);
BiffRecord MakeDimensions(std::uint32_t rwMic, std::uint32_t rwMac, std::uint16_t colMic, std::uint16_t colMac);
BiffRecord MakeWindow2(bool selected);
BiffRecord MakeEof();

// Cell-table records are appended straight to the sheet's bytes: there are many of them.
void AppendRow(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t colMac);
void AppendLabelSst(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t col, std::uint32_t sstIndex);
void AppendRk(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t col, std::uint32_t rk);
void AppendMulRk(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t firstCol,
                 std::span<const std::uint32_t> rks);
void AppendNumber(std::vector<std::uint8_t>& out, std::uint16_t row, std::uint16_t col, double value);
void AppendDbCell(std::vector<std::uint8_t>& out, std::uint32_t dbRtrw, std::span<const std::uint16_t> rowOffsets);

}  // namespace xls::biff
