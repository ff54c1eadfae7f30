#pragma once
// The shared string table (SST) of a workbook: one entry per distinct text in order of
// first use. Entries refer to the texts of the cells, which must then outlive the table, or
// keep copies of them for a workbook whose cells are written and dropped as they go.
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "BiffRecord.h"

namespace xls {

enum class SstTexts : std::uint8_t { Referenced, Copied };

class SharedStringTable {
 public:
  explicit SharedStringTable(SstTexts texts = SstTexts::Referenced) : copies_(texts == SstTexts::Copied) {}

  // Each call counts one text cell; the result is the entry number. 8-bit and UTF-16
  // texts never share an entry, even with the same characters.
  std::uint32_t AddNarrow(std::string_view latin1);
  std::uint32_t AddWide(std::u16string_view text);

  // Room for `texts` more text cells, so a large sheet does not rehash along the way.
  void Reserve(std::size_t texts);

  std::uint32_t TotalCount() const { return total_; }
  std::uint32_t UniqueCount() const { return static_cast<std::uint32_t>(entries_.size()); }

  // The SST record with its CONTINUE cuts: a piece holds at most 8224 bytes; a string that
  // does not fit starts in a new piece when fewer than 12 bytes are left, otherwise it is
  // split and each continuation starts with the string's option byte again. UTF-16
  // characters are never split.
  BiffRecord BuildRecord() const;

 private:
  struct Entry {
    bool wide;
    const void* chars;
    std::uint32_t length;  // characters
  };

  // A copy of `bytes` in the arena (only for new entries of a copying table).
  const void* Keep(const void* bytes, std::size_t size);

  bool copies_;
  std::vector<std::unique_ptr<std::uint8_t[]>> arena_;
  std::size_t arenaUsed_ = 0, arenaSize_ = 0;
  std::uint32_t total_ = 0;
  std::vector<Entry> entries_;
  std::unordered_map<std::string_view, std::uint32_t> narrowIndex_;
  std::unordered_map<std::u16string_view, std::uint32_t> wideIndex_;
};

}  // namespace xls
