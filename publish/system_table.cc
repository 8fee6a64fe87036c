#include "publish/system_table.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace publish {
namespace {

std::string_view key_of(std::string_view line) { return line.substr(0, line.find(':')); }

}  // namespace

bool split_table_line(std::string_view line, TableLine &out) {
  std::size_t c1 = line.find(':');
  if (c1 == std::string_view::npos || c1 == 0) return false;
  out.key = line.substr(0, c1);
  std::string_view rest = line.substr(c1 + 1);
  std::size_t c2 = rest.find(':');
  out.word = rest.substr(0, c2);
  out.comment = c2 == std::string_view::npos ? std::string_view() : rest.substr(c2 + 1);
  return !out.word.empty();
}

SystemTable::SystemTable() {
  const char *env = std::getenv("GLOSSET_HANJA_TABLE");
  path_ = env != nullptr && *env != '\0' ? env : kSystemTable;
  int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
    why_ = fd < 0 ? std::strerror(errno) : "not a table";
    if (fd >= 0) close(fd);
    return;
  }
  void *map = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (map == MAP_FAILED) {
    why_ = std::strerror(errno);
    return;
  }
  data_ = static_cast<const char *>(map);
  size_ = static_cast<std::size_t>(st.st_size);
  body_ = std::string_view(data_, size_);
  while (!body_.empty() && (body_[0] == '#' || body_[0] == '\n')) {
    std::size_t end = body_.find('\n');
    body_.remove_prefix(end == std::string_view::npos ? body_.size() : end + 1);
  }
}

SystemTable::~SystemTable() {
  if (data_ != nullptr) munmap(const_cast<char *>(data_), size_);
}

std::string_view SystemTable::lines_of(std::string_view key) const {
  // Binary search over byte offsets: each probe moves to the start of its line.
  auto line_start = [&](std::size_t at) {
    while (at > 0 && body_[at - 1] != '\n') --at;
    return at;
  };
  auto line_at = [&](std::size_t start) {
    std::size_t end = body_.find('\n', start);
    return body_.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  };
  std::size_t lo = 0, hi = body_.size();  // the first line of `key` starts in [lo, hi]
  while (lo < hi) {
    std::size_t start = line_start(lo + (hi - lo) / 2);
    std::string_view line = line_at(start);
    if (key_of(line) < key) {
      lo = start + line.size() + 1;
    } else {
      hi = start;
    }
  }
  std::size_t end = lo;
  while (end < body_.size()) {
    std::string_view line = line_at(end);
    if (key_of(line) != key) break;
    end += line.size() + 1;
  }
  return body_.substr(lo, std::min(end, body_.size()) - lo);
}

bool SystemTable::find(std::string_view key, std::string_view word, std::string_view *comment) const {
  std::string_view lines = lines_of(key);
  TableLine t;
  while (!lines.empty()) {
    std::size_t end = lines.find('\n');
    if (split_table_line(lines.substr(0, end), t) && t.word == word) {
      if (comment != nullptr) *comment = t.comment;
      return true;
    }
    lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
  }
  return false;
}

}  // namespace publish
