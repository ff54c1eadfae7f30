#include "CfbFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>

#include "LittleEndian.h"
#include "SaveFile.h"

namespace xls {
namespace {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::size_t kMiniStreamCutoff = 4096;
constexpr std::size_t kEntriesPerFatSector = kSectorSize / 4;
constexpr std::size_t kEntriesPerDirectorySector = kSectorSize / kDirectoryEntrySize;
constexpr std::size_t kHeaderDifatSlots = 109;
constexpr std::size_t kDifatSlotsPerSector = kEntriesPerFatSector - 1;  // last slot links on
constexpr std::size_t kCopyBufferSize = 256 * 1024;

constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
// Minor version 0x003B as this writer has always stamped it; readers ignore the field.
constexpr std::uint16_t kMinorVersion = 0x003B;
constexpr std::uint16_t kMajorVersion = 3;
constexpr std::uint16_t kByteOrderMark = 0xFFFE;
constexpr std::uint16_t kSectorShift = 9;
constexpr std::uint16_t kMiniSectorShift = 6;
constexpr char16_t kRootName[] = u"Root Entry";

constexpr std::array<std::uint8_t, kSectorSize> kZeroSector{};

std::uint64_t SectorOffset(std::uint32_t sector) { return (static_cast<std::uint64_t>(sector) + 1) * kSectorSize; }

// Follows a chain through `table`; stops at anything that is not a sector number, and
// never loops longer than the table (a cycle cannot arise, but must not hang either).
std::vector<std::uint32_t> CollectChain(const std::vector<std::uint32_t>& table, std::uint32_t start) {
  std::vector<std::uint32_t> chain;
  for (std::uint32_t sector = start; sector < table.size() && chain.size() < table.size(); sector = table[sector])
    chain.push_back(sector);
  return chain;
}

// UTF-8 to UTF-16; nullopt for malformed input.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    char32_t code = lead;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, code = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, code = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, code = lead & 0x07, smallest = 0x10000;
    } else if (lead >= 0x80) {
      return std::nullopt;
    }
    if (text.size() - i <= extra) return std::nullopt;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      code = (code << 6) | (next & 0x3F);
    }
    if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    if (code >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(code));
    }
    i += extra + 1;
  }
  return out;
}

struct ParsedPath {
  bool fromRoot = false;
  std::vector<std::u16string_view> parts;  // storages, then the final name
};

bool IsDotName(std::u16string_view part) { return part == u"." || part == u".."; }

// Splits a '\'-separated path. Empty components, dot names in last place and characters
// the format forbids in names ('/', ':', '!', NUL) make the path invalid.
int ParsePath(std::u16string_view path, ParsedPath& parsed) {
  if (!path.empty() && path.front() == u'\\') {
    parsed.fromRoot = true;
    path.remove_prefix(1);
  }
  if (path.find_first_of(std::u16string_view(u"/:!\0", 4)) != std::u16string_view::npos) return kCfbInvalidPath;
  for (std::size_t start = 0;;) {
    const std::size_t separator = path.find(u'\\', start);
    const std::u16string_view part = path.substr(start, separator - start);
    if (part.empty()) return kCfbInvalidPath;
    parsed.parts.push_back(part);
    if (separator == std::u16string_view::npos) break;
    start = separator + 1;
  }
  if (IsDotName(parsed.parts.back())) return kCfbInvalidPath;
  for (std::u16string_view part : parsed.parts)
    if (part.size() > kMaxEntryNameLength) return kCfbNameTooLong;
  return kCfbOk;
}

}  // namespace

CfbFile::~CfbFile() { CloseContainer(); }

void CfbFile::Reset() {
  file_.reset();  // removes a temporary that was not put in place
  fd_ = -1;
  writeFailed_ = false;
  writeError_ = 0;
  fat_.clear();
  miniFat_.clear();
  fatSectors_.clear();
  difatSectors_.clear();
  directorySectors_.clear();
  miniFatSectors_.clear();
  miniStream_.clear();
  freeSearchStart_ = 0;
  directory_ = Directory{};
}

