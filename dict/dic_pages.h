// Where the bytes of a dictionary come from: an open file, read and written
// with pread/pwrite at explicit offsets, or an image in memory. The store's
// steps see nothing but this, so a lookup, a change, verify and repair run
// alike on a file and on a byte buffer (as the fuzz target runs them).
#pragma once
#include <cstddef>
#include <span>
#include <vector>

namespace dicfile {

class PageSource {
 public:
  virtual ~PageSource() = default;
  // The current length in bytes.
  virtual long size() const = 0;
  // Reads up to `n` bytes at `offset` into `dst`: the number read (fewer at
  // the end), or -1 with errno set.
  virtual long read(long offset, unsigned char *dst, std::size_t n) = 0;
  // Writes all of `bytes` at `offset`, growing the source where they end
  // beyond it; false with errno set when it could not.
  virtual bool write(long offset, std::span<const unsigned char> bytes) = 0;
  // The whole image when it lies in memory, to be read in place; else null.
  virtual const unsigned char *memory() const { return nullptr; }
};

// A regular file open on `fd`, which the caller owns and keeps open.
class FdSource final : public PageSource {
 public:
  FdSource() = default;
  FdSource(int fd, long size) : fd_(fd), size_(size) {}
  int fd() const { return fd_; }
  long size() const override { return size_; }
  long read(long offset, unsigned char *dst, std::size_t n) override;
  bool write(long offset, std::span<const unsigned char> bytes) override;

 private:
  int fd_ = -1;
  long size_ = 0;
};

// An image in memory: read-only over a span, or writable over a vector that
// grows as a file would.
class MemorySource final : public PageSource {
 public:
  explicit MemorySource(std::span<const unsigned char> image) : view_(image) {}
  explicit MemorySource(std::vector<unsigned char> &image) : view_(image), owner_(&image) {}
  long size() const override { return static_cast<long>(view_.size()); }
  long read(long offset, unsigned char *dst, std::size_t n) override;
  bool write(long offset, std::span<const unsigned char> bytes) override;  // EBADF when read-only
  const unsigned char *memory() const override { return view_.data(); }

 private:
  std::span<const unsigned char> view_;
  std::vector<unsigned char> *owner_ = nullptr;
};

// Reads all of [offset, offset + n) of `fd`, retrying short reads: the
// number of bytes read (fewer only at the end of the file), -1 with errno set.
long pread_all(int fd, unsigned char *dst, std::size_t n, long offset);
// Writes all of `bytes` at `offset` of `fd`; false with errno set.
bool pwrite_all(int fd, std::span<const unsigned char> bytes, long offset);

}  // namespace dicfile
