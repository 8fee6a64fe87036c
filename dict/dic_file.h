// An open dictionary file and bounded reading of its nodes.
//
// The store never trusts what it reads: every offset is checked against the
// file's length before it is followed, every string against the longest one a
// result row holds, and every walk is bounded by the number of nodes the file
// could hold, so that a damaged or foreign file can neither make it read
// outside its buffers nor loop forever.
#pragma once
#include <span>
#include <string_view>
#include <vector>

#include "dict/dic_format.h"
#include "dict/dic_pages.h"

namespace dicfile {

enum class Mode { read, update };

// Size of the pages the store reads: one aligned page is one pread. An
// average chain of the default system dictionary is about 2.6 KB, so in the
// chain layout one page, sometimes two, serve its walk; the slots of a
// lookup lie in the first two pages.
inline constexpr long kPageSize = 4096;

// Owns a descriptor of a regular file and closes it on every path.
class DicFile {
 public:
  // Opens `path` for reading, or for reading and writing without truncation.
  // Fails (with errno set) for an empty path and for anything but a regular file.
  static DicFile open(const char *path, Mode mode);

  DicFile() = default;
  DicFile(DicFile &&other) noexcept : source_(other.source_) { other.source_ = FdSource(); }
  DicFile &operator=(DicFile &&other) noexcept;
  DicFile(const DicFile &) = delete;
  DicFile &operator=(const DicFile &) = delete;
  ~DicFile() { close(); }

  explicit operator bool() const { return source_.fd() >= 0; }
  int fd() const { return source_.fd(); }
  FdSource &source() { return source_; }
  long size() const { return source_.size(); }  // length of the file, as opened and written since
  // Closes the file; false when the system reported an error on closing.
  bool close();

 private:
  FdSource source_;
};

// Reads the whole dictionary at `path` into `image`. A file larger than any
// dictionary can be is refused before anything is read (errno EFBIG).
bool read_image(const char *path, std::vector<unsigned char> &image);
// The same for an open descriptor, from offset 0 to its current end.
bool read_image(int fd, std::vector<unsigned char> &image);

// Whether a file of `size` bytes holds a whole header.
inline bool has_header(long size) { return size >= dicfmt::kHeaderSize; }

// An upper bound on the nodes of any chain or free list of a file of `size` bytes.
inline long walk_limit(long size) { return size / dicfmt::kMinNodeSize + 1; }

// Whether `offset` may be the start of a node of a file of `size` bytes.
inline bool node_offset_ok(long size, long offset) {
  return offset >= dicfmt::kFirstNode && offset + dicfmt::kMinNodeSize <= size;
}

// Whether `offset` is a field a plan may patch to point to a node: a hash-table
// slot, or the link of a node inside a file of `size` bytes.
inline bool link_field_ok(long size, long offset) {
  if (offset >= dicfmt::kTableOffset && offset < dicfmt::kAvailOffset)
    return (offset - dicfmt::kTableOffset) % be24::kSize == 0;
  return offset > dicfmt::kFirstNode && offset + be24::kSize <= size;
}

// Whether `offset` is an entry of the avail table; with `heads_only`, one of
// the eight free-list heads rather than the end-of-data offset too.
inline bool avail_field_ok(long offset, bool heads_only) {
  long end = heads_only ? dicfmt::kEndOfDataOffset : dicfmt::kHeaderSize;
  return offset >= dicfmt::kAvailOffset && offset < end && (offset - dicfmt::kAvailOffset) % be24::kSize == 0;
}

// One node as read from a file.
struct Node {
  int offset = 0;
  int type = 0;    // dicfmt::kNodeKey or dicfmt::kNodeValue
  int length = 0;  // string length in bytes, at most dicfmt::kMaxReadable
  int link = 0;
  char str[dicfmt::kMaxReadable] = {};