bool CfbFile::CreateContainer(const std::string& path) {
  CloseContainer();
  error_.clear();
  file_ = std::make_unique<platform::SaveFile>(path);
  if (!file_->Open()) {
    error_ = file_->ErrorString();
    Reset();
    return false;
  }
  fd_ = file_->Descriptor();

  // Sector 0 holds the FAT, sector 1 the directory.
  fat_.assign(kEntriesPerFatSector, kFreeSector);
  fat_[0] = kFatSector;
  fat_[1] = kEndOfChain;
  fatSectors_ = {0};
  directorySectors_ = {1};
  freeSearchStart_ = 2;

  CfbEntry root;
  root.name = kRootName;
  root.type = CfbEntryType::Root;
  directory_.entries.push_back(root);
  directory_.children.emplace_back();
  directory_.parents.push_back(0);
  directory_.current = 0;

  SaveStructure();
  if (writeFailed_) {
    CloseContainer();
    return false;
  }
  return true;
}

std::string CfbFile::WorkingPath() const { return file_ ? file_->TemporaryPath() : std::string(); }

bool CfbFile::CloseContainer() {
  if (!file_) {
    Reset();
    return true;
  }
  if (writeFailed_) file_->MarkFailed(writeError_);
  const bool ok = file_->Commit();
  if (!ok) error_ = file_->ErrorString();
  Reset();
  return ok;
}

void CfbFile::DiscardContainer() { Reset(); }

int CfbFile::AddStream(std::string_view utf8Path) {
  const std::optional<std::u16string> path = Utf8ToUtf16(utf8Path);
  return path ? AddStream(*path) : kCfbInvalidPath;
}

int CfbFile::WriteStream(std::string_view utf8Path, const void* data, std::size_t length) {
  const std::optional<std::u16string> path = Utf8ToUtf16(utf8Path);
  return path ? WriteStream(*path, data, length) : kCfbStreamNotFound;
}

int CfbFile::AddStream(std::u16string_view path) {
  if (!IsContainerOpen()) return kCfbWriteFailed;
  // A failing path must change nothing, also when storages on the way were already made.
  Directory before = directory_;
  const int result = AddEntry(path);
  if (result != kCfbOk) {
    directory_ = std::move(before);
    return result;
  }
  SaveStructure();
  return writeFailed_ ? kCfbWriteFailed : kCfbOk;
}

int CfbFile::AddEntry(std::u16string_view path) {
  ParsedPath parsed;
  if (const int result = ParsePath(path, parsed); result != kCfbOk) return result;
  Directory& dir = directory_;
  if (parsed.fromRoot) dir.current = 0;
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
    const std::u16string_view part = parsed.parts[i];
    if (part == u".") continue;
    if (part == u"..") {
      if (dir.current == 0) return kCfbStorageNotFound;
      dir.current = dir.parents[dir.current];
      continue;
    }
    std::uint32_t child = FindChild(dir.current, part);
    if (child == kNoStream) {
      CfbEntry storage;
      storage.name = part;
      storage.type = CfbEntryType::Storage;
      child = InsertEntry(std::move(storage), dir.current);
    } else if (!dir.entries[child].IsStorage()) {
      return kCfbStorageNotFound;
    }
    dir.current = child;
  }
  const std::u16string_view name = parsed.parts.back();
  if (FindChild(dir.current, name) != kNoStream) return kCfbNameExists;
  CfbEntry stream;
  stream.name = name;
  stream.type = CfbEntryType::Stream;
  InsertEntry(std::move(stream), dir.current);
  return kCfbOk;
}

int CfbFile::FindStream(std::u16string_view path, std::uint32_t& index) const {
  ParsedPath parsed;
  if (ParsePath(path, parsed) != kCfbOk) return kCfbStreamNotFound;
  std::uint32_t storage = parsed.fromRoot ? 0 : directory_.current;
  for (std::size_t i = 0; i + 1 < parsed.parts.size(); ++i) {
    const std::u16string_view part = parsed.parts[i];
    if (part == u".") continue;
    if (part == u"..") {
      if (storage == 0) return kCfbStreamNotFound;
      storage = directory_.parents[storage];
      continue;
    }
    storage = FindChild(storage, part);
    if (storage == kNoStream || !directory_.entries[storage].IsStorage()) return kCfbStreamNotFound;
  }
  index = FindChild(storage, parsed.parts.back());
  if (index == kNoStream || directory_.entries[index].IsStorage()) return kCfbStreamNotFound;
  return kCfbOk;
}

