#include "BiffRecord.h"

#include <algorithm>

#include "LittleEndian.h"

namespace xls {
namespace {
constexpr std::size_t kRecordHeaderSize = 4;
}

std::vector<std::size_t> BiffRecord::PieceStarts() const {
  std::vector<std::size_t> starts{0};
  if (!cuts.empty()) {
    starts.insert(starts.end(), cuts.begin(), cuts.end());
  } else {
    for (std::size_t at = kMaxRecordData; at < data.size(); at += kMaxRecordData) starts.push_back(at);
  }
  return starts;
}

std::size_t BiffRecord::WrittenSize() const { return PieceStarts().size() * kRecordHeaderSize + data.size(); }

std::uint8_t* BiffRecord::WriteTo(std::uint8_t* out) const {
  const std::vector<std::size_t> starts = PieceStarts();
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : data.size();
    const std::size_t length = end - starts[i];
    Put16(out, i == 0 ? id : kContinueRecordId);
    Put16(out + 2, static_cast<std::uint16_t>(length));
    std::copy_n(data.data() + starts[i], length, out + kRecordHeaderSize);
    out += kRecordHeaderSize + length;
  }
  return out;
}

void BiffRecord::AppendTo(std::vector<std::uint8_t>& out) const { WriteTo(Extend(out, WrittenSize())); }

std::uint8_t* AppendRecordHeader(std::vector<std::uint8_t>& out, std::uint16_t id, std::uint16_t length) {
  std::uint8_t* at = Extend(out, kRecordHeaderSize + length);
  Put16(at, id);
  Put16(at + 2, length);
  return at + kRecordHeaderSize;
}

}  // namespace xls
