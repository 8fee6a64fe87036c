#include "dict/hanja_insert.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "dict/be24.h"
#include "dict/dic_change.h"
#include "dict/dic_error.h"
#include "dict/dic_file.h"
#include "dict/dic_format.h"
#include "dict/dic_node.h"
#include "dict/dic_steps.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_util.h"

using dicfile::Node;

int create_dictionary(const char *path) {
  std::array<unsigned char, dicfmt::kHeaderSize> empty{};  // every slot and free-list head 0
  std::copy(dicfmt::kSignature.begin(), dicfmt::kSignature.end(), empty.begin());
  be24::encode(&empty[dicfmt::kEndOfDataOffset], dicfmt::kHeaderSize);  // the end of data, right behind the header
  struct stat st;
  if (path != nullptr && lstat(path, &st) == 0) return 0;  // there already: nothing to write or sync
  // Never over an existing dictionary, even one created since the caller looked.
  return dicchange::create_whole(path, empty);
}

void init() {
  char path[128];
  get_dicname(DIC_USER, path);
  if (create_dictionary(path) != 0) std::exit(1);
}

void get_lastinfo(dicfile::Pager &pages, int slot, int *link_offset, int *link_value) {
  *link_offset = 0;
  *link_value = 0;
  long size = pages.size();
  if (!dicfile::has_header(size) || slot < 0 || slot >= dicfmt::kSlotCount) return;
  int next = get_table(pages, slot);
  if (next == 0) {
    *link_offset = dicfmt::slot_offset(slot);
    return;
  }
  Node node;
  for (long steps = dicfile::walk_limit(size); steps > 0; --steps) {
    if (!pages.read(next, node)) return;
    if (node.link == 0) {
      *link_offset = node.link_field();
      return;
    }
    next = node.link;
  }
}

void get_linkinfo(dicfile::Pager &pages, int key_node, int *link_offset, int *link_value) {
  *link_offset = 0;
  *link_value = 0;
  Node node;
  if (!pages.read(key_node, node) || !node.is_key()) return;
  int field = node.link_field();
  int held = node.link;
  bool whole = dicfile::for_each_value(pages, node, [&](const Node &value) {
    field = value.link_field();
    held = value.link;
    return true;
  });
  if (!whole) return;
  *link_offset = field;
  *link_value = held;
}

namespace {

// Whether free list `k` can be trusted: every node on it lies in the file, has
// the list's string length, and the list ends within the bound.
bool free_list_sound(dicfile::Pager &pages, int k, int head) {
  Node node;
  int next = head;
  for (long steps = dicfile::walk_limit(pages.size()); next != 0; --steps) {
    if (steps == 0 || !pages.read(next, node)) return false;
    if (dicfmt::size_class(node.length) != k) return false;
    next = node.link;
  }
  return true;
}

int damaged_at(const char *path) {
  dicerr::set(dicerr::Kind::damaged, path);
  return -1;
}

// Where a write step failed: the reason the system gave, unless an earlier
// step recorded the real one.
int write_failed(const char *path) {
  dicerr::set(dicerr::Kind::system, path, errno);
  return -1;
}

// Begins a change of the dictionary at `path`, creating a missing user
// dictionary first; false when it can be neither changed nor created.
bool begin_change(dicchange::Change &change, int type, const char *path) {
  if (change.begin(path)) return true;
  // Only a user dictionary that does not exist is created; an existing one
  // that cannot be changed (or an unnamed path) is a failure.
  if (type != DIC_USER || !change.missing()) return false;
  init();
  return change.begin(path);
}

std::string_view view(const char *s) { return s == nullptr ? std::string_view() : std::string_view(s); }

}  // namespace

