#include "dict/dic_change.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "dict/dic_error.h"
#include "dict/dic_file.h"
#include "dict/dic_lock.h"

namespace dicchange {

namespace {

constexpr const char *kTempSuffix = ".glosset-tmp";

}  // namespace

// What the steps see: the locked file until the first write, the copy after.
class CopyOnWrite final : public dicfile::PageSource {
 public:
  explicit CopyOnWrite(ChangeState &s) : s_(s) {}
  long size() const override;
  long read(long offset, unsigned char *dst, std::size_t n) override;
  bool write(long offset, std::span<const unsigned char> bytes) override;

 private:
  ChangeState &s_;
};

struct ChangeState {
  LockedFile file;
  int temp_fd = -1;      // the copy, unnamed until commit()
  std::string temp_name; // its name, where the file system has no unnamed files
  long temp_size = 0;
  bool copied = false;   // the copy holds the change
  std::string kept;      // name keep_original() gave the old file, in file.dir
  CopyOnWrite source{*this};

  int current() const { return copied ? temp_fd : file.fd; }
  std::string temp_shown() const { return file.shown + kTempSuffix; }
};

namespace {

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
    long n = dicfile::pread_all(from, buf, std::min<std::size_t>(sizeof buf, static_cast<std::size_t>(size - in)), in);
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    if (!dicfile::pwrite_all(to, {buf, static_cast<std::size_t>(n)}, in)) return false;
    in += n;
  }
  return true;
}

// `base` with a random part no other user can guess beforehand.
std::string random_name(const std::string &base) {
  unsigned char r[8] = {};
  if (getrandom(r, sizeof r, 0) != static_cast<ssize_t>(sizeof r)) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::memcpy(r, &ts.tv_nsec, std::min(sizeof r, sizeof ts.tv_nsec));
  }
  char hex[2 * sizeof r + 1];
  for (std::size_t i = 0; i < sizeof r; ++i) std::snprintf(hex + 2 * i, 3, "%02x", r[i]);
  return base + "." + hex;
}

// Whether the copy on `fd` carries the file's owner, group and mode exactly;
// makes it so where the system lets this user.
bool carry_identity(int fd, const struct stat &old) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  // Owner first: changing it clears set-id bits.
  if ((st.st_uid != old.st_uid || st.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0) return false;
  if (fchmod(fd, old.st_mode & 07777) != 0 || fstat(fd, &st) != 0) return false;
  return st.st_uid == old.st_uid && st.st_gid == old.st_gid && (st.st_mode & 07777) == (old.st_mode & 07777);
}

