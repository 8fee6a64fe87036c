#include "dict/dic_layout.h"

#include <algorithm>
#include <cstring>

#include "dict/be24.h"
#include "dict/dic_format.h"
#include "dict/dic_node.h"

namespace {

int number_at(const std::vector<unsigned char> &image, int offset) {
  return static_cast<int>(be24::decode(&image[static_cast<std::size_t>(offset)]));
}

// The size of the node at `offset`, or 0 when it does not lie wholly inside the image.
int node_size_at(const std::vector<unsigned char> &image, int offset) {
  long size = static_cast<long>(image.size());
  if (offset < dicfmt::kFirstNode || offset >= size) return 0;
  int bytes = dicnode::head(image[static_cast<std::size_t>(offset)]).size();
  return offset + bytes <= size ? bytes : 0;
}

}  // namespace

std::vector<unsigned char> chain_layout(const std::vector<unsigned char> &image) {
  std::vector<unsigned char> out(image.begin(), image.begin() + std::min<std::size_t>(image.size(), dicfmt::kHeaderSize));
  out.resize(dicfmt::kHeaderSize, 0);
  // Free-list heads stay as they were (0 for a built file); every slot is set below.
  std::memset(&out[dicfmt::kTableOffset], 0, dicfmt::kAvailOffset - dicfmt::kTableOffset);
  out.reserve(image.size());
  // A chain can hold no more nodes than the file: bounds the walk of a damaged image.
  long limit = static_cast<long>(image.size()) / dicfmt::kMinNodeSize + 1;
  for (int slot = 0; slot < dicfmt::kSlotCount && image.size() >= dicfmt::kHeaderSize; ++slot) {
    int next = number_at(image, dicfmt::slot_offset(slot));
    int hang = dicfmt::slot_offset(slot);  // field of `out` the next node's offset goes into
    for (long steps = limit; next != 0 && steps > 0; --steps) {
      int bytes = node_size_at(image, next);
      if (bytes == 0) break;
      int at = static_cast<int>(out.size());
      be24::encode(&out[static_cast<std::size_t>(hang)], static_cast<std::uint32_t>(at));
      out.insert(out.end(), image.begin() + next, image.begin() + next + bytes);
      hang = at + bytes - be24::kSize;
      be24::encode(&out[static_cast<std::size_t>(hang)], 0);
      next = dicnode::link(&image[static_cast<std::size_t>(next)]);
    }
  }
  be24::encode(&out[dicfmt::kEndOfDataOffset], static_cast<std::uint32_t>(out.size()));
  return out;
}
