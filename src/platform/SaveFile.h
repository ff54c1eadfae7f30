#pragma once
// Replacing a file without ever destroying the one that is there. The new content goes to a
// fresh temporary file in the target's directory (created exclusively, never through a
// link, under an unpredictable name); Commit flushes it to the disk and renames it over the
// target. On any failure the temporary is removed and the earlier file stays byte for byte
// as it was. Plain POSIX, no Qt: the spreadsheet writer uses it too.
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class SaveFile {
 public:
  // `mode` is the new file's permission before the umask; a regular file already at the
  // target passes its own permissions on instead.
  explicit SaveFile(std::string target, mode_t mode = 0666);
  ~SaveFile();  // discards an uncommitted temporary
  SaveFile(const SaveFile&) = delete;
  SaveFile& operator=(const SaveFile&) = delete;

  // Creates the temporary. False (with ErrorString) when the directory refuses it or the
  // target exists and is not a regular file or a link.
  bool Open();
  bool IsOpen() const { return fd_ >= 0; }
  // For writers that need random access (pwrite); stays owned by this object.
  int Descriptor() const { return fd_; }
  const std::string& TemporaryPath() const { return temporary_; }
  const std::string& Target() const { return target_; }

  // Appends all of `data`. A failed write is remembered: Commit then refuses.
  bool Write(const void* data, std::size_t size);
  bool Write(std::string_view data) { return Write(data.data(), data.size()); }
  // Lets a writer that used Descriptor() report its own failure.
  void MarkFailed(int error);

  // fsync, close and rename over the target; the directory is synced too. False when any
  // step (or an earlier write) failed: the temporary is gone and the target untouched.
  bool Commit();
  void Discard();

  // Why the last step failed, e.g. "No space left on device".
  const std::string& ErrorString() const { return error_; }
  int ErrorNumber() const { return errno_; }

 private:
  bool Fail(int error, const char* text = nullptr);

  std::string target_;
  std::string temporary_;
  mode_t mode_;
  int fd_ = -1;
  bool failed_ = false;
  int errno_ = 0;
  std::string error_;
};

// A file-size limit must surface as an ordinary write error (EFBIG), not kill the process
// half-way through a save and leave a temporary behind. Called by every writer here.
void IgnoreFileSizeSignal();

// Open, write `data`, commit. False with `error` filled when anything failed.
bool SaveFileContents(const std::string& target, std::string_view data, std::string* error = nullptr,
                      mode_t mode = 0666);

}  // namespace platform
