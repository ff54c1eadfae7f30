#include "SpillFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "SaveFile.h"

namespace platform {
namespace {

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr const char* kNameSuffix = ".spill-XXXXXX";

}  // namespace

SpillFile::~SpillFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool SpillFile::Fail(int error) {
  errno_ = error;
  error_ = std::strerror(error);
  return false;
}

bool SpillFile::Open(const std::string& besidePath) {
  if (fd_ >= 0 || errno_ != 0) return false;
  IgnoreFileSizeSignal();
  std::string name = besidePath + kNameSuffix;
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) return Fail(errno);
  ::unlink(name.c_str());
  pending_.reserve(kBufferSize);
  return true;
}

bool SpillFile::Flush() {
  const char* bytes = pending_.data();
  std::size_t left = pending_.size();
  while (left > 0) {
    const ssize_t n = ::pwrite(fd_, bytes, left, static_cast<off_t>(written_));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    bytes += n;
    left -= static_cast<std::size_t>(n);
    written_ += static_cast<std::uint64_t>(n);
  }
  pending_.clear();
  return true;
}

bool SpillFile::Append(const void* data, std::size_t size) {
  if (fd_ < 0 || errno_ != 0) return false;
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const std::size_t room = kBufferSize - pending_.size();
    const std::size_t count = size < room ? size : room;
    pending_.insert(pending_.end(), bytes, bytes + count);
    bytes += count;
    size -= count;
    if (pending_.size() == kBufferSize && !Flush()) return false;
  }
  return true;
}

bool SpillFile::ReadAt(std::uint64_t offset, void* data, std::size_t size) {
  if (fd_ < 0 || errno_ != 0) return false;
  if (offset + size > Size()) return Fail(EINVAL);
  if (offset + size > written_ && !Flush()) return false;
  auto* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::pread(fd_, bytes, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : EIO);
    bytes += n;
    size -= static_cast<std::size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

}  // namespace platform