std::uint32_t CfbFile::FindChild(std::uint32_t storage, std::u16string_view name) const {
  for (std::uint32_t child : directory_.children[storage])
    if (directory_.entries[child].name == name) return child;
  return kNoStream;
}

// Entries after the root stay sorted by name (EntryNameLess); inserting shifts every
// stored index at or after the insertion point by one.
std::uint32_t CfbFile::InsertEntry(CfbEntry entry, std::uint32_t parent) {
  Directory& dir = directory_;
  std::uint32_t at = 1;
  while (at < dir.entries.size() && EntryNameLess(dir.entries[at].name, entry.name)) ++at;
  auto shift = [at](std::uint32_t& index) {
    if (index >= at) ++index;
  };
  for (auto& children : dir.children)
    for (std::uint32_t& child : children) shift(child);
  for (std::uint32_t& index : dir.parents) shift(index);
  shift(dir.current);
  shift(parent);

  dir.entries.insert(dir.entries.begin() + at, std::move(entry));
  dir.children.insert(dir.children.begin() + at, std::vector<std::uint32_t>{});
  dir.parents.insert(dir.parents.begin() + at, parent);
  auto& siblings = dir.children[parent];
  siblings.insert(std::lower_bound(siblings.begin(), siblings.end(), at), at);
  for (std::uint32_t i = 0; i < dir.entries.size(); ++i)
    if (dir.entries[i].IsStorage()) Relink(i);
  return at;
}

// Children c0 … c(n−1) in index order hang from c(n/2): the ones before it as a chain of
// left siblings, the ones after it as a chain of right siblings.
void CfbFile::Relink(std::uint32_t storage) {
  const auto& kids = directory_.children[storage];
  auto& entries = directory_.entries;
  if (kids.empty()) {
    entries[storage].child = kNoStream;
    return;
  }
  const std::size_t middle = kids.size() / 2;
  entries[storage].child = kids[middle];
  for (std::size_t i = 0; i < kids.size(); ++i) {
    CfbEntry& entry = entries[kids[i]];
    entry.leftSibling = (i >= 1 && i <= middle) ? kids[i - 1] : kNoStream;
    entry.rightSibling = (i >= middle && i + 1 < kids.size()) ? kids[i + 1] : kNoStream;
  }
}

int CfbFile::WriteStream(std::u16string_view path, const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return WriteStreamFrom(path, length, [&bytes](std::uint8_t* buffer, std::size_t capacity) {
    std::copy_n(bytes, capacity, buffer);
    bytes += capacity;
    return capacity;
  });
}

int CfbFile::WriteStreamFrom(std::u16string_view path, std::size_t length, const CfbStreamSource& source) {
  if (!IsContainerOpen()) return kCfbWriteFailed;
  std::uint32_t index = 0;
  if (const int result = FindStream(path, index); result != kCfbOk) return result;
  if (length > 0xFFFFFFFFu) {  // version 3 holds 32-bit sizes only
    writeFailed_ = true;
    writeError_ = EFBIG;
    return kCfbWriteFailed;
  }

  const bool wasMini = directory_.entries[index].size < kMiniStreamCutoff;
  const bool isMini = length < kMiniStreamCutoff;
  std::uint32_t start = directory_.entries[index].startSector;
  if (wasMini && !isMini) {
    FreeMiniChain(start);
    start = kEndOfChain;
  } else if (!wasMini && isMini) {
    FreeChain(start);
    start = kEndOfChain;
  }
  if (isMini) {
    std::vector<std::uint8_t> bytes(length);
    std::size_t got = 0;
    while (got < length) {
      const std::size_t n = source(bytes.data() + got, length - got);
      if (n == 0) break;
      got += n;
    }
    if (got < length) {
      writeFailed_ = true;
      writeError_ = EIO;
    }
    WriteMiniChain(start, bytes.data(), length);
  } else {
    WriteRegularChain(start, length, source);
  }
  directory_.entries[index].startSector = start;
  directory_.entries[index].size = length;
  if (wasMini || isMini) UpdateMiniStreamContainer();
  SaveStructure();
  return writeFailed_ ? kCfbWriteFailed : kCfbOk;
}

