#include "dict/dic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "dict/be24.h"

#include "dict/hanja_util.h"

namespace dicfile {

DicFile DicFile::open(const char *path, Mode mode) {
  DicFile file;
  if (path == nullptr || path[0] == '\0') {
    errno = ENOENT;
    return file;
  }
  int fd = ::open(path, (mode == Mode::read ? O_RDONLY : O_RDWR) | O_CLOEXEC);
  if (fd < 0) return file;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A directory or device is never read as a dictionary.
    ::close(fd);
    errno = EISDIR;
    return file;
  }
  FILE *fp = fdopen(fd, mode == Mode::read ? "rb" : "r+b");
  if (fp == nullptr) {
    int saved = errno;
    ::close(fd);
    errno = saved;
    return file;
  }
  file.buffer_ = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(kStreamBuffer));
  std::setvbuf(fp, file.buffer_.get(), _IOFBF, static_cast<std::size_t>(kStreamBuffer));
  file.fp_ = fp;
  file.size_ = static_cast<long>(st.st_size);
  return file;
}

DicFile &DicFile::operator=(DicFile &&other) noexcept {
  if (this != &other) {
    close();
    fp_ = other.fp_;
    size_ = other.size_;
    buffer_ = std::move(other.buffer_);
    other.fp_ = nullptr;
  }
  return *this;
}

bool DicFile::close() {
  if (fp_ == nullptr) return true;
  bool ok = std::ferror(fp_) == 0;
  if (std::fclose(fp_) != 0) ok = false;
  fp_ = nullptr;
  return ok;
}

long stream_size(FILE *fp) {
  struct stat st;
  if (fp == nullptr || fstat(fileno(fp), &st) != 0 || !S_ISREG(st.st_mode)) return 0;
  return static_cast<long>(st.st_size);
}

bool NodeReader::seek(long offset) {
  if (offset == pos_) return true;
  constexpr long kMask = kStreamBuffer - 1;
  unsigned char scratch[kStreamBuffer];
  if (pos_ > 0 && block_ >= 0) {
    if (offset > pos_ && offset < block_ + kStreamBuffer) {
      // Ahead inside the buffered block: pass over the bytes in between.
      std::size_t skip = static_cast<std::size_t>(offset - pos_);
      if (std::fread(scratch, 1, skip, fp_) != skip) return pos_ = -1, false;
      pos_ = offset;
      return true;
    }
    if (offset >= block_ && offset < pos_) {
      // Back inside it: the buffer serves, only the position changes.
      if (std::fseek(fp_, offset, SEEK_SET) != 0) return pos_ = -1, false;
      pos_ = offset;
      return true;
    }
  }
  // Elsewhere: start at the block's beginning, so that the buffer is filled
  // once from there, rather than once up to `offset` and once after it.
  long start = offset & ~kMask;
  if (std::fseek(fp_, start, SEEK_SET) != 0) return pos_ = -1, false;
  pos_ = start;
  block_ = -1;
  if (offset == start) return true;
  std::size_t skip = static_cast<std::size_t>(offset - start);
  if (std::fread(scratch, 1, skip, fp_) != skip) return pos_ = -1, false;
  pos_ = offset;
  block_ = start;
  return true;
}

int NodeReader::byte() {
  int c = getc_unlocked(fp_);  // the stream belongs to this call alone
  if (c == EOF) {
    pos_ = -1;
    return -1;
  }
  if (block_ < 0 || pos_ >= block_ + kStreamBuffer) block_ = pos_ & ~(kStreamBuffer - 1);
  ++pos_;
  return c;
}

int NodeReader::number_at(long offset) {
  if (!seek(offset)) return 0;
  unsigned char b[be24::kSize] = {};
  for (unsigned char &x : b) {
    int c = byte();
    if (c < 0) break;  // a short read leaves the missing bytes 0, as get_int8 does
    x = static_cast<unsigned char>(c);
  }
  return static_cast<int>(be24::decode(b));
}

bool NodeReader::read(int offset, Node &node) {
  if (!node_offset_ok(size_, offset) || !seek(offset)) return false;
  int c = byte();
  if (c < 0) return false;
  int type = (c & dicfmt::kKeyBit) != 0 ? dicfmt::kNodeKey : dicfmt::kNodeValue;
  int length = c & dicfmt::kLengthMask;
  if (length > dicfmt::kMaxReadable || offset + dicfmt::node_size(length) > size_) return false;
  for (int i = 0; i < length; ++i) {
    if ((c = byte()) < 0) return false;
    node.str[i] = static_cast<char>(c);
  }
  unsigned char b[be24::kSize];
  for (unsigned char &x : b) {
    if ((c = byte()) < 0) return false;
    x = static_cast<unsigned char>(c);
  }
  int link = static_cast<int>(be24::decode(b));
  if (link != 0 && !node_offset_ok(size_, link)) return false;
  node.offset = offset;
  node.type = type;
  node.length = length;
  node.link = link;
  return true;
}

bool read_node(FILE *fp, long size, int offset, Node &node) {
  NodeReader reader(fp, size);
  return reader.read(offset, node);
}

int find_key_node(NodeReader &reader, std::string_view key, bool &damaged, Node &node) {
  damaged = false;
  if (!has_header(reader.size())) {
    damaged = true;
    return 0;
  }
  int next = reader.number_at(dicfmt::slot_offset(hash_bytes(key)));
  for (long steps = walk_limit(reader.size()); next != 0; --steps) {
    if (steps == 0 || !reader.read(next, node)) {
      damaged = true;
      return 0;
    }
    if (node.is_key() && node.text() == key) return node.offset;
    next = node.link;
  }
  return 0;
}

int find_key_node(NodeReader &reader, std::string_view key, bool &damaged) {
  Node node;
  return find_key_node(reader, key, damaged, node);
}

int find_key_node(FILE *fp, long size, std::string_view key, bool &damaged) {
  NodeReader reader(fp, size);
  return find_key_node(reader, key, damaged);
}

bool chain_sound(FILE *fp, long size, int slot) {
  if (!has_header(size)) return false;
  NodeReader reader(fp, size);
  Node node;
  int next = reader.number_at(dicfmt::slot_offset(slot));
  for (long steps = walk_limit(size); next != 0; --steps) {
    if (steps == 0 || !reader.read(next, node)) return false;
    next = node.link;
  }
  return true;
}

}  // namespace dicfile
