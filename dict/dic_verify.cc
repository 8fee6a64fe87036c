#include "dict/dic_verify.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <string_view>

#include "dict/be24.h"
#include "dict/dic_format.h"
#include "dict/dic_node.h"
#include "dict/hanja_util.h"

namespace {

// The name of a walk in a problem's line ("slot 12", "free list 3"), put
// into words only when a problem is reported: most walks report none.
class Where {
 public:
  Where(const char *kind, int number) : kind_(kind), number_(number) {}
  const char *str() {
    if (text_[0] == '\0') std::snprintf(text_, sizeof text_, "%s %d", kind_, number_);
    return text_;
  }

 private:
  const char *kind_;
  int number_;
  char text_[32] = {};
};

class Checker {
 public:
  Checker(std::span<const unsigned char> image, std::size_t limit)
      : image_(image), limit_(limit), walk_of_(std::make_unique<int[]>(image.size())), covered_(image.size(), false) {}

  VerifyReport run();

 private:
  struct Seen {
    bool ok;
    int length;
    bool key;
    int link;
  };

  void problem(const char *fmt, ...) __attribute__((format(printf, 2, 3)));
  int number(long offset) const { return static_cast<int>(be24::decode(&image_[offset])); }
  // Marks and decodes the node at `offset` met by walk `walk` (named `where`);
  // ok is false when the walk must stop there.
  Seen visit(int offset, int walk, Where &where);
  void check_chain(int slot);
  void check_free_list(int k);
  void check_tiling();