std::uint32_t CfbFile::AllocateSector() {
  for (;;) {
    for (std::size_t i = freeSearchStart_; i < fat_.size(); ++i) {
      if (fat_[i] == kFreeSector) {
        fat_[i] = kEndOfChain;
        freeSearchStart_ = i + 1;
        return static_cast<std::uint32_t>(i);
      }
    }
    freeSearchStart_ = fat_.size();
    GrowFat();
  }
}

// The new FAT sector is the first sector the FAT does not cover yet. The header lists the
// first 109 FAT sectors; the rest are listed in DIFAT sectors (127 each), which are taken
// from the newly covered range and marked DIFSECT.
void CfbFile::GrowFat() {
  const auto newSector = static_cast<std::uint32_t>(fat_.size());
  fat_.resize(fat_.size() + kEntriesPerFatSector, kFreeSector);
  fat_[newSector] = kFatSector;
  fatSectors_.push_back(newSector);
  if (fatSectors_.size() <= kHeaderDifatSlots) return;
  const std::size_t listed = fatSectors_.size() - kHeaderDifatSlots;
  const std::size_t difatNeeded = (listed + kDifatSlotsPerSector - 1) / kDifatSlotsPerSector;
  if (difatSectors_.size() >= difatNeeded) return;
  const std::uint32_t difat = AllocateSector();  // the new range has free entries
  fat_[difat] = kDifatSector;
  difatSectors_.push_back(difat);
}

std::uint32_t CfbFile::AllocateMiniSector() {
  for (;;) {
    for (std::size_t i = 0; i < miniFat_.size(); ++i) {
      if (miniFat_[i] == kFreeSector) {
        miniFat_[i] = kEndOfChain;
        return static_cast<std::uint32_t>(i);
      }
    }
    const std::uint32_t sector = AllocateSector();
    if (!miniFatSectors_.empty()) fat_[miniFatSectors_.back()] = sector;
    miniFatSectors_.push_back(sector);
    miniFat_.resize(miniFat_.size() + kEntriesPerFatSector, kFreeSector);
  }
}

void CfbFile::FreeChain(std::uint32_t start) {
  for (std::uint32_t sector : CollectChain(fat_, start)) {
    fat_[sector] = kFreeSector;
    freeSearchStart_ = std::min<std::size_t>(freeSearchStart_, sector);
  }
}

void CfbFile::FreeMiniChain(std::uint32_t start) {
  for (std::uint32_t sector : CollectChain(miniFat_, start)) {
    miniFat_[sector] = kFreeSector;
    const std::size_t offset = sector * kMiniSectorSize;
    if (offset < miniStream_.size())
      std::fill_n(miniStream_.begin() + static_cast<std::ptrdiff_t>(offset), kMiniSectorSize, 0);
  }
}

void CfbFile::WriteRegularChain(std::uint32_t& start, const std::uint8_t* data, std::size_t length) {
  WriteRegularChain(start, length, [&data](std::uint8_t* buffer, std::size_t capacity) {
    std::copy_n(data, capacity, buffer);
    data += capacity;
    return capacity;
  });
}

