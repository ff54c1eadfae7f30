#include "SaveFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {

constexpr int kNameAttempts = 64;
constexpr std::size_t kRandomLetters = 12;
constexpr std::size_t kLongestKeptName = 200;  // leaves room for the suffix below NAME_MAX
constexpr const char* kNotRegular = "not a regular file; left as it is";
constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomLetters() {
  unsigned char bytes[kRandomLetters];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  std::string letters;
  for (std::size_t i = 0; i < sizeof bytes; ++i)
    letters += kAlphabet[(i < got ? bytes[i] : static_cast<unsigned char>(::getpid() + i)) % (sizeof kAlphabet - 1)];
  return letters;
}

void SyncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);  // best effort: the rename itself has happened
  ::close(fd);
}

}  // namespace

void IgnoreFileSizeSignal() {
  static const bool done = [] {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    return sigaction(SIGXFSZ, &ignore, nullptr) == 0;
  }();
  (void)done;
}

SaveFile::SaveFile(std::string target, mode_t mode) : target_(std::move(target)), mode_(mode) {}

SaveFile::~SaveFile() { Discard(); }

bool SaveFile::Fail(int error, const char* text) {
  failed_ = true;
  errno_ = error;
  error_ = text ? text : std::strerror(error);
  return false;
}

bool SaveFile::Open() {
  Discard();
  failed_ = false;
  errno_ = 0;
  error_.clear();
  IgnoreFileSizeSignal();
  if (target_.empty() || target_.back() == '/') return Fail(EISDIR);

  // A link at the target is replaced by the rename, never followed; anything else that is
  // not a regular file (a directory, a device) is left alone.
  struct stat existing {};
  const bool exists = ::lstat(target_.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
    return S_ISDIR(existing.st_mode) ? Fail(EISDIR) : Fail(EINVAL, kNotRegular);

  std::string base = BaseNameOf(target_);
  if (base.size() > kLongestKeptName) base.resize(kLongestKeptName);
  const std::string prefix = DirectoryOf(target_) + "/." + base + ".";
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string candidate = prefix + RandomLetters();
    const int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode_);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return Fail(errno);
    }
    fd_ = fd;
    temporary_ = candidate;
    if (exists && S_ISREG(existing.st_mode)) ::fchmod(fd_, existing.st_mode & 07777);
    return true;
  }
  return Fail(EEXIST);
}

bool SaveFile::Write(const void* data, std::size_t size) {
  if (fd_ < 0) return Fail(EBADF);
  if (failed_) return false;
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(fd_, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return Fail(written < 0 ? errno : ENOSPC);
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

void SaveFile::MarkFailed(int error) { Fail(error); }

bool SaveFile::Commit() {
  if (fd_ < 0) return failed_ ? false : Fail(EBADF);
  if (failed_) {
    Discard();  // keeps the reason
    return false;
  }
  // Data on the disk before the name points at it: a crash leaves old or new, never empty.
  if (::fsync(fd_) != 0) {
    Fail(errno);
    return Commit();
  }
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) {
    Fail(errno);
    ::unlink(temporary_.c_str());
    temporary_.clear();
    return false;
  }
  // rename replaces the directory entry itself: a link at the target is not followed.
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    ::unlink(temporary_.c_str());
    temporary_.clear();
    return false;
  }
  temporary_.clear();
  SyncDirectory(DirectoryOf(target_));
  return true;
}

void SaveFile::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

bool SaveFileContents(const std::string& target, std::string_view data, std::string* error, mode_t mode) {
  SaveFile file(target, mode);
  const bool ok = file.Open() && file.Write(data) && file.Commit();
  if (!ok && error) *error = file.ErrorString();
  return ok;
}

}  // namespace platform
