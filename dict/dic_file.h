// An open dictionary file and bounded reading of its nodes.
//
// The store never trusts what it reads: every offset is checked against the
// file's length before it is followed, every string against the longest one a
// result row holds, and every walk is bounded by the number of nodes the file
// could hold, so that a damaged or foreign file can neither make it read
// outside its buffers nor loop forever.
#pragma once
#include <cstdio>
#include <memory>
#include <string_view>

#include "dict/dic_format.h"

namespace dicfile {

enum class Mode { read, update };

// Size of every dictionary stream's buffer. A power of two: the C library
// fills a buffer from a position aligned to its size, so one fill holds one
// aligned block. An average chain of the default system dictionary is about
// 2.6 KB, so in the chain layout one fill, sometimes two, serve its walk; the
// first fill after opening holds the slots of the first page. 8 KB (the whole
// header in the first fill) measured slower: every fill copies twice as much.
inline constexpr long kStreamBuffer = 4096;

// Owns a FILE stream of a regular file and closes it on every path.
class DicFile {
 public:
  // Opens `path` for reading, or for reading and writing without truncation.
  // Fails (with errno set) for an empty path and for anything but a regular file.
  static DicFile open(const char *path, Mode mode);

  DicFile() = default;
  DicFile(DicFile &&other) noexcept
      : fp_(other.fp_), size_(other.size_), buffer_(std::move(other.buffer_)) {
    other.fp_ = nullptr;
  }
  DicFile &operator=(DicFile &&other) noexcept;
  DicFile(const DicFile &) = delete;
  DicFile &operator=(const DicFile &) = delete;
  ~DicFile() { close(); }

  explicit operator bool() const { return fp_ != nullptr; }
  FILE *get() const { return fp_; }
  long size() const { return size_; }  // length of the file when it was opened
  // Closes the stream; false when buffered writes could not be completed.
  bool close();

 private:
  FILE *fp_ = nullptr;
  long size_ = 0;
  // The stream's buffer, given to it before its first read so that the C
  // library neither asks the file for a block size nor allocates one itself.
  std::unique_ptr<char[]> buffer_;
};

// The current length of the file behind a stream (0 when it cannot be told).
long stream_size(FILE *fp);

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

// Reads nodes and table fields of one stream through its buffer: a node that
// lies whole in the buffer is taken from it in one step, any other byte by
// byte. It keeps count of the stream's position so that it seeks only where
// the next read is not where the stream already stands: a walk along a chain
// laid out contiguously seeks once, and a seek inside the block the buffer
// holds becomes a skip, since every seek of the C library also asks the kernel
// for the position. Only this reader may move the stream while it is in use.
class NodeReader {
 public:
  // `position`: where the stream stands, when known (0 for a stream just
  // opened); -1 makes the first read seek.
  NodeReader(FILE *fp, long size, long position = -1) : fp_(fp), size_(size), pos_(position) {}

  long size() const { return size_; }
  // Reads the node at `offset`. False, with nothing trusted, when the node does
  // not lie wholly inside the node area, its string is longer than
  // dicfmt::kMaxReadable, or its link is neither 0 nor a plausible node offset.
  // With `keys_only`, the string of a value node is not copied (a search for
  // a key never looks at it): its node.str is left as it was.
  bool read(int offset, Node &node, bool keys_only = false);
  // The 3-byte number at `offset` (a slot or an avail entry); 0 past the end.
  int number_at(long offset);
  // Walks a chain from `next` in one loop for as long as each node lies whole
  // in the buffer just where the stream stands, as in a chain laid out
  // contiguously, counting each node off `steps`. True, with `node` read, at
  // the key node of `key`; otherwise false, with `next` at the chain's end (0)
  // or at the node where the loop stopped, which read() takes up (it also
  // stops where steps run out and at anything read() would not trust).
  bool scan_for_key(int &next, std::string_view key, long &steps, Node &node);

 private:
  bool seek(long offset) { return offset == pos_ || seek_elsewhere(offset); }
  bool seek_elsewhere(long offset);
  bool skip_to(long offset);  // forward inside the buffered block
  bool lost();                // the position is no longer known; false

  FILE *fp_;
  long size_;
  long pos_;         // where the stream stands, -1 when unknown
  long block_ = -1;  // start of the aligned block the buffer holds, -1 when none is known
};

// Reads the node at `offset` of a stream over a file of `size` bytes; see
// NodeReader::read. Seeks first.
bool read_node(FILE *fp, long size, int offset, Node &node);

// The key node of `key` in its chain, or 0 when it is absent. Sets `damaged`
// when the chain could not be walked to the key or to its end.
int find_key_node(NodeReader &reader, std::string_view key, bool &damaged);
// The same, leaving the key node found in `node`.
int find_key_node(NodeReader &reader, std::string_view key, bool &damaged, Node &node);
int find_key_node(FILE *fp, long size, std::string_view key, bool &damaged);

// Whether chain `slot` can be walked to its end: every node readable, no loop.
// A change is planned only on such a chain.
bool chain_sound(FILE *fp, long size, int slot);

// Calls fn(value_node) for each value of the key node `key` in chain order
// while fn returns true. False when the group could not be walked to its end.
template <class Fn>
bool for_each_value(NodeReader &reader, const Node &key, Fn fn) {
  Node node;
  int next = key.link;
  for (long steps = walk_limit(reader.size()); next != 0; --steps) {
    if (steps == 0 || !reader.read(next, node)) return false;
    if (!node.is_value() || !fn(static_cast<const Node &>(node))) return true;
    next = node.link;
  }
  return true;
}

template <class Fn>
bool for_each_value(FILE *fp, long size, const Node &key, Fn fn) {
  NodeReader reader(fp, size);
  return for_each_value(reader, key, fn);
}

}  // namespace dicfile
