#pragma once
// Scratch space for a writer whose output does not fit in memory: an unnamed file in the
// target's directory (removed as soon as it is opened, so nothing is left behind, not even
// by a crash), appended to through a buffer and read back at any offset. Plain POSIX.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class SpillFile {
 public:
  SpillFile() = default;
  ~SpillFile();
  SpillFile(const SpillFile&) = delete;
  SpillFile& operator=(const SpillFile&) = delete;

  // Creates the file in the directory of `besidePath`. False (with ErrorString) when the
  // directory refuses it.
  bool Open(const std::string& besidePath);
  bool IsOpen() const { return fd_ >= 0; }

  // Appends `size` bytes. A failed write is remembered: every later call fails as well.
  bool Append(const void* data, std::size_t size);
  // Bytes appended so far.
  std::uint64_t Size() const { return written_ + pending_.size(); }
  // Reads `size` bytes from `offset` (within Size()).
  bool ReadAt(std::uint64_t offset, void* data, std::size_t size);

  // Why the last call failed ("No space left on device"), and its errno.
  const std::string& ErrorString() const { return error_; }
  int ErrorNumber() const { return errno_; }

 private:
  bool Flush();
  bool Fail(int error);

  int fd_ = -1;
  std::uint64_t written_ = 0;
  std::vector<char> pending_;
  int errno_ = 0;
  std::string error_;
};

}  // namespace platform