namespace dicstore {

int plan_insert(dicfile::Pager &pages, const char *path, const char *key, InsertPlan &plan) {
  long size = pages.size();
  std::string_view k_view = view(key);
  int length = static_cast<int>(k_view.size());
  int k = dicfmt::size_class(length);
  // A key without a size class has no free list and is never stored.
  if (k < 0 || !dicfile::has_header(size)) return -1;

  bool damaged = false;
  int key_node = dicfile::find_key_node(pages, k_view, damaged);
  if (damaged || !dicfile::chain_sound(pages, hash_bytes(k_view))) return damaged_at(path);

  int head = get_avail(pages, k);
  int end = get_avail(pages, dicfmt::kEndOfDataEntry);
  // Appending anywhere but at the true end would overwrite nodes.
  if (end != size) return damaged_at(path);
  Node free_node;
  if (head != 0 && (!free_list_sound(pages, k, head) || !pages.read(head, free_node))) return damaged_at(path);
  int free_next = head != 0 ? free_node.link : 0;
  // A new key is refused up front when its first value would not fit either.
  if (!dicnode::pair_fits(length, key_node == 0, head, free_next, end)) {
    dicerr::set(dicerr::Kind::full, path);
    return -1;
  }
  dicnode::Placement at = dicnode::place(length, head, free_next, end);
  int field = 0, held = 0;
  if (key_node != 0)
    get_linkinfo(pages, key_node, &field, &held);
  else
    get_lastinfo(pages, hash_bytes(k_view), &field, &held);
  if (field == 0) return damaged_at(path);

  plan = {key_node != 0 ? 1 : 0, at.node, field, held, at.avail_offset, at.avail_value};
  return 0;
}

int write_insert(dicfile::Pager &pages, const char *path, int node_type, const char *str, const InsertPlan &p) {
  long size = pages.size();
  int length = str == nullptr ? 0 : static_cast<int>(std::strlen(str));
  // A plan that does not fit this file is not written: it was made for
  // another file or the file changed since.
  bool fits = dicfmt::size_class(length) >= 0 &&
              (node_type == dicfmt::kNodeKey || node_type == dicfmt::kNodeValue) &&
              p.new_node >= dicfmt::kFirstNode &&
              (p.new_node == size || p.new_node + dicfmt::node_size(length) <= size) &&
              p.new_node + dicfmt::node_size(length) <= dicfmt::kMaxFileSize &&
              dicfile::link_field_ok(size, p.link_offset) && dicfile::avail_field_ok(p.avail_offset, false) &&
              p.link_value >= 0 && p.link_value < size && p.avail_value >= 0 &&
              p.avail_value <= dicfmt::kMaxFileSize;
  if (!dicfile::has_header(size) || !fits) return damaged_at(path);
  // The node is complete before anything points to it; the allocation is recorded last.
  unsigned char node[dicfmt::node_size(dicfmt::kMaxStored)];
  int bytes = dicnode::encode(node, node_type, str, p.link_value);
  if (!pages.write(p.new_node, {node, static_cast<std::size_t>(bytes)}) ||
      !pages.write_number(p.link_offset, p.new_node) || !pages.write_number(p.avail_offset, p.avail_value))
    return write_failed(path);
  return 0;
}

int insert_word(dicfile::Pager &pages, const char *path, const char *key, const char *value) {
  int registered = check(pages, key, value);
  if (registered != 0) return registered > 0 ? 0 : -1;
  InsertPlan plan;
  // No step writes from a plan that was not filled.
  if (plan_insert(pages, path, key, plan) != 0) return -1;
  if (plan.exists == 0) {
    if (write_insert(pages, path, dicfmt::kNodeKey, key, plan) != 0) return -1;
    if (plan_insert(pages, path, key, plan) != 0) return -1;
  }
  return write_insert(pages, path, dicfmt::kNodeValue, value, plan);
}

}  // namespace dicstore

int GetInsertInfo(int type, const char *key, int *exists, int *new_node, int *link_offset,
                  int *link_value, int *avail_offset, int *avail_value) {
  dicstore::InsertPlan p;
  int got = dicstore::on_dictionary(type, [&](dicfile::Pager &pages, const char *path) {
    return dicstore::plan_insert(pages, path, key, p);
  });
  if (got != 0) return -1;
  *exists = p.exists, *new_node = p.new_node, *link_offset = p.link_offset, *link_value = p.link_value;
  *avail_offset = p.avail_offset, *avail_value = p.avail_value;
  return 0;
}

int InsertDic(int type, int node_type, const char *str, int new_node, int link_offset,
              int link_value, int avail_offset, int avail_value) {
  dicstore::InsertPlan plan{0, new_node, link_offset, link_value, avail_offset, avail_value};
  return dicstore::in_change(type, [&](dicfile::Pager &pages, const char *path) {
    return dicstore::write_insert(pages, path, node_type, str, plan);
  });
}

int InsertHanjaWord(int type, const char *key, const char *value) {
  if (key == nullptr || value == nullptr) return -1;
  // Pairs without a size class, or of different lengths, are refused unwritten.
  if (!dicfmt::storable_pair(key, value)) return -1;

  char path[kPathSize];
  get_dicname(type, path);
  // The membership check, both plans and both writes are one change: no
  // other writer comes in between, and a reader sees the pair whole or not at all.
  dicchange::Change change;
  if (!begin_change(change, type, path)) return -1;
  dicfile::Pager pages(change.source());
  if (dicstore::insert_word(pages, path, key, value) != 0) return -1;
  return change.commit() ? 0 : -1;
}

int UpdateHanjaWord(int type, const char *key, const char *old_value, const char *new_value) {
  if (key == nullptr || old_value == nullptr || new_value == nullptr) return -1;
  if (std::strcmp(old_value, new_value) == 0) return 0;
  char path[kPathSize];
  get_dicname(type, path);
  // The addition and the removal are one change: on any failure neither is made.
  dicchange::Change change;
  if (!begin_change(change, type, path)) return -1;
  if (!dicfmt::storable_pair(key, new_value)) return -1;
  dicfile::Pager pages(change.source());
  if (dicstore::insert_word(pages, path, key, new_value) != 0) return -1;
  int removed = dicstore::delete_word(pages, path, key, old_value);
  if (removed < 0) return -1;
  return change.commit() ? removed : -1;
}
