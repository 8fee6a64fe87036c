#include "dict/dic_walk.h"

#include "dict/dic_file.h"
#include "dict/dic_format.h"
#include "dict/hanja_util.h"

using dicfile::DicFile;
using dicfile::Node;

namespace {

// Walks one chain; false when it had to be left off.
bool walk_chain(dicfile::Pager &reader, int slot, const std::function<void(const DicPair &)> &fn) {
  Node node;
  Node key;
  bool have_key = false;
  int next = reader.number_at(dicfmt::slot_offset(slot));
  for (long steps = dicfile::walk_limit(reader.size()); next != 0; --steps) {
    if (steps == 0 || !reader.read(next, node)) return false;
    if (node.is_key()) {
      key = node;
      have_key = true;
    } else if (!have_key) {
      return false;  // a value before any key belongs to nothing
    } else {
      fn(DicPair{slot, key.offset, node.offset, key.text(), node.text()});
    }
    next = node.link;
  }
  return true;
}

}  // namespace

DicWalkResult walk_pairs(int type, const std::function<void(const DicPair &)> &fn) {
  DicWalkResult result;
  char path[kPathSize];
  get_dicname(type, path);
  DicFile file = DicFile::open(path, dicfile::Mode::read);
  if (!file) {
    result.opened = -1;
    return result;
  }
  if (!dicfile::has_header(file.size())) {
    result.damaged_chains = dicfmt::kSlotCount;
    result.first_damaged_slot = 0;
    return result;
  }
  // One pager serves every chain: chains laid out one after another share pages.
  dicfile::Pager reader(file.source());
  for (int slot = 0; slot < dicfmt::kSlotCount; ++slot) {
    if (!walk_chain(reader, slot, fn)) {
      if (result.damaged_chains++ == 0) result.first_damaged_slot = slot;
    }
  }
  return result;
}
