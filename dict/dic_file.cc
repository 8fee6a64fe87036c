#include "dict/dic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "dict/dic_node.h"
#include "dict/hanja_util.h"

namespace dicfile {

DicFile DicFile::open(const char *path, Mode mode) {
  DicFile file;
  if (path == nullptr || path[0] == '\0') {
    errno = ENOENT;
    return file;
  }
  // O_NONBLOCK: a FIFO must be refused, not waited on until a writer comes.
  // It is left set: it changes nothing for a regular file.
  int fd = ::open(path, (mode == Mode::read ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return file;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > dicfmt::kMaxFileSize) {
    // A directory, device or FIFO is never read as a dictionary, nor a file
    // larger than 24-bit offsets reach.
    int reason = S_ISREG(st.st_mode) ? EFBIG : EISDIR;
    ::close(fd);
    errno = reason;
    return file;
  }
  file.source_ = FdSource(fd, static_cast<long>(st.st_size));
  return file;
}

DicFile &DicFile::operator=(DicFile &&other) noexcept {
  if (this != &other) {
    close();
    source_ = other.source_;
    other.source_ = FdSource();
  }
  return *this;
}

bool DicFile::close() {
  if (source_.fd() < 0) return true;
  bool ok = ::close(source_.fd()) == 0;
  source_ = FdSource();
  return ok;
}

bool read_image(int fd, std::vector<unsigned char> &image) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return false;
  // Bounded before anything is allocated: no dictionary passes 24-bit offsets.
  if (st.st_size > dicfmt::kMaxFileSize) {
    errno = EFBIG;
    return false;
  }
  image.resize(static_cast<std::size_t>(st.st_size));
  long got = pread_all(fd, image.data(), image.size(), 0);
  if (got < 0) return false;
  image.resize(static_cast<std::size_t>(got));  // shorter than it was: take what is there
  return true;
}

bool read_image(const char *path, std::vector<unsigned char> &image) {
  DicFile file = DicFile::open(path, Mode::read);
  return file && read_image(file.fd(), image);
}

Pager::Pager(PageSource &source) : source_(source), size_(source.size()), memory_(source.memory()) {}

bool Pager::load(long page) {
  forget();
  long got = source_.read(page, page_bytes_, static_cast<std::size_t>(std::min(kPageSize, size_ - page)));
  if (got <= 0) return false;
  page_ = page;
  held_ = got;
  return true;
}

std::span<const unsigned char> Pager::run(long offset) {
  if (offset < 0 || offset >= size_) return {};
  if (memory_ != nullptr) return {memory_ + offset, static_cast<std::size_t>(size_ - offset)};
  if (page_ < 0 || offset < page_ || offset >= page_ + held_) {
    if (!load(offset & ~(kPageSize - 1)) || offset >= page_ + held_) return {};
  }
  return {page_bytes_ + (offset - page_), static_cast<std::size_t>(page_ + held_ - offset)};
}

const unsigned char *Pager::bytes(long offset, int n) {
  if (offset < 0 || n < 0 || n > kMaxSpan || offset + n > size_) return nullptr;
  std::span<const unsigned char> here = run(offset);
  if (here.size() >= static_cast<std::size_t>(n)) return here.data();
  if (here.empty()) return nullptr;
  // Across a page boundary: the first part from this page, the rest from the next.
  std::size_t first = here.size();
  std::memcpy(across_, here.data(), first);
  std::span<const unsigned char> rest = run(offset + static_cast<long>(first));
  if (rest.size() < static_cast<std::size_t>(n) - first) return nullptr;
  std::memcpy(across_ + first, rest.data(), static_cast<std::size_t>(n) - first);
  return across_;
}

int Pager::number_at(long offset) {
  if (const unsigned char *p = bytes(offset, be24::kSize)) return static_cast<int>(be24::decode(p));
  unsigned char b[be24::kSize] = {};  // a short read leaves the missing bytes 0
  for (int i = 0; i < be24::kSize; ++i)
    if (const unsigned char *p = bytes(offset + i, 1)) b[i] = *p;
  return static_cast<int>(be24::decode(b));
}

bool Pager::write(long offset, std::span<const unsigned char> bytes) {
  bool ok = source_.write(offset, bytes);
  // What the page held may be stale now; it is read again when next asked for.
  if (page_ >= 0 && offset < page_ + held_ && offset + static_cast<long>(bytes.size()) > page_) forget();
  size_ = source_.size();
  memory_ = source_.memory();
  return ok;
}

bool Pager::write_number(long offset, int value) {
  unsigned char b[be24::kSize];
  be24::encode(b, static_cast<std::uint32_t>(value));
  return write(offset, b);
}

bool Pager::read(int offset, Node &node, bool keys_only) {
  if (!node_offset_ok(size_, offset)) return false;
  const unsigned char *p = bytes(offset, 1);
  if (p == nullptr) return false;
  dicnode::Head head = dicnode::head(*p);
  if (head.length > dicfmt::kMaxReadable || (p = bytes(offset, head.size())) == nullptr) return false;
  dicnode::View v = dicnode::decode(p);
  if (v.link != 0 && !node_offset_ok(size_, v.link)) return false;
  if (head.key || !keys_only) std::memcpy(node.str, v.text.data(), v.text.size());
  node.offset = offset;
  node.type = head.type();
  node.length = head.length;
  node.link = v.link;
  return true;
}

bool Pager::scan_for_key(int &next, std::string_view key, long &steps, Node &node) {
  if (!node_offset_ok(size_, next)) return false;  // read() decides; `at` only grows from here
  std::span<const unsigned char> here = run(next);
  // Everything in locals: the loop reads bytes, which the compiler must
  // otherwise assume may change any member or referenced variable.
  const unsigned char *n = here.data();
  long at = next;  // file offset of n
  const long limit = at + static_cast<long>(here.size());  // inside the file and the page
  long left = steps;
  int wanted = next;
  // The type/length byte of the key's node: a key of the key's length.
  const int head = key.size() <= static_cast<std::size_t>(dicfmt::kMaxReadable)
                       ? dicfmt::kKeyBit | static_cast<int>(key.size())
                       : -1;
  bool found = false;
  // A link is followed when it is 0 or a plausible node offset: one unsigned
  // comparison does for node_offset_ok.
  const unsigned long link_span = static_cast<unsigned long>(size_ - dicfmt::kMinNodeSize - dicfmt::kFirstNode);
  while (wanted == at && left > 0 && at < limit) {
    dicnode::Head h = dicnode::head(n[0]);
    long size = h.size();
    // A node shorter than any sound one still needs the room node_offset_ok asks for.
    if (at + std::max<long>(size, dicfmt::kMinNodeSize) > limit || h.length > dicfmt::kMaxReadable) break;
    int link = dicnode::link(n);
    if (link != 0 && static_cast<unsigned long>(link - dicfmt::kFirstNode) > link_span) break;
    --left;
    if (n[0] == head && std::memcmp(n + 1, key.data(), key.size()) == 0) {
      std::memcpy(node.str, n + 1, key.size());
      node.offset = wanted;
      node.type = dicfmt::kNodeKey;
      node.length = h.length;
      node.link = link;
      found = true;
      break;
    }
    n += size;
    at += size;
    wanted = link;
  }
  steps = left;
  next = wanted;
  return found;
}

int find_key_node(Pager &pages, std::string_view key, bool &damaged, Node &node) {
  damaged = false;
  if (!has_header(pages.size())) {
    damaged = true;
    return 0;
  }
  int next = pages.number_at(dicfmt::slot_offset(hash_bytes(key)));
  long steps = walk_limit(pages.size());
  for (;;) {
    if (pages.scan_for_key(next, key, steps, node)) return node.offset;
    if (next == 0) return 0;
    if (steps == 0 || !pages.read(next, node, true)) {
      damaged = true;
      return 0;
    }
    --steps;
    if (node.is_key() && node.text() == key) return node.offset;
    next = node.link;
  }
}

int find_key_node(Pager &pages, std::string_view key, bool &damaged) {
  Node node;
  return find_key_node(pages, key, damaged, node);
}

bool chain_sound(Pager &pages, int slot) {
  if (!has_header(pages.size())) return false;
  Node node;
  int next = pages.number_at(dicfmt::slot_offset(slot));
  for (long steps = walk_limit(pages.size()); next != 0; --steps) {
    if (steps == 0 || !pages.read(next, node)) return false;
    next = node.link;
  }
  return true;
}

}  // namespace dicfile
