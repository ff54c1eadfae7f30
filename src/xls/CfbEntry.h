#pragma once
// One 128-byte directory entry of a compound document.
#include <cstdint>
#include <string>

namespace xls {

inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;   // FREESECT
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;   // ENDOFCHAIN
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;    // FATSECT
inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;  // DIFSECT
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;     // NOSTREAM

inline constexpr std::size_t kDirectoryEntrySize = 128;
inline constexpr std::size_t kMaxEntryNameLength = 31;  // characters, without the terminator

enum class CfbEntryType : std::uint8_t { Storage = 1, Stream = 2, Root = 5 };

struct CfbEntry {
  std::u16string name;
  CfbEntryType type = CfbEntryType::Storage;
  std::uint32_t leftSibling = kNoStream;
  std::uint32_t rightSibling = kNoStream;
  std::uint32_t child = kNoStream;
  std::uint32_t startSector = kEndOfChain;
  std::uint64_t size = 0;

  bool IsStorage() const { return type != CfbEntryType::Stream; }

  // Serialises the entry into 128 bytes at `out` (colour black, times and class id zero).
  void WriteTo(std::uint8_t* out) const;
};

// Directory order: shorter names first, then by UTF-16 code units.
bool EntryNameLess(const std::u16string& left, const std::u16string& right);

}  // namespace xls