void CfbFile::WriteRegularChain(std::uint32_t& start, std::size_t length, const CfbStreamSource& source) {
  std::vector<std::uint32_t> chain = CollectChain(fat_, start);
  const std::size_t needed = (length + kSectorSize - 1) / kSectorSize;
  if (chain.size() > needed) {
    if (needed == 0)
      start = kEndOfChain;
    else
      fat_[chain[needed - 1]] = kEndOfChain;
    for (std::size_t i = needed; i < chain.size(); ++i) {
      fat_[chain[i]] = kFreeSector;
      freeSearchStart_ = std::min<std::size_t>(freeSearchStart_, chain[i]);
    }
    chain.resize(needed);
  }
  while (chain.size() < needed) {
    const std::uint32_t sector = AllocateSector();
    if (chain.empty())
      start = sector;
    else
      fat_[chain.back()] = sector;
    chain.push_back(sector);
  }
  // Runs of consecutive sectors are written in pieces of the buffer; the last sector is
  // padded with zeros.
  std::vector<std::uint8_t> buffer(std::min(length, kCopyBufferSize));
  std::size_t written = 0;
  for (std::size_t i = 0; i < chain.size() && !writeFailed_;) {
    std::size_t end = i + 1;
    while (end < chain.size() && chain[end] == chain[end - 1] + 1) ++end;
    const std::size_t runBytes = (end - i) * kSectorSize;
    const std::size_t dataBytes = std::min(runBytes, length - written);
    for (std::size_t done = 0; done < dataBytes && !writeFailed_;) {
      const std::size_t got = source(buffer.data(), std::min(buffer.size(), dataBytes - done));
      if (got == 0) {
        writeFailed_ = true;
        writeError_ = EIO;
        break;
      }
      WriteAt(SectorOffset(chain[i]) + done, buffer.data(), got);
      done += got;
    }
    if (dataBytes < runBytes) WriteAt(SectorOffset(chain[i]) + dataBytes, kZeroSector.data(), runBytes - dataBytes);
    written += dataBytes;
    i = end;
  }
}

void CfbFile::WriteMiniChain(std::uint32_t& start, const std::uint8_t* data, std::size_t length) {
  std::vector<std::uint32_t> chain = CollectChain(miniFat_, start);
  const std::size_t needed = (length + kMiniSectorSize - 1) / kMiniSectorSize;
  if (chain.size() > needed) {
    if (needed == 0)
      start = kEndOfChain;
    else
      miniFat_[chain[needed - 1]] = kEndOfChain;
    FreeMiniChain(chain[needed]);  // walks the cut-off rest up to its end
    chain.resize(needed);
  }
  while (chain.size() < needed) {
    const std::uint32_t sector = AllocateMiniSector();
    if (chain.empty())
      start = sector;
    else
      miniFat_[chain.back()] = sector;
    chain.push_back(sector);
  }
  for (std::size_t i = 0; i < chain.size(); ++i) {
    const std::size_t offset = chain[i] * kMiniSectorSize;
    if (miniStream_.size() < offset + kMiniSectorSize) miniStream_.resize(offset + kMiniSectorSize);
    const std::size_t dataBytes = std::min(kMiniSectorSize, length - i * kMiniSectorSize);
    std::copy_n(data + i * kMiniSectorSize, dataBytes, miniStream_.begin() + offset);
    std::fill_n(miniStream_.begin() + offset + dataBytes, kMiniSectorSize - dataBytes, 0);
  }
}

// The mini stream lives in the root entry's stream; its size is the mini sectors in use
// (up to the last one allocated) × 64. Without mini sectors it and the mini FAT go away.
void CfbFile::UpdateMiniStreamContainer() {
  std::size_t used = miniFat_.size();
  while (used > 0 && miniFat_[used - 1] == kFreeSector) --used;
  CfbEntry& root = directory_.entries[0];
  if (used == 0) {
    FreeChain(root.startSector);
    root.startSector = kEndOfChain;
    root.size = 0;
    for (std::uint32_t sector : miniFatSectors_) {
      fat_[sector] = kFreeSector;
      freeSearchStart_ = std::min<std::size_t>(freeSearchStart_, sector);
    }
    miniFatSectors_.clear();
    miniFat_.clear();
    miniStream_.clear();
    return;
  }
  miniStream_.resize(used * kMiniSectorSize);
  std::uint32_t start = root.startSector;
  WriteRegularChain(start, miniStream_.data(), miniStream_.size());
  directory_.entries[0].startSector = start;
  directory_.entries[0].size = miniStream_.size();
}

void CfbFile::SaveStructure() {
  SaveDirectory();  // may allocate sectors, so before the FAT
  SaveMiniFat();
  SaveFat();
  SaveHeader();
}

