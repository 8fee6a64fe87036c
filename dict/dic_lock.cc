#include "dict/dic_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "dict/dic_change.h"
#include "dict/dic_error.h"
#include "dict/dic_format.h"

namespace dicchange {
namespace {

// Long enough for any other writer's change (a few milliseconds, an import a
// few seconds), short enough that a stuck one is reported rather than waited out.
long g_wait_ms = 5000;

long lock_wait_ms() {
  const char *v = std::getenv("GLOSSET_LOCK_WAIT_MS");
  if (v == nullptr || *v == '\0') return g_wait_ms;
  char *end = nullptr;
  long ms = std::strtol(v, &end, 10);
  return *end == '\0' && ms >= 0 && ms <= 600000 ? ms : g_wait_ms;
}

long now_ms() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
}

void sleep_ms(long ms) {
  timespec ts{0, ms * 1000000};
  nanosleep(&ts, nullptr);
}

// Waits for the write lock of the whole file on `fd` until `deadline`. A
// read lock in the way is never a writer's (writers take only this one, and
// no write lock can share the file with it): then `squatted` is set and the
// wait ends at once.
bool take_lock(int fd, long deadline, const char *path, bool &squatted) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;  // from 0 to the end, however far the file grows
  while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
    if (errno == EINTR) continue;
    bool held = errno == EAGAIN || errno == EACCES;
    struct flock in_way = fl;
    if (held && fcntl(fd, F_OFD_GETLK, &in_way) == 0 && in_way.l_type == F_RDLCK) {
      squatted = true;
      return true;
    }
    if (!held || now_ms() >= deadline) {
      dicerr::set(held ? dicerr::Kind::busy : dicerr::Kind::system, path, errno);
      return false;
    }
    sleep_ms(5);
  }
  return true;
}

// The path the kernel resolved for `fd`; with no /proc, the path as given
// (the entry check below then refuses what it cannot confirm).
std::string opened_path(int fd, const char *path) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char buf[PATH_MAX];
  ssize_t n = readlink(link, buf, sizeof buf - 1);
  if (n <= 0 || buf[0] != '/') return path;
  return std::string(buf, static_cast<std::size_t>(n));
}

// Opens the directory that holds the inode open on `file.fd`.
bool hold_directory(LockedFile &file, const char *path) {
  std::string full = opened_path(file.fd, path);
  std::size_t slash = full.rfind('/');
  std::string dir = directory_of(full);
  file.name = slash == std::string::npos ? full : full.substr(slash + 1);
  file.shown = full;
  // O_PATH: a directory the user may search but not list serves as well.
  file.dir = ::open(dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  return file.dir >= 0 && names_inode(file.dir, file.name, file.st);
}

}  // namespace

void set_lock_wait_ms(long ms) { g_wait_ms = ms; }

void LockedFile::release() {
  if (fd >= 0) ::close(fd);  // releases the lock
  if (dir >= 0) ::close(dir);
  fd = dir = -1;
}

bool names_inode(int dir, const std::string &name, const struct stat &st) {
  struct stat now {};
  return fstatat(dir, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(now.st_mode) &&
         now.st_dev == st.st_dev && now.st_ino == st.st_ino;
}

namespace {

// Opens the file (`at` the held directory, or by `path` when none is held
// yet) for reading and writing and checks it can be a dictionary.
bool open_file(LockedFile &file, int at, const char *name, const char *path, bool &missing) {
  if (file.fd >= 0) ::close(file.fd);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; a regular file ignores it.
  int flags = O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (at == AT_FDCWD ? 0 : O_NOFOLLOW);
  file.fd = ::openat(at, name, flags);
  if (file.fd < 0) {
    missing = errno == ENOENT;
    dicerr::set(dicerr::Kind::system, path, errno);
    return false;
  }
  if (fstat(file.fd, &file.st) != 0 || !S_ISREG(file.st.st_mode)) {
    dicerr::set(dicerr::Kind::not_regular, path);
    return false;
  }
  if (file.st.st_size > dicfmt::kMaxFileSize) {  // no dictionary is larger: nothing of it is read
    dicerr::set(dicerr::Kind::system, path, EFBIG);
    return false;
  }
  return true;
}

}  // namespace

bool lock_dictionary(const char *path, LockedFile &file, bool &missing) {
  long deadline = now_ms() + lock_wait_ms();
  // The path is resolved, by the kernel, only until the directory of the
  // file it names is held; from the lock on, the name is looked up in that
  // directory alone, so a path component swapped meanwhile changes nothing.
  for (int round = 0;; ++round) {
    file.release();
    if (!open_file(file, AT_FDCWD, path, path, missing)) return false;
    if (hold_directory(file, path)) break;
    if (round == 100) {
      dicerr::set(dicerr::Kind::busy, path);
      return false;
    }
  }
  // A writer that held the lock before may have renamed a new file over the
  // one opened: then the new one is opened, in the held directory, and
  // locked instead. Bounded: the name moves only when another writer commits.
  for (int round = 0; round < 100; ++round) {
    file.squatted = false;
    if (!take_lock(file.fd, deadline, path, file.squatted)) return false;
    if (names_inode(file.dir, file.name, file.st)) return true;
    if (!open_file(file, file.dir, file.name.c_str(), path, missing)) return false;
  }
  dicerr::set(dicerr::Kind::busy, path);
  return false;
}

}  // namespace dicchange
