// Creating a whole file in one step (dic_change.h).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dict/dic_change.h"
#include "dict/dic_pages.h"

namespace dicchange {

std::string directory_of(const std::string &path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int create_whole(const char *path, std::span<const unsigned char> bytes) {
  if (path == nullptr || *path == '\0') {
    errno = ENOENT;
    return -1;
  }
  std::string dir = directory_of(path);
  // An unnamed file gets its name only once it is whole, and vanishes with
  // the process if it never does. Where the system has no such files, a
  // named one beside the dictionary stands in.
  int fd = -1;
  if (::access("/proc/self/fd", F_OK) == 0) {
    fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -1;
  }
  std::string named;
  if (fd < 0) {
    named = std::string(path) + ".glosset-new.XXXXXX";
    fd = mkostemp(named.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0) {
      int saved = errno;
      ::close(fd);
      ::unlink(named.c_str());
      errno = saved;
      return -1;
    }
  }
  bool ok = dicfile::pwrite_all(fd, bytes, 0) && fsync(fd) == 0;
  if (ok && named.empty()) {
    char proc[64];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    ok = ::linkat(AT_FDCWD, proc, AT_FDCWD, path, AT_SYMLINK_FOLLOW) == 0;
  } else if (ok) {
    ok = ::link(named.c_str(), path) == 0;
  }
  int saved = errno;
  ::close(fd);
  if (!named.empty()) ::unlink(named.c_str());
  if (!ok) {
    if (saved == EEXIST) return 0;  // another program made it first: that one is kept
    errno = saved;
    return -1;
  }
  int dirfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirfd >= 0) {
    static_cast<void>(fsync(dirfd));  // the file exists either way; this makes it outlive a power cut
    ::close(dirfd);
  }
  return 0;
}

}  // namespace dicchange
