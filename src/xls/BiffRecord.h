#pragma once
// One BIFF8 record: id, data and where the data is cut into CONTINUE pieces.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace xls {

inline constexpr std::size_t kMaxRecordData = 8224;  // data bytes one record may carry
inline constexpr std::uint16_t kContinueRecordId = 0x003C;

struct BiffRecord {
  std::uint16_t id = 0;
  std::vector<std::uint8_t> data;
  // Offsets into `data` where a CONTINUE piece starts, ascending. When empty, data longer
  // than kMaxRecordData is cut every kMaxRecordData bytes.
  std::vector<std::size_t> cuts;

  // Size as written, with the 4-byte header of the record and of each CONTINUE piece.
  std::size_t WrittenSize() const;
  // Writes the record and its CONTINUE pieces at `out`; returns the end.
  std::uint8_t* WriteTo(std::uint8_t* out) const;
  void AppendTo(std::vector<std::uint8_t>& out) const;

 private:
  std::vector<std::size_t> PieceStarts() const;
};

// Appends a record header (id, data length) and returns where the data goes.
std::uint8_t* AppendRecordHeader(std::vector<std::uint8_t>& out, std::uint16_t id, std::uint16_t length);

}  // namespace xls
