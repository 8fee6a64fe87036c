#include "dict/dic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "dict/be24.h"
#include "dict/dic_change.h"

#include "dict/hanja_util.h"

namespace dicfile {

DicFile DicFile::open(const char *path, Mode mode) {
  DicFile file;
  if (path == nullptr || path[0] == '\0') {
    errno = ENOENT;
    return file;
  }
  // During a change of this dictionary its steps work on the change's copy.
  const char *real = dicchange::open_path(path, mode == Mode::update);
  if (real == nullptr) return file;
  // O_NONBLOCK: a FIFO must be refused, not waited on until a writer comes.
  // It is left set: it changes nothing for a regular file.
  int fd = ::open(real, (mode == Mode::read ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return file;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A directory, device or FIFO is never read as a dictionary.
    ::close(fd);
    errno = EISDIR;
    return file;
  }
  FILE *fp = fdopen(fd, mode == Mode::read ? "rb" : "r+b");
  if (fp == nullptr) {
    ::close(fd);
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

namespace {

constexpr long kBlockMask = kStreamBuffer - 1;

// The bytes of a stream's buffer not read yet, as the C library's own
// getc_unlocked sees them, so that a whole node is taken from the buffer in
// one step. Where the library does not show its buffer, none are seen and
// every byte goes through getc_unlocked.
#ifdef __GLIBC__
std::size_t buffered(FILE *fp) { return static_cast<std::size_t>(fp->_IO_read_end - fp->_IO_read_ptr); }
const unsigned char *buffered_bytes(FILE *fp) { return reinterpret_cast<const unsigned char *>(fp->_IO_read_ptr); }
void take(FILE *fp, std::size_t n) { fp->_IO_read_ptr += n; }
#else
std::size_t buffered(FILE *) { return 0; }
const unsigned char *buffered_bytes(FILE *) { return nullptr; }
void take(FILE *, std::size_t) {}
#endif

}  // namespace

bool NodeReader::lost() {
  pos_ = -1;
  return false;
}

bool NodeReader::skip_to(long offset) {
  std::size_t skip = static_cast<std::size_t>(offset - pos_);
  if (buffered(fp_) == 0) {
    // Nothing buffered yet: one byte fills the buffer, the rest is passed over
    // in it rather than copied out.
    if (getc_unlocked(fp_) == EOF) return lost();
    ++pos_;
    --skip;
  }
  if (buffered(fp_) >= skip) {
    take(fp_, skip);
  } else {
    unsigned char scratch[kStreamBuffer];
    if (std::fread(scratch, 1, skip, fp_) != skip) return lost();
  }
  pos_ = offset;
  block_ = (offset - 1) & ~kBlockMask;
  return true;
}

bool NodeReader::seek_elsewhere(long offset) {
  if (pos_ >= 0) {
    // The block the buffer holds, or, before the first read, the one the
    // first fill will bring.
    long block = block_ >= 0 ? block_ : pos_ & ~kBlockMask;
    // Ahead inside it: pass over the bytes in between.
    if (offset > pos_ && offset < block + kStreamBuffer) return skip_to(offset);
    // Back inside it: the buffer serves, only the position changes.
    if (block_ >= 0 && offset >= block_ && offset < pos_) {
      if (std::fseek(fp_, offset, SEEK_SET) != 0) return lost();
      pos_ = offset;
      return true;
    }
  }
  // Elsewhere: start at the block's beginning, so that the buffer is filled
  // once from there, rather than once up to `offset` and once after it.
  long start = offset & ~kBlockMask;
  if (std::fseek(fp_, start, SEEK_SET) != 0) return lost();
  pos_ = start;
  block_ = -1;
  return offset == start || skip_to(offset);
}

int NodeReader::number_at(long offset) {
  if (!seek(offset)) return 0;
  if (buffered(fp_) >= be24::kSize) {
    int number = static_cast<int>(be24::decode(buffered_bytes(fp_)));
    take(fp_, be24::kSize);
    pos_ += be24::kSize;
    block_ = (pos_ - 1) & ~kBlockMask;
    return number;
  }
  unsigned char b[be24::kSize] = {};
  for (unsigned char &x : b) {
    int c = getc_unlocked(fp_);
    if (c == EOF) {
      lost();
      break;  // a short read leaves the missing bytes 0, as get_int8 does
    }
    x = static_cast<unsigned char>(c);
    block_ = pos_++ & ~kBlockMask;
  }
  return static_cast<int>(be24::decode(b));
}

bool NodeReader::read(int offset, Node &node, bool keys_only) {
  if (!node_offset_ok(size_, offset) || !seek(offset)) return false;
  if (std::size_t avail = buffered(fp_); avail > 0) {
    // The whole node in the buffer: one step.
    const unsigned char *p = buffered_bytes(fp_);
    int length = p[0] & dicfmt::kLengthMask;
    std::size_t bytes = static_cast<std::size_t>(dicfmt::node_size(length));
    if (avail >= bytes && length <= dicfmt::kMaxReadable && offset + dicfmt::node_size(length) <= size_) {
      int type = (p[0] & dicfmt::kKeyBit) != 0 ? dicfmt::kNodeKey : dicfmt::kNodeValue;
      if (type == dicfmt::kNodeKey || !keys_only) std::memcpy(node.str, p + 1, static_cast<std::size_t>(length));
      int link = static_cast<int>(be24::decode(p + 1 + length));
      take(fp_, bytes);
      pos_ += static_cast<long>(bytes);
      block_ = (pos_ - 1) & ~kBlockMask;
      if (link != 0 && !node_offset_ok(size_, link)) return false;
      node.offset = offset;
      node.type = type;
      node.length = length;
      node.link = link;
      return true;
    }
  }
  // The stream belongs to this call alone, so its bytes are taken without
  // locking; the position is counted once per node.
  int c = getc_unlocked(fp_);
  if (c == EOF) return lost();
  int type = (c & dicfmt::kKeyBit) != 0 ? dicfmt::kNodeKey : dicfmt::kNodeValue;
  int length = c & dicfmt::kLengthMask;
  if (length > dicfmt::kMaxReadable || offset + dicfmt::node_size(length) > size_) {
    block_ = pos_++ & ~kBlockMask;
    return false;
  }
  for (int i = 0; i < length; ++i) {
    if ((c = getc_unlocked(fp_)) == EOF) return lost();
    node.str[i] = static_cast<char>(c);
  }
  unsigned char b[be24::kSize];
  for (unsigned char &x : b) {
    if ((c = getc_unlocked(fp_)) == EOF) return lost();
    x = static_cast<unsigned char>(c);
  }
  pos_ += dicfmt::node_size(length);
  block_ = (pos_ - 1) & ~kBlockMask;
  int link = static_cast<int>(be24::decode(b));
  if (link != 0 && !node_offset_ok(size_, link)) return false;
  node.offset = offset;
  node.type = type;
  node.length = length;
  node.link = link;
  return true;
}

bool NodeReader::scan_for_key(int &next, std::string_view key, long &steps, Node &node) {
  // Everything in locals: the loop reads bytes, which the compiler must
  // otherwise assume may change any member or referenced variable.
  const unsigned char *const start = buffered_bytes(fp_);
  const unsigned char *const end = start + buffered(fp_);
  const unsigned char *n = start;
  const long size = size_;
  long at = pos_;  // file offset of n
  long left = steps;
  int wanted = next;
  // The type/length byte of the key's node: a key of the key's length.
  const int head = key.size() <= static_cast<std::size_t>(dicfmt::kMaxReadable)
                       ? dicfmt::kKeyBit | static_cast<int>(key.size())
                       : -1;
  bool found = false;
  // Where the nodes taken here must end: inside the file and inside the buffer.
  const long limit = std::min(size, at + (end - n));
  // A link is followed when it is 0 or a plausible node offset: one unsigned
  // comparison does for node_offset_ok.
  const unsigned long link_span = static_cast<unsigned long>(size - dicfmt::kMinNodeSize - dicfmt::kFirstNode);
  if (!node_offset_ok(size, wanted)) return false;  // read() decides; `at` only grows from here
  while (wanted == at && left > 0 && at < limit) {
    int length = n[0] & dicfmt::kLengthMask;
    long bytes = dicfmt::node_size(length);
    // A node shorter than any sound one still needs the room node_offset_ok asks for.
    if (at + std::max<long>(bytes, dicfmt::kMinNodeSize) > limit || length > dicfmt::kMaxReadable) break;
    int link = static_cast<int>(be24::decode(n + 1 + length));
    if (link != 0 && static_cast<unsigned long>(link - dicfmt::kFirstNode) > link_span) break;
    --left;
    if (n[0] == head && std::memcmp(n + 1, key.data(), key.size()) == 0) {
      std::memcpy(node.str, n + 1, key.size());
      node.offset = wanted;
      node.type = dicfmt::kNodeKey;
      node.length = length;
      node.link = link;
      found = true;
      n += bytes;
      at += bytes;
      break;
    }
    n += bytes;
    at += bytes;
    wanted = link;
  }
  if (n != start) {
    take(fp_, static_cast<std::size_t>(n - start));
    pos_ = at;
    block_ = (pos_ - 1) & ~kBlockMask;
  }
  steps = left;
  next = wanted;
  return found;
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
  long steps = walk_limit(reader.size());
  for (;;) {
    if (reader.scan_for_key(next, key, steps, node)) return node.offset;
    if (next == 0) return 0;
    if (steps == 0 || !reader.read(next, node, true)) {
      damaged = true;
      return 0;
    }
    --steps;
    if (node.is_key() && node.text() == key) return node.offset;
    next = node.link;
  }
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