void CfbFile::SaveDirectory() {
  const auto& entries = directory_.entries;
  const std::size_t sectorsNeeded = (entries.size() + kEntriesPerDirectorySector - 1) / kEntriesPerDirectorySector;
  while (directorySectors_.size() < sectorsNeeded) {
    const std::uint32_t sector = AllocateSector();
    fat_[directorySectors_.back()] = sector;
    directorySectors_.push_back(sector);
  }
  // Unused slots of the last sector stay all zero.
  std::vector<std::uint8_t> bytes(directorySectors_.size() * kSectorSize, 0);
  for (std::size_t i = 0; i < entries.size(); ++i) entries[i].WriteTo(bytes.data() + i * kDirectoryEntrySize);
  for (std::size_t i = 0; i < directorySectors_.size(); ++i)
    WriteSector(directorySectors_[i], bytes.data() + i * kSectorSize);
}

void CfbFile::SaveFat() {
  std::array<std::uint8_t, kSectorSize> sector{};
  for (std::size_t i = 0; i < fatSectors_.size(); ++i) {
    for (std::size_t k = 0; k < kEntriesPerFatSector; ++k)
      Put32(sector.data() + 4 * k, fat_[i * kEntriesPerFatSector + k]);
    WriteSector(fatSectors_[i], sector.data());
  }
  for (std::size_t d = 0; d < difatSectors_.size(); ++d) {
    for (std::size_t k = 0; k < kDifatSlotsPerSector; ++k) {
      const std::size_t listed = kHeaderDifatSlots + d * kDifatSlotsPerSector + k;
      Put32(sector.data() + 4 * k, listed < fatSectors_.size() ? fatSectors_[listed] : kFreeSector);
    }
    const bool last = d + 1 == difatSectors_.size();
    Put32(sector.data() + 4 * kDifatSlotsPerSector, last ? kEndOfChain : difatSectors_[d + 1]);
    WriteSector(difatSectors_[d], sector.data());
  }
}

void CfbFile::SaveMiniFat() {
  std::array<std::uint8_t, kSectorSize> sector{};
  for (std::size_t i = 0; i < miniFatSectors_.size(); ++i) {
    for (std::size_t k = 0; k < kEntriesPerFatSector; ++k)
      Put32(sector.data() + 4 * k, miniFat_[i * kEntriesPerFatSector + k]);
    WriteSector(miniFatSectors_[i], sector.data());
  }
}

void CfbFile::SaveHeader() {
  std::array<std::uint8_t, kSectorSize> header{};
  std::copy(kSignature.begin(), kSignature.end(), header.begin());
  Put16(&header[24], kMinorVersion);
  Put16(&header[26], kMajorVersion);
  Put16(&header[28], kByteOrderMark);
  Put16(&header[30], kSectorShift);
  Put16(&header[32], kMiniSectorShift);
  Put32(&header[40], 0);  // directory sector count: always 0 in version 3
  Put32(&header[44], static_cast<std::uint32_t>(fatSectors_.size()));
  Put32(&header[48], directorySectors_.front());
  Put32(&header[52], 0);
  Put32(&header[56], kMiniStreamCutoff);
  Put32(&header[60], miniFatSectors_.empty() ? kEndOfChain : miniFatSectors_.front());
  Put32(&header[64], static_cast<std::uint32_t>(miniFatSectors_.size()));
  Put32(&header[68], difatSectors_.empty() ? kEndOfChain : difatSectors_.front());
  Put32(&header[72], static_cast<std::uint32_t>(difatSectors_.size()));
  for (std::size_t i = 0; i < kHeaderDifatSlots; ++i)
    Put32(&header[76 + 4 * i], i < fatSectors_.size() ? fatSectors_[i] : kFreeSector);
  WriteAt(0, header.data(), header.size());
}

void CfbFile::WriteSector(std::uint32_t sector, const std::uint8_t* bytes) {
  WriteAt(SectorOffset(sector), bytes, kSectorSize);
}

// Write failures stick: every later result reports them.
void CfbFile::WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
  while (size > 0 && !writeFailed_) {
    const ssize_t written = ::pwrite(fd_, bytes, size, static_cast<off_t>(offset));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      writeFailed_ = true;
      writeError_ = written < 0 ? errno : ENOSPC;
      return;
    }
    bytes += written;
    offset += static_cast<std::uint64_t>(written);
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace xls
