#include "SecretFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {
namespace {
constexpr std::size_t kMaxSecret = 4096;  // a password, not a document
}

SecretFileResult ReadSecretFile(const std::string& path) {
  SecretFileResult result;
  // Mode and content from the same open file, so the checked file is the one read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.error = "无法读取密码文件 " + path + ": " + std::strerror(errno);
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    result.error = "密码文件 " + path + " 不是普通文件";
    return result;
  }
  if (info.st_mode & (S_IRGRP | S_IROTH)) {
    ::close(fd);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    result.error = "密码文件 " + path + " 可被其他用户读取 (权限 " + mode + ")，拒绝使用；请执行 chmod 600 " + path;
    return result;
  }
  std::string content;
  char buffer[512];
  ssize_t n;
  while (content.size() < kMaxSecret && (n = ::read(fd, buffer, sizeof buffer)) > 0)
    content.append(buffer, static_cast<std::size_t>(n));
  ::close(fd);
  const std::size_t end = content.find_first_of("\r\n");
  result.secret = content.substr(0, end);
  result.ok = true;
  return result;
}

}  // namespace platform
