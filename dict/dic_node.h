// The node codec and the allocation rule: the one place that knows how a
// node's bytes are laid out and where the next node of a size class goes.
// Reader, insertion, deletion, verify, repair, layout and the builder all
// decode and encode nodes here (the layout itself is drawn in dic_format.h).
#pragma once
#include <cstring>
#include <string_view>

#include "dict/be24.h"
#include "dict/dic_format.h"

namespace dicnode {

// The type/length byte.
struct Head {
  bool key;
  int length;  // 0..127
  int type() const { return key ? dicfmt::kNodeKey : dicfmt::kNodeValue; }
  int size() const { return dicfmt::node_size(length); }
};

inline Head head(unsigned char byte) { return {(byte & dicfmt::kKeyBit) != 0, byte & dicfmt::kLengthMask}; }
inline unsigned char head_byte(int type, int length) {
  return static_cast<unsigned char>((type == dicfmt::kNodeKey ? dicfmt::kKeyBit : 0) | (length & dicfmt::kLengthMask));
}

// A node decoded in place; `text` points into the bytes it was decoded from.
struct View {
  Head head;
  std::string_view text;
  int link;
};

// Decodes the node whose first byte is p[0]. REQUIRES: head(p[0]).size() bytes at p.
inline View decode(const unsigned char *p) {
  Head h = head(p[0]);
  return {h, {reinterpret_cast<const char *>(p + 1), static_cast<std::size_t>(h.length)},
          static_cast<int>(be24::decode(p + 1 + h.length))};
}

// The link of the node whose first byte is p[0]. REQUIRES: as decode().
inline int link(const unsigned char *p) { return static_cast<int>(be24::decode(p + 1 + head(p[0]).length)); }

// Writes a node of `type` holding `str` and `link` to out; returns its size.
// REQUIRES: str.size() <= 127 and dicfmt::node_size(str.size()) bytes at out.
inline int encode(unsigned char *out, int type, std::string_view str, int link) {
  int length = static_cast<int>(str.size());
  out[0] = head_byte(type, length);
  if (length > 0) std::memcpy(out + 1, str.data(), str.size());
  be24::encode(out + 1 + length, static_cast<std::uint32_t>(link));
  return dicfmt::node_size(length);
}

// Where the next node of a string of `length` bytes goes: over the head of
// its class's free list (`free_head`, whose link is `free_next`), or at the
// end of data `end`; and what the avail table then records.
struct Placement {
  int node;
  int avail_offset;
  int avail_value;
};

inline Placement place(int length, int free_head, int free_next, int end) {
  if (free_head != 0) return {free_head, dicfmt::avail_offset(dicfmt::size_class(length)), free_next};
  return {end, dicfmt::kEndOfDataOffset, end + dicfmt::node_size(length)};
}

// Whether the nodes a pair still needs fit 24-bit offsets: a new key needs
// two nodes, a known one one, less what the free list of their class holds.
inline bool pair_fits(int length, bool new_key, int free_head, int free_next, long end) {
  int appended = new_key ? 2 : 1;
  if (free_head != 0) appended = new_key && free_next == 0 ? 1 : 0;
  return end + static_cast<long>(appended) * dicfmt::node_size(length) <= dicfmt::kMaxFileSize;
}

}  // namespace dicnode
