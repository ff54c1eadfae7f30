#include "SharedStringTable.h"

#include <algorithm>
#include <cstring>

#include "BiffRecords.h"
#include "LittleEndian.h"

namespace xls {
namespace {

constexpr std::size_t kStringHeaderSize = 3;  // character count, option byte
constexpr std::size_t kMinimumSplitRoom = 12;
constexpr std::uint8_t kOptionNarrow = 0;
constexpr std::uint8_t kOptionWide = 1;
constexpr std::size_t kArenaBlockSize = 256 * 1024;

}  // namespace

void SharedStringTable::Reserve(std::size_t texts) {
  entries_.reserve(entries_.size() + texts);
  wideIndex_.reserve(wideIndex_.size() + texts);
}

// Texts are stored in large blocks, 2-byte aligned for UTF-16; a text larger than a block
// gets one of its own.
const void* SharedStringTable::Keep(const void* bytes, std::size_t size) {
  arenaUsed_ += arenaUsed_ % 2;
  if (arenaUsed_ + size > arenaSize_) {
    arenaSize_ = std::max(size, kArenaBlockSize);
    arena_.push_back(std::make_unique<std::uint8_t[]>(arenaSize_));
    arenaUsed_ = 0;
  }
  std::uint8_t* copy = arena_.back().get() + arenaUsed_;
  if (size > 0) std::memcpy(copy, bytes, size);
  arenaUsed_ += size;
  return copy;
}

std::uint32_t SharedStringTable::AddNarrow(std::string_view latin1) {
  ++total_;
  if (const auto found = narrowIndex_.find(latin1); found != narrowIndex_.end()) return found->second;
  if (copies_) latin1 = {static_cast<const char*>(Keep(latin1.data(), latin1.size())), latin1.size()};
  const auto index = static_cast<std::uint32_t>(entries_.size());
  narrowIndex_.emplace(latin1, index);
  entries_.push_back({false, latin1.data(), static_cast<std::uint32_t>(latin1.size())});
  return index;
}

std::uint32_t SharedStringTable::AddWide(std::u16string_view text) {
  ++total_;
  if (const auto found = wideIndex_.find(text); found != wideIndex_.end()) return found->second;
  if (copies_) text = {static_cast<const char16_t*>(Keep(text.data(), text.size() * 2)), text.size()};
  const auto index = static_cast<std::uint32_t>(entries_.size());
  wideIndex_.emplace(text, index);
  entries_.push_back({true, text.data(), static_cast<std::uint32_t>(text.size())});
  return index;
}

BiffRecord SharedStringTable::BuildRecord() const {
  BiffRecord record;
  record.id = biff::kSst;
  std::vector<std::uint8_t>& data = record.data;
  std::size_t bytes = 8;
  for (const Entry& entry : entries_) bytes += kStringHeaderSize + entry.length * (entry.wide ? 2 : 1);
  data.reserve(bytes + bytes / kMaxRecordData + 1);

  std::uint8_t* counts = Extend(data, 8);
  Put32(counts, total_);
  Put32(counts + 4, UniqueCount());

  std::size_t pieceStart = 0;
  auto roomLeft = [&] { return kMaxRecordData - (data.size() - pieceStart); };
  auto startPiece = [&] {
    pieceStart = data.size();
    record.cuts.push_back(pieceStart);
  };
  for (const Entry& entry : entries_) {
    const std::size_t width = entry.wide ? 2 : 1;
    const std::uint8_t option = entry.wide ? kOptionWide : kOptionNarrow;
    if (kStringHeaderSize + entry.length * width > roomLeft() && roomLeft() < kMinimumSplitRoom) startPiece();
    std::uint8_t* header = Extend(data, kStringHeaderSize);
    Put16(header, static_cast<std::uint16_t>(entry.length));
    header[2] = option;
    for (std::size_t done = 0;;) {
      const std::size_t count = std::min<std::size_t>(roomLeft() / width, entry.length - done);
      std::uint8_t* out = Extend(data, count * width);
      if (entry.wide)
        PutUtf16(out, static_cast<const char16_t*>(entry.chars) + done, count);
      else if (count > 0)
        std::memcpy(out, static_cast<const char*>(entry.chars) + done, count);
      done += count;
      if (done == entry.length) break;
      startPiece();
      *Extend(data, 1) = option;
    }
  }
  return record;
}

}  // namespace xls
