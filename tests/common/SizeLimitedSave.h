#pragma once
// A full disk on demand: runs a save in a child process whose files may not grow past a few
// kilobytes, and lists what a directory holds afterwards. Plain C++ (no Qt, no gtest).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace sizelimit {

enum class ChildOutcome { kReportedFailure, kReportedSuccess, kKilled };

// The child does not ignore SIGXFSZ itself: the writers must do that, or it dies.
inline ChildOutcome SaveUnderFileSizeLimit(rlim_t bytes, const std::function<bool()>& save) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(save() ? 1 : 0);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return ChildOutcome::kKilled;
  return WEXITSTATUS(status) == 0 ? ChildOutcome::kReportedFailure : ChildOutcome::kReportedSuccess;
}

inline std::string Contents(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Put(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Names in `dir`, sorted: a temporary left behind shows up here.
inline std::vector<std::string> Names(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace sizelimit