  std::span<const unsigned char> image_;
  std::size_t limit_;
  // Walk that first met the node starting at each offset, 0 none; zeroed at
  // once rather than filled element by element, as a check runs often.
  std::unique_ptr<int[]> walk_of_;
  std::vector<bool> covered_;  // bytes that belong to a node already met
  VerifyReport report_;
};

void Checker::problem(const char *fmt, ...) {
  ++report_.total;
  if (report_.problems.size() >= limit_) return;
  char line[256];
  va_list args;
  va_start(args, fmt);
  std::vsnprintf(line, sizeof line, fmt, args);
  va_end(args);
  report_.problems.emplace_back(line);
}

Checker::Seen Checker::visit(int offset, int walk, Where &where) {
  long size = static_cast<long>(image_.size());
  if (offset < dicfmt::kFirstNode || offset + dicfmt::kMinNodeSize > size) {
    problem("%s: offset %d out of range (nodes lie from %d to %ld)", where.str(), offset, dicfmt::kFirstNode, size);
    return {false, 0, false, 0};
  }
  if (walk_of_[offset] == walk) {
    problem("%s: loops back to the node at %d", where.str(), offset);
    return {false, 0, false, 0};
  }
  if (walk_of_[offset] != 0) {
    problem("%s: node at %d used twice", where.str(), offset);
    return {false, 0, false, 0};
  }
  dicnode::Head head = dicnode::head(image_[offset]);
  int length = head.length;
  long end = offset + static_cast<long>(head.size());
  if (end > size) {
    problem("%s: node at %d runs past the end of the file", where.str(), offset);
    return {false, 0, false, 0};
  }
  walk_of_[offset] = walk;
  for (long i = offset; i < end; ++i) {
    if (covered_[i]) {
      problem("%s: node at %d overlaps another node", where.str(), offset);
      return {false, 0, false, 0};
    }
    covered_[i] = true;
  }
  if (dicfmt::size_class(length) < 0)
    problem("%s: string of %d bytes at %d has no size class", where.str(), length, offset);
  return {true, length, head.key, dicnode::link(&image_[offset])};
}

void Checker::check_chain(int slot) {
  int first = number(dicfmt::slot_offset(slot));
  if (first == 0) return;  // most slots of a user dictionary are empty
  Where where("slot", slot);
  int walk = slot + 1;
  int key_at = 0, key_length = 0, values = 0;
  std::set<std::string_view> keys, key_values;
  auto close_group = [&] {
    if (key_at != 0 && values == 0) problem("%s: key node at %d has no value", where.str(), key_at);
  };
  for (int next = first; next != 0;) {
    Seen node = visit(next, walk, where);
    if (!node.ok) return;
    std::string_view text(reinterpret_cast<const char *>(&image_[next + 1]), static_cast<std::size_t>(node.length));
    if (node.key) {
      close_group();
      ++report_.keys;
      key_at = next, key_length = node.length, values = 0;
      key_values.clear();
      if (!keys.insert(text).second) problem("%s: key at %d occurs twice in the chain", where.str(), next);
      if (hash_bytes(text) != slot) problem("%s: key at %d belongs to slot %d", where.str(), next, hash_bytes(text));
    } else if (key_at == 0) {
      problem("%s: value node at %d has no key before it", where.str(), next);
    } else {
      ++report_.values, ++values;
      if (node.length != key_length)
        problem("%s: value at %d has %d bytes, its key at %d has %d", where.str(), next, node.length, key_at, key_length);
      if (!key_values.insert(text).second)
        problem("%s: value at %d occurs twice under the key at %d", where.str(), next, key_at);
    }
    next = node.link;
  }
  close_group();
}

void Checker::check_free_list(int k) {
  Where where("free list", k);
  int walk = dicfmt::kSlotCount + 1 + k;
  for (int next = number(dicfmt::avail_offset(k)); next != 0;) {
    Seen node = visit(next, walk, where);
    if (!node.ok) return;
    ++report_.free_nodes;
    if (dicfmt::size_class(node.length) != k)
      problem("%s: node at %d holds %d bytes, a node of another class", where.str(), next, node.length);
    next = node.link;
  }
}

// Nodes are only ever appended and never moved, so they tile the node area
// from its start to the end of the file. A node that no chain or free list
// reaches is lost to every reader: the rest of a chain behind a cut link, or
// a free list whose head was overwritten.
void Checker::check_tiling() {
  long size = static_cast<long>(image_.size());
  std::vector<bool> starts(image_.size(), false);
  long at = dicfmt::kFirstNode;
  while (at < size) {
    dicnode::Head head = dicnode::head(image_[at]);
    long end = at + head.size();
    if (end > size) {
      problem("node area: the %ld bytes from %ld on do not hold a whole node", size - at, at);
      break;
    }
    starts[at] = true;
    if (walk_of_[at] == 0) {
      ++(head.key ? report_.orphan_keys : report_.orphan_values);
      problem("node at %ld (a %s of %d bytes) is reached by no chain or free list", at,
              head.key ? "reading" : "word", head.length);
    }
    at = end;
  }
  for (long offset = dicfmt::kFirstNode; offset < size; ++offset)
    if (walk_of_[offset] != 0 && !starts[offset])
      problem("node at %ld does not begin where the node before it ends", offset);
}

VerifyReport Checker::run() {
  long size = static_cast<long>(image_.size());
  if (size < dicfmt::kHeaderSize) {
    problem("truncated header: %ld bytes, a dictionary has at least %d", size, dicfmt::kHeaderSize);
    return report_;
  }
  if (std::memcmp(image_.data(), dicfmt::kSignature.data(), dicfmt::kSignature.size()) != 0)
    problem("bad signature: the file does not begin with \"HWDICTIONARY\"");
  int end = number(dicfmt::kEndOfDataOffset);
  if (end != size) problem("end-of-data offset %d is not the file length %ld", end, size);
  for (int slot = 0; slot < dicfmt::kSlotCount; ++slot) check_chain(slot);
  for (int k = 0; k < dicfmt::kSizeClasses; ++k) check_free_list(k);
  check_tiling();
  return report_;
}

}  // namespace

VerifyReport verify_image(std::span<const unsigned char> image, std::size_t limit) {
  return Checker(image, limit).run();
}
