// Files an input method reads while we replace them: written whole or not at all.
#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>

namespace publish {

// What a file looked like when we left it; another program's change alters it.
struct Fingerprint {
  ino_t inode = 0;
  off_t size = -1;
  long long mtime_ns = -1;
  bool operator==(const Fingerprint &) const = default;
};

// The regular file at `path` (a symbolic link is followed, so its target is
// what gets replaced). False with the reason when something other than a
// regular file is there; `exists` is false when nothing is.
bool regular_target(const std::string &path, std::string &resolved, bool &exists, std::string &why);

// Reads the whole file; false with the reason.
bool read_whole(const std::string &path, std::string &out, std::string &why);
Fingerprint fingerprint_of(const std::string &path);

// Replaces `path` by `bytes`: a temporary file in the same directory (created,
// with its parents, when missing), synced, renamed over `path`, the directory
// synced. A reader sees the old file or the whole new one; on failure no
// temporary file is left and `why` holds the reason. The new file keeps the
// old one's mode (0644 for a new file, less the umask). Without `durable` the
// syncs are left out: still never half a file, but a crash may bring the old
// one back.
bool write_whole(const std::string &path, std::string_view bytes, std::string &why, bool durable = true);

// An exclusive flock on `path` (created when missing) for as long as it lives,
// waited for up to GLOSSET_LOCK_WAIT_MS milliseconds (5 s by default).
class FileLock {
 public:
  explicit FileLock(const std::string &path);
  ~FileLock();
  FileLock(const FileLock &) = delete;
  FileLock &operator=(const FileLock &) = delete;
  bool held() const { return held_; }
  const std::string &why() const { return why_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  std::string why_;
};

}  // namespace publish