// Creates the change's copy, empty, unnamed, in the dictionary's directory.
bool open_temp(ChangeState &s) {
  const LockedFile &f = s.file;
  // Only the owner's file is replaced (root may give a file to its owner):
  // another user's copy would change hands. Refused before anything is made.
  if (f.st.st_uid != geteuid() && geteuid() != 0) {
    dicerr::set(dicerr::Kind::foreign, f.shown);
    return false;
  }
  // An unnamed file is named only in commit() (through /proc), and vanishes
  // with the process if the change never gets there.
  int fd = -1;
  errno = EOPNOTSUPP;
  if (::access("/proc/self/fd", F_OK) == 0) fd = ::openat(f.dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
    // No unnamed files here: a named one nobody can have made before.
    for (int i = 0; i < 100 && fd < 0; ++i) {
      s.temp_name = random_name(f.name + kTempSuffix);
      fd = ::openat(f.dir, s.temp_name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
      if (fd < 0) s.temp_name.clear();
      if (fd < 0 && errno != EEXIST) break;
    }
  }
  if (fd < 0) {
    dicerr::set(dicerr::Kind::system, s.temp_shown(), errno);
    return false;
  }
  if (!carry_identity(fd, f.st)) {
    dicerr::set(dicerr::Kind::foreign, f.shown);
    ::close(fd);
    if (!s.temp_name.empty()) ::unlinkat(f.dir, s.temp_name.c_str(), 0);
    s.temp_name.clear();
    return false;
  }
  s.temp_fd = fd;
  s.temp_size = 0;
  return true;
}

bool make_copy(ChangeState &s) {
  if (s.copied) return true;
  struct stat st {};
  if (fstat(s.file.fd, &st) != 0) {
    dicerr::set(dicerr::Kind::system, s.file.shown, errno);
    return false;
  }
  if (!open_temp(s)) return false;
  if (!copy_all(s.file.fd, s.temp_fd, st.st_size)) {
    dicerr::set(dicerr::Kind::system, s.temp_shown(), errno);
    return false;  // end() removes the copy
  }
  s.temp_size = static_cast<long>(st.st_size);
  s.copied = true;
  return true;
}

// Gives the unnamed copy a fresh name in the directory; "" with errno set.
std::string name_copy(const ChangeState &s) {
  if (!s.temp_name.empty()) return s.temp_name;
  char proc[64];
  std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", s.temp_fd);
  for (int i = 0; i < 100; ++i) {
    std::string name = random_name(s.file.name + kTempSuffix);
    if (::linkat(AT_FDCWD, proc, s.file.dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return name;
    if (errno != EEXIST) return "";
  }
  return "";
}

void sync_dir(int dir) {
  // The new name is in place for every reader once renamed; a directory that
  // cannot be synced only makes it less certain to outlive a power cut.
  int fd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  static_cast<void>(fsync(fd));
  ::close(fd);
}

// Renames the copy, synced, over the file if the name is still the locked
// file; false with the reason in dicerr.
bool put_in_place(ChangeState &s) {
  std::string name;
  if (fsync(s.temp_fd) != 0) {
    dicerr::set(dicerr::Kind::system, s.file.shown, errno);
    return false;
  }
  // The name is still the file that was locked: what replaces it is the change of that file.
  if (!names_inode(s.file.dir, s.file.name, s.file.st)) {
    dicerr::set(dicerr::Kind::busy, s.file.shown);
    return false;
  }
  if ((name = name_copy(s)).empty()) {
    dicerr::set(dicerr::Kind::system, s.temp_shown(), errno);
    return false;
  }
  s.temp_name = name;  // removed by end() unless renamed
  if (::renameat(s.file.dir, name.c_str(), s.file.dir, s.file.name.c_str()) != 0) {
    dicerr::set(dicerr::Kind::system, s.file.shown, errno);
    return false;
  }
  s.temp_name.clear();
  sync_dir(s.file.dir);
  return true;
}

// A reader holds a read lock on the file, so no writer holds it (dic_lock.h):
// an identical copy, write-locked before it has a name, takes its place and
// becomes the locked file. Readers see the same bytes throughout.
bool take_over(ChangeState &s) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  if (!make_copy(s)) return false;
  if (fcntl(s.temp_fd, F_OFD_SETLK, &fl) != 0) {
    dicerr::set(dicerr::Kind::system, s.file.shown, errno);
    return false;
  }
  if (!put_in_place(s)) return false;
  ::close(s.file.fd);
  s.file.fd = s.temp_fd;
  s.temp_fd = -1;
  s.copied = false;
  s.file.squatted = false;
  return fstat(s.file.fd, &s.file.st) == 0;
}

}  // namespace

long CopyOnWrite::size() const {
  if (s_.copied) return s_.temp_size;
  struct stat st {};
  return fstat(s_.file.fd, &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

long CopyOnWrite::read(long offset, unsigned char *dst, std::size_t n) {
  return dicfile::pread_all(s_.current(), dst, n, offset);
}

bool CopyOnWrite::write(long offset, std::span<const unsigned char> bytes) {
  if (!make_copy(s_)) return false;
  if (!dicfile::pwrite_all(s_.temp_fd, bytes, offset)) return false;
  s_.temp_size = std::max(s_.temp_size, offset + static_cast<long>(bytes.size()));
  return true;
}

Change::Change() = default;

Change::~Change() { end(); }

bool Change::begin(const char *path) {
  end();
  missing_ = false;
  if (path == nullptr || *path == '\0') {
    dicerr::set(dicerr::Kind::system, "", ENOENT);
    return false;
  }
  dicerr::clear();
  auto s = std::make_unique<ChangeState>();
  if (!lock_dictionary(path, s->file, missing_)) return false;
  state_ = std::move(s);
  if (!state_->file.squatted || take_over(*state_)) return true;
  end();
  return false;
}

dicfile::PageSource &Change::source() { return state_->source; }

bool Change::read(std::vector<unsigned char> &image) {
  if (!state_) return false;
  if (dicfile::read_image(state_->current(), image)) return true;
  dicerr::set(dicerr::Kind::system, state_->file.shown, errno);
  return false;
}

bool Change::replace(std::span<const unsigned char> image) {
  if (!state_) return false;
  ChangeState &s = *state_;
  if (s.copied ? ftruncate(s.temp_fd, 0) != 0 : !open_temp(s)) {
    dicerr::set(dicerr::Kind::system, s.temp_shown(), errno);
    return false;
  }
  s.copied = true;  // from here the copy is the change, whatever it holds
  s.temp_size = 0;
  if (!s.source.write(0, image)) {
    dicerr::set(dicerr::Kind::system, s.temp_shown(), errno);
    return false;
  }
  return true;
}

std::string Change::keep_original(const char *suffix) {
  if (!state_) return "";
  ChangeState &s = *state_;
  std::string base = s.file.name + suffix;
  // The plain names first, as a person looks for them; then names nobody
  // can have taken before.
  for (int n = 0; n < 110; ++n) {
    std::string name = n == 0 ? base : n < 10 ? base + "." + std::to_string(n) : random_name(base);
    // A second name for the file as it is: the rename in commit() then
    // leaves the old content under this name alone.
    if (::linkat(s.file.dir, s.file.name.c_str(), s.file.dir, name.c_str(), 0) == 0) {
      if (names_inode(s.file.dir, name, s.file.st)) {
        s.kept = name;
        return s.file.shown + name.substr(s.file.name.size());
      }
      ::unlinkat(s.file.dir, name.c_str(), 0);  // the name changed under us: not what was locked
      break;
    }
    if (errno != EEXIST) break;
  }
  dicerr::set(dicerr::Kind::system, s.file.shown + suffix, errno == 0 ? EEXIST : errno);
  return "";
}

bool Change::commit() {
  if (!state_) return false;
  ChangeState &s = *state_;
  bool ok = true;
  if (s.copied) {
    ok = put_in_place(s);
    if (ok) s.kept.clear();  // the old file lives on under its kept name
  } else {
    s.kept.clear();
  }
  end();
  return ok;
}

void Change::end() {
  if (!state_) return;
  ChangeState &s = *state_;
  if (s.temp_fd >= 0) ::close(s.temp_fd);  // an unnamed copy vanishes with it
  if (!s.temp_name.empty()) ::unlinkat(s.file.dir, s.temp_name.c_str(), 0);
  // Not committed: the file is as it was, and needs no second name.
  if (!s.kept.empty()) ::unlinkat(s.file.dir, s.kept.c_str(), 0);
  state_.reset();  // closes the file, which releases the lock
}

}  // namespace dicchange
