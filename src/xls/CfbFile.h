#pragma once
// Writer of compound documents (major version 3, 512-byte sectors): the container of an
// .xls workbook. Allocation tables and the directory are kept in memory; after every
// structural change header, FAT and directory are rewritten, so the file on disk is a
// complete container after each call.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "CfbEntry.h"
#include "SaveFile.h"

namespace xls {

// Results of AddStream and WriteStream.
enum CfbResult : int {
  kCfbOk = 1,
  kCfbInvalidPath = -1,
  kCfbStorageNotFound = -2,
  kCfbStreamNotFound = -4,
  kCfbNameTooLong = -5,
  kCfbNameExists = -6,
  // No container is open, or the file refused a write (disk full, I/O error).
  kCfbWriteFailed = -7,
};

// Hands over the next bytes of a stream being written: copies at most `capacity` bytes to
// `buffer` and returns how many; 0 when it has none left (or could not read them).
using CfbStreamSource = std::function<std::size_t(std::uint8_t* buffer, std::size_t capacity)>;

class CfbFile {
 public:
  CfbFile() = default;
  ~CfbFile();
  CfbFile(const CfbFile&) = delete;
  CfbFile& operator=(const CfbFile&) = delete;

  // Starts an empty container for `path` (UTF-8): header, one FAT sector (sector 0) and
  // the directory with the root entry (sector 1). The container is built in a temporary
  // file beside `path`, which replaces `path` only when CloseContainer succeeds: an earlier
  // file of that name survives every failure untouched.
  bool CreateContainer(const std::string& path);
  bool IsContainerOpen() const { return fd_ >= 0; }
  // The file being written while the container is open (complete after every call).
  std::string WorkingPath() const;

  // Adds a stream. A leading '\' starts at the root, otherwise at the storage the previous
  // AddStream ended in; '\' separates storages, "." and ".." work as in file paths, and
  // missing storages are created. The storage the stream lands in becomes current.
  int AddStream(std::u16string_view path);
  int AddStream(std::string_view utf8Path);

  // Replaces the whole content of a stream (path resolved like AddStream, nothing created).
  int WriteStream(std::u16string_view path, const void* data, std::size_t length);
  int WriteStream(std::string_view utf8Path, const void* data, std::size_t length);
  // The same with `length` bytes taken from `source` piece by piece, so that they need not be
  // in memory at once. A source that runs dry early fails the write (kCfbWriteFailed).
  int WriteStreamFrom(std::u16string_view path, std::size_t length, const CfbStreamSource& source);

  // Flushes the container to the disk, puts it in place at the path and drops all tables.
  // False when any write since CreateContainer failed or the file could not be put in
  // place: the path then still holds what it held before.
  bool CloseContainer();
  // Drops the container without touching the path.
  void DiscardContainer();
  // Why the last CreateContainer or CloseContainer failed ("No space left on device").
  const std::string& ErrorString() const { return error_; }

 private:
  struct Directory {
    std::vector<CfbEntry> entries;                     // index order; entry 0 is the root
    std::vector<std::vector<std::uint32_t>> children;  // per storage, in index order
    std::vector<std::uint32_t> parents;
    std::uint32_t current = 0;
  };

  void Reset();
  int AddEntry(std::u16string_view path);
  int FindStream(std::u16string_view path, std::uint32_t& index) const;
  std::uint32_t FindChild(std::uint32_t storage, std::u16string_view name) const;
  std::uint32_t InsertEntry(CfbEntry entry, std::uint32_t parent);
  void Relink(std::uint32_t storage);

  std::uint32_t AllocateSector();
  void GrowFat();
  std::uint32_t AllocateMiniSector();
  void FreeChain(std::uint32_t start);
  void FreeMiniChain(std::uint32_t start);
  void WriteRegularChain(std::uint32_t& start, const std::uint8_t* data, std::size_t length);
  void WriteRegularChain(std::uint32_t& start, std::size_t length, const CfbStreamSource& source);
  void WriteMiniChain(std::uint32_t& start, const std::uint8_t* data, std::size_t length);
  void UpdateMiniStreamContainer();

  void SaveStructure();
  void SaveDirectory();
  void SaveFat();
  void SaveMiniFat();
  void SaveHeader();
  void WriteSector(std::uint32_t sector, const std::uint8_t* bytes);
  void WriteAt(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size);

  std::unique_ptr<platform::SaveFile> file_;
  int fd_ = -1;
  bool writeFailed_ = false;
  int writeError_ = 0;
  std::string error_;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> miniFat_;
  std::vector<std::uint32_t> fatSectors_;    // where FAT sector i lives
  std::vector<std::uint32_t> difatSectors_;  // chain holding FAT sectors 109 and up
  std::vector<std::uint32_t> directorySectors_;
  std::vector<std::uint32_t> miniFatSectors_;
  std::vector<std::uint8_t> miniStream_;  // the root's stream, kept in memory
  std::size_t freeSearchStart_ = 0;       // no FREESECT below this FAT index
  Directory directory_;
};

}  // namespace xls
