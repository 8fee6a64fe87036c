#include "dict/dic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
  file.fp_ = fp;
  file.size_ = static_cast<long>(st.st_size);
  return file;
}

DicFile &DicFile::operator=(DicFile &&other) noexcept {
  if (this != &other) {
    close();
    fp_ = other.fp_;
    size_ = other.size_;
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

bool read_node(FILE *fp, long size, int offset, Node &node) {
  if (!node_offset_ok(size, offset) || std::fseek(fp, offset, SEEK_SET) != 0) return false;
  int type = 0;
  int length = 0;
  get_typelength(fp, &type, &length);
  if (length > dicfmt::kMaxReadable || offset + dicfmt::node_size(length) > size) return false;
  if (std::fread(node.str, 1, static_cast<std::size_t>(length), fp) != static_cast<std::size_t>(length))
    return false;
  int link = get_int8(fp);
  if (link != 0 && !node_offset_ok(size, link)) return false;
  node.offset = offset;
  node.type = type;
  node.length = length;
  node.link = link;
  return true;
}

int find_key_node(FILE *fp, long size, std::string_view key, bool &damaged) {
  damaged = false;
  if (!has_header(size)) {
    damaged = true;
    return 0;
  }
  Node node;
  int next = get_table(fp, hash_bytes(key));
  for (long steps = walk_limit(size); next != 0; --steps) {
    if (steps == 0 || !read_node(fp, size, next, node)) {
      damaged = true;
      return 0;
    }
    if (node.is_key() && node.text() == key) return node.offset;
    next = node.link;
  }
  return 0;
}

bool chain_sound(FILE *fp, long size, int slot) {
  if (!has_header(size)) return false;
  Node node;
  int next = get_table(fp, slot);
  for (long steps = walk_limit(size); next != 0; --steps) {
    if (steps == 0 || !read_node(fp, size, next, node)) return false;
    next = node.link;
  }
  return true;
}

}  // namespace dicfile
