#include "CfbEntry.h"

#include <cstring>

#include "LittleEndian.h"

namespace xls {
namespace {
constexpr std::uint8_t kColourBlack = 1;
}

void CfbEntry::WriteTo(std::uint8_t* out) const {
  std::memset(out, 0, kDirectoryEntrySize);
  PutUtf16(out, name.data(), name.size());
  Put16(out + 64, static_cast<std::uint16_t>((name.size() + 1) * 2));
  out[66] = static_cast<std::uint8_t>(type);
  out[67] = kColourBlack;
  Put32(out + 68, leftSibling);
  Put32(out + 72, rightSibling);
  Put32(out + 76, child);
  Put32(out + 116, startSector);
  Put64(out + 120, size);
}

bool EntryNameLess(const std::u16string& left, const std::u16string& right) {
  if (left.size() != right.size()) return left.size() < right.size();
  return left < right;
}

}  // namespace xls
