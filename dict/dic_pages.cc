#include "dict/dic_pages.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace dicfile {

long pread_all(int fd, unsigned char *dst, std::size_t n, long offset) {
  std::size_t done = 0;
  while (done < n) {
    ssize_t got = ::pread(fd, dst + done, n - done, static_cast<off_t>(offset + static_cast<long>(done)));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;  // the end of the file
    done += static_cast<std::size_t>(got);
  }
  return static_cast<long>(done);
}

bool pwrite_all(int fd, std::span<const unsigned char> bytes, long offset) {
  const unsigned char *p = bytes.data();
  std::size_t n = bytes.size();
  while (n > 0) {
    ssize_t w = ::pwrite(fd, p, n, static_cast<off_t>(offset));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = EIO;
      return false;
    }
    p += w;
    n -= static_cast<std::size_t>(w);
    offset += w;
  }
  return true;
}

long FdSource::read(long offset, unsigned char *dst, std::size_t n) { return pread_all(fd_, dst, n, offset); }

bool FdSource::write(long offset, std::span<const unsigned char> bytes) {
  if (!pwrite_all(fd_, bytes, offset)) return false;
  size_ = std::max(size_, offset + static_cast<long>(bytes.size()));
  return true;
}

long MemorySource::read(long offset, unsigned char *dst, std::size_t n) {
  if (offset < 0) {
    errno = EINVAL;
    return -1;
  }
  if (offset >= size()) return 0;
  std::size_t got = std::min(n, view_.size() - static_cast<std::size_t>(offset));
  std::memcpy(dst, view_.data() + offset, got);
  return static_cast<long>(got);
}

bool MemorySource::write(long offset, std::span<const unsigned char> bytes) {
  if (owner_ == nullptr || offset < 0) {
    errno = owner_ == nullptr ? EBADF : EINVAL;
    return false;
  }
  std::size_t end = static_cast<std::size_t>(offset) + bytes.size();
  if (end > owner_->size()) owner_->resize(end, 0);  // a gap reads as zero bytes, as in a file
  if (!bytes.empty()) std::memcpy(owner_->data() + offset, bytes.data(), bytes.size());
  view_ = *owner_;
  return true;
}

}  // namespace dicfile