  bool is_key() const { return type == dicfmt::kNodeKey; }
  bool is_value() const { return type == dicfmt::kNodeValue; }
  std::string_view text() const { return {str, static_cast<std::size_t>(length)}; }
  int link_field() const { return dicfmt::link_offset(offset, length); }
};

// Reads and writes one page source through a page it owns: the bytes of a
// node or field are taken from the page that holds them, which one pread
// brings in; a node that crosses a page boundary is put together from both
// pages. An image in memory is read in place. A cursor serves the field
// accessors that work "at the current position" (hanja_util.h).
class Pager {
 public:
  explicit Pager(PageSource &source);
  Pager(const Pager &) = delete;
  Pager &operator=(const Pager &) = delete;

  long size() const { return size_; }
  PageSource &source() { return source_; }
  // The `n` bytes at `offset` (n at most kMaxSpan), when they lie wholly in
  // the source and could be read; else null. Valid until the next call.
  const unsigned char *bytes(long offset, int n);
  // The bytes from `offset` to the end of the page that holds it (all the
  // rest of an image in memory); empty past the end or on a failed read.
  std::span<const unsigned char> run(long offset);
  // The 3-byte number at `offset` (a slot or an avail entry); bytes past the
  // end of the source read as 0.
  int number_at(long offset);
  // Writes `bytes` at `offset` through the source; false with errno set.
  bool write(long offset, std::span<const unsigned char> bytes);
  bool write_number(long offset, int value);

  // Reads the node at `offset`. False, with nothing trusted, when the node does
  // not lie wholly inside the node area, its string is longer than
  // dicfmt::kMaxReadable, or its link is neither 0 nor a plausible node offset.
  // With `keys_only`, the string of a value node is not copied (a search for
  // a key never looks at it): its node.str is left as it was.
  bool read(int offset, Node &node, bool keys_only = false);
  // Walks a chain from `next` in one loop for as long as each node lies whole
  // in the page that holds `next`, counting each node off `steps`. True, with
  // `node` read, at the key node of `key`; otherwise false, with `next` at the
  // chain's end (0) or at the node where the loop stopped, which read() takes
  // up (it also stops where steps run out and at anything read() would not trust).
  bool scan_for_key(int &next, std::string_view key, long &steps, Node &node);

  long tell() const { return pos_; }
  void seek(long offset) { pos_ = offset; }

  static constexpr int kMaxSpan = dicfmt::kLengthMask + dicfmt::kNodeOverhead;  // the largest node

 private:
  bool load(long page);
  void forget() {
    page_ = -1;
    held_ = 0;
  }

  PageSource &source_;
  long size_;
  const unsigned char *memory_;  // the whole image, when it lies in memory
  long page_ = -1;               // offset of the page held, -1 none
  long held_ = 0;                // bytes of it read
  long pos_ = 0;
  unsigned char page_bytes_[kPageSize];
  unsigned char across_[kMaxSpan];  // a node that crosses a page boundary
};

// The key node of `key` in its chain, or 0 when it is absent. Sets `damaged`
// when the chain could not be walked to the key or to its end.
int find_key_node(Pager &pages, std::string_view key, bool &damaged);
// The same, leaving the key node found in `node`.
int find_key_node(Pager &pages, std::string_view key, bool &damaged, Node &node);

// Whether chain `slot` can be walked to its end: every node readable, no loop.
// A change is planned only on such a chain.
bool chain_sound(Pager &pages, int slot);

// Calls fn(value_node) for each value of the key node `key` in chain order
// while fn returns true. False when the group could not be walked to its end.
template <class Fn>
bool for_each_value(Pager &reader, const Node &key, Fn fn) {
  Node node;
  int next = key.link;
  for (long steps = walk_limit(reader.size()); next != 0; --steps) {
    if (steps == 0 || !reader.read(next, node)) return false;
    if (!node.is_value() || !fn(static_cast<const Node &>(node))) return true;
    next = node.link;
  }
  return true;
}

}  // namespace dicfile
