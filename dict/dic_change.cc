#include "dict/dic_change.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "dict/dic_error.h"

namespace dicchange {

struct ChangeState {
  std::string path;    // as the store's steps name it
  std::string target;  // the regular file behind it
  std::string temp;    // the copy the steps write
  struct stat st {};   // the target as it was locked
  int lock_fd = -1;
  int temp_fd = -1;
  bool copied = false;   // the temp file holds the change
  bool renamed = false;  // ... and has replaced the target
};

namespace {

constexpr const char *kTempSuffix = ".glosset-tmp";
// Long enough for any other writer's change (a few milliseconds, an import a
// few seconds), short enough that a stuck one is reported rather than waited out.
constexpr long kDefaultLockWaitMs = 5000;

ChangeState *g_active = nullptr;

long lock_wait_ms() {
  const char *v = std::getenv("GLOSSET_LOCK_WAIT_MS");
  if (v == nullptr || *v == '\0') return kDefaultLockWaitMs;
  char *end = nullptr;
  long ms = std::strtol(v, &end, 10);
  return *end == '\0' && ms >= 0 && ms <= 600000 ? ms : kDefaultLockWaitMs;
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

bool write_all(int fd, const unsigned char *p, std::size_t n, off_t at) {
  while (n > 0) {
    ssize_t w = ::pwrite(fd, p, n, at);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = EIO;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
    at += w;
  }
  return true;
}

bool read_all(int fd, std::vector<unsigned char> &image) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  image.resize(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < image.size()) {
    ssize_t n = ::pread(fd, image.data() + done, image.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;  // shorter than it was: take what is there
    done += static_cast<std::size_t>(n);
  }
  image.resize(done);
  return true;
}

// Copies the first `size` bytes of `from` to the start of `to`, in the kernel where it can.
bool copy_all(int from, int to, off_t size) {
  off_t in = 0;
  while (in < size) {
    ssize_t n = copy_file_range(from, &in, to, nullptr, static_cast<std::size_t>(size - in), 0);
    if (n > 0) continue;
    if (n == 0) break;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
    break;  // this file system cannot: copy through a buffer
  }
  unsigned char buf[65536];
  while (in < size) {
    ssize_t n = ::pread(from, buf, std::min<std::size_t>(sizeof buf, static_cast<std::size_t>(size - in)), in);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    if (!write_all(to, buf, static_cast<std::size_t>(n), in)) return false;
    in += n;
  }
  return true;
}

std::string dir_of(const std::string &file) {
  std::size_t slash = file.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : file.substr(0, slash);
}

bool sync_dir(const std::string &file) {
  int fd = ::open(dir_of(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = fsync(fd) == 0;
  int saved = errno;
  ::close(fd);
  errno = saved;
  return ok;
}

// Opens the regular file behind `path` for update and takes its lock. A
// writer that held the lock before may have renamed a new file over the one
// opened: then the new one is opened and locked instead.
bool lock(ChangeState &s, const char *path, bool &missing) {
  long deadline = now_ms() + lock_wait_ms();
  for (;;) {
    char resolved[PATH_MAX];
    if (realpath(path, resolved) == nullptr) {
      missing = errno == ENOENT;
      dicerr::set(dicerr::Kind::system, path, errno);
      return false;
    }
    // O_NONBLOCK: opening a FIFO must not wait for a writer; a regular file ignores it.
    int fd = ::open(resolved, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      missing = errno == ENOENT;
      dicerr::set(dicerr::Kind::system, path, errno);
      return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      dicerr::set(dicerr::Kind::not_regular, path);
      return false;
    }
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno != EWOULDBLOCK || now_ms() >= deadline) {
        dicerr::set(errno == EWOULDBLOCK ? dicerr::Kind::busy : dicerr::Kind::system, path, errno);
        ::close(fd);
        return false;
      }
      sleep_ms(5);
    }
    struct stat now {};
    if (stat(resolved, &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino) {
      s.target = resolved;
      s.st = st;
      s.lock_fd = fd;
      return true;
    }
    ::close(fd);
  }
}

// Creates the change's copy, empty, with the file's owner and mode.
bool open_temp(ChangeState &s) {
  ::unlink(s.temp.c_str());
  int fd = ::open(s.temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    dicerr::set(dicerr::Kind::system, s.temp, errno);
    return false;
  }
  // Owner first: changing it clears set-id bits. Only root (or a member of the
  // group) may give the file away, so a refusal is not a failure.
  if (s.st.st_uid != geteuid() || s.st.st_gid != getegid()) {
    int refused = fchown(fd, s.st.st_uid, s.st.st_gid);
    static_cast<void>(refused);
  }
  if (fchmod(fd, s.st.st_mode & 07777) != 0) {
    dicerr::set(dicerr::Kind::system, s.temp, errno);
    ::close(fd);
    ::unlink(s.temp.c_str());
    return false;
  }
  s.temp_fd = fd;
  return true;
}

bool make_copy(ChangeState &s) {
  if (s.copied) return true;
  struct stat st {};
  if (fstat(s.lock_fd, &st) != 0) {
    dicerr::set(dicerr::Kind::system, s.path, errno);
    return false;
  }
  if (!open_temp(s)) return false;
  if (!copy_all(s.lock_fd, s.temp_fd, st.st_size)) {
    dicerr::set(dicerr::Kind::system, s.temp, errno);
    ::close(s.temp_fd);
    s.temp_fd = -1;
    ::unlink(s.temp.c_str());
    return false;
  }
  s.copied = true;
  return true;
}

}  // namespace

Change::Change() = default;

Change::~Change() { end(); }

const std::string &Change::target() const {
  static const std::string none;
  return state_ != nullptr ? state_->target : none;
}

bool Change::begin(const char *path) {
  end();
  missing_ = false;
  if (path == nullptr || *path == '\0') {
    dicerr::set(dicerr::Kind::system, "", ENOENT);
    return false;
  }
  if (g_active != nullptr) {
    if (g_active->path != path) {
      // One change at a time in a process; the store never nests two files.
      dicerr::set(dicerr::Kind::busy, path);
      return false;
    }
    state_ = g_active;
    joined_ = true;
    return true;
  }
  dicerr::clear();
  auto s = std::make_unique<ChangeState>();
  s->path = path;
  if (!lock(*s, path, missing_)) return false;
  s->temp = s->target + kTempSuffix;
  ::unlink(s->temp.c_str());  // what a killed writer left behind
  owned_ = std::move(s);
  state_ = owned_.get();
  g_active = state_;
  return true;
}

bool Change::read(std::vector<unsigned char> &image) {
  if (state_ == nullptr) return false;
  if (read_all(state_->copied ? state_->temp_fd : state_->lock_fd, image)) return true;
  dicerr::set(dicerr::Kind::system, state_->path, errno);
  return false;
}

bool Change::replace(std::span<const unsigned char> image) {
  if (state_ == nullptr) return false;
  ChangeState &s = *state_;
  if (s.copied ? ftruncate(s.temp_fd, 0) != 0 : !open_temp(s)) {
    dicerr::set(dicerr::Kind::system, s.temp, errno);
    return false;
  }
  s.copied = true;  // from here the temp file is the change, whatever it holds
  if (!write_all(s.temp_fd, image.data(), image.size(), 0)) {
    dicerr::set(dicerr::Kind::system, s.temp, errno);
    return false;
  }
  return true;
}

std::string Change::keep_original(const char *suffix) {
  if (state_ == nullptr) return "";
  for (int n = 0; n < 1000; ++n) {
    std::string name = state_->target + suffix;
    if (n > 0) name += "." + std::to_string(n);
    // A second name for the file as it is: the rename in commit() then
    // leaves the old content under this name alone.
    if (::link(state_->target.c_str(), name.c_str()) == 0) return name;
    if (errno != EEXIST) {
      dicerr::set(dicerr::Kind::system, name, errno);
      return "";
    }
  }
  dicerr::set(dicerr::Kind::system, state_->target + suffix, EEXIST);
  return "";
}

bool Change::commit() {
  if (state_ == nullptr) return false;
  if (joined_) return true;
  ChangeState &s = *state_;
  bool ok = true;
  if (s.copied) {
    int fd = s.temp_fd;
    s.temp_fd = -1;
    if (fsync(fd) != 0) {
      dicerr::set(dicerr::Kind::system, s.path, errno);
      ok = false;
    }
    if (::close(fd) != 0 && ok) {
      dicerr::set(dicerr::Kind::system, s.path, errno);
      ok = false;
    }
    if (ok && ::rename(s.temp.c_str(), s.target.c_str()) != 0) {
      dicerr::set(dicerr::Kind::system, s.path, errno);
      ok = false;
    }
    if (ok) {
      s.renamed = true;
      // The new file is in place for every reader now; a directory that
      // cannot be synced only makes the rename less certain to outlive a
      // power cut, so the change still counts as made.
      sync_dir(s.target);
    }
  }
  end();
  return ok;
}

void Change::end() {
  if (state_ == nullptr) return;
  state_ = nullptr;
  if (joined_) {
    joined_ = false;
    return;
  }
  ChangeState &s = *owned_;
  if (s.temp_fd >= 0) ::close(s.temp_fd);
  if (s.copied && !s.renamed) ::unlink(s.temp.c_str());
  if (s.lock_fd >= 0) ::close(s.lock_fd);  // releases the lock
  g_active = nullptr;
  owned_.reset();
}

const char *open_path(const char *path, bool for_update) {
  if (g_active == nullptr || path == nullptr || g_active->path != path) return path;
  if (!g_active->copied) {
    if (!for_update) return path;  // nothing written yet: the locked file itself
    if (!make_copy(*g_active)) return nullptr;
  }
  return g_active->temp.c_str();
}

int create_whole(const char *path, std::span<const unsigned char> bytes) {
  if (path == nullptr || *path == '\0') {
    errno = ENOENT;
    return -1;
  }
  std::string dir = dir_of(path);
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
  bool ok = write_all(fd, bytes.data(), bytes.size(), 0) && fsync(fd) == 0;
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
  sync_dir(path);
  return 0;
}

}  // namespace dicchange
