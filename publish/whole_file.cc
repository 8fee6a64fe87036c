#include "publish/whole_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "dict/dic_change.h"

namespace publish {
namespace {

// mkdir -p: the directories above a target that does not exist yet.
bool make_dirs(const std::string &dir, std::string &why) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    why = dir + ": Not a directory";
    return false;
  }
  if (dir != "/" && dir != "." && !make_dirs(dicchange::directory_of(dir), why)) return false;
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    why = dir + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {  // a full device that reports nothing
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

bool regular_target(const std::string &path, std::string &resolved, bool &exists, std::string &why) {
  resolved = path;
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char real[PATH_MAX];
    if (realpath(path.c_str(), real) != nullptr) {
      resolved = real;
    } else {  // a link to a file not made yet: that file is made
      ssize_t n = readlink(path.c_str(), real, sizeof real - 1);
      if (n > 0) resolved = real[0] == '/' ? std::string(real, n) : dicchange::directory_of(path) + "/" + std::string(real, n);
    }
  }
  exists = stat(resolved.c_str(), &st) == 0;
  if (!exists || S_ISREG(st.st_mode)) return true;
  why = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
  return false;
}

bool read_whole(const std::string &path, std::string &out, std::string &why) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  out.clear();
  char buffer[65536];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) why = std::strerror(errno);
    if (n <= 0) {
      close(fd);
      return n == 0;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

Fingerprint fingerprint_of(const std::string &path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return {};
  return {st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
}

bool write_whole(const std::string &path, std::string_view bytes, std::string &why, bool durable) {
  const std::string dir = dicchange::directory_of(path);
  if (!make_dirs(dir, why)) return false;
  std::string tmp = path + ".glosset-XXXXXX";
  int fd = mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) {
    why = std::strerror(errno);
    return false;
  }
  struct stat old;
  mode_t mode;
  if (stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0644 & ~mask;
  }
  bool ok = fchmod(fd, mode) == 0 && write_all(fd, bytes) && (!durable || fsync(fd) == 0);
  int saved = errno;
  if (close(fd) != 0 && ok) ok = false, saved = errno;
  if (ok && rename(tmp.c_str(), path.c_str()) != 0) ok = false, saved = errno;
  if (!ok) {
    unlink(tmp.c_str());
    why = std::strerror(saved);
    return false;
  }
  if (!durable) return true;
  // The rename itself survives a crash only once the directory is synced.
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

FileLock::FileLock(const std::string &path) {
  std::string dir = dicchange::directory_of(path);
  if (!make_dirs(dir, why_)) return;
  fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    why_ = path + ": " + std::strerror(errno);
    return;
  }
  long wait_ms = 5000;
  if (const char *v = std::getenv("GLOSSET_LOCK_WAIT_MS")) wait_ms = std::strtol(v, nullptr, 10);
  for (long waited = 0;; waited += 10) {
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno != EWOULDBLOCK || waited >= wait_ms) break;
    timespec ten_ms = {0, 10 * 1000 * 1000};
    nanosleep(&ten_ms, nullptr);
  }
  why_ = "another program is publishing";
}

FileLock::~FileLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace publish
