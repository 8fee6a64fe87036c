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
#include "dict/hanja_delete.h"
#include "dict/hanja_util.h"

using dicfile::DicFile;
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

void get_lastinfo(FILE *fp, int slot, int *link_offset, int *link_value) {
  *link_offset = 0;
  *link_value = 0;
  long size = dicfile::stream_size(fp);
  if (!dicfile::has_header(size) || slot < 0 || slot >= dicfmt::kSlotCount) return;
  int next = get_table(fp, slot);
  if (next == 0) {
    *link_offset = dicfmt::slot_offset(slot);
    return;
  }
  Node node;
  for (long steps = dicfile::walk_limit(size); steps > 0; --steps) {
    if (!dicfile::read_node(fp, size, next, node)) return;
    if (node.link == 0) {
      *link_offset = node.link_field();
      return;
    }
    next = node.link;
  }
}

void get_linkinfo(FILE *fp, int key_node, int *link_offset, int *link_value) {
  *link_offset = 0;
  *link_value = 0;
  long size = dicfile::stream_size(fp);
  Node node;
  if (!dicfile::read_node(fp, size, key_node, node) || !node.is_key()) return;
  int field = node.link_field();
  int held = node.link;
  bool whole = dicfile::for_each_value(fp, size, node, [&](const Node &value) {
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
bool free_list_sound(FILE *fp, long size, int k, int head) {
  Node node;
  int next = head;
  for (long steps = dicfile::walk_limit(size); next != 0; --steps) {
    if (steps == 0 || !dicfile::read_node(fp, size, next, node)) return false;
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

}  // namespace

int GetInsertInfo(int type, const char *key, int *exists, int *new_node, int *link_offset,
                  int *link_value, int *avail_offset, int *avail_value) {
  char path[kPathSize];
  get_dicname(type, path);
  DicFile file = DicFile::open(path, dicfile::Mode::read);
  if (!file) return -1;
  FILE *fp = file.get();
  long size = file.size();
  std::string_view k_view = key == nullptr ? std::string_view() : std::string_view(key);
  int length = static_cast<int>(k_view.size());
  int k = dicfmt::size_class(length);
  // A key without a size class has no free list and is never stored.
  if (k < 0 || !dicfile::has_header(size)) return -1;

  bool damaged = false;
  int key_node = dicfile::find_key_node(fp, size, k_view, damaged);
  if (damaged || !dicfile::chain_sound(fp, size, hash_bytes(k_view))) return damaged_at(path);

  int node_at, avail_at, avail_new;
  int head = get_avail(fp, k);
  int end = get_avail(fp, dicfmt::kEndOfDataEntry);
  // Appending anywhere but at the true end would overwrite nodes.
  if (end != size) return damaged_at(path);
  // Nodes still to be appended for this pair, counting this one: a new key is
  // refused up front when its first value would not fit either.
  int appended = key_node == 0 ? 2 : 1;
  if (head != 0) {
    if (!free_list_sound(fp, size, k, head)) return damaged_at(path);
    Node free_node;
    dicfile::read_node(fp, size, head, free_node);
    node_at = head;
    avail_at = dicfmt::avail_offset(k);
    avail_new = free_node.link;
    appended = key_node == 0 && free_node.link == 0 ? 1 : 0;
  } else {
    node_at = end;
    avail_at = dicfmt::kEndOfDataOffset;
    avail_new = end + dicfmt::node_size(length);
  }
  if (end + appended * dicfmt::node_size(length) > dicfmt::kMaxFileSize) {
    dicerr::set(dicerr::Kind::full, path);
    return -1;
  }
  int field = 0, held = 0;
  if (key_node != 0)
    get_linkinfo(fp, key_node, &field, &held);
  else
    get_lastinfo(fp, hash_bytes(k_view), &field, &held);
  if (field == 0) return damaged_at(path);

  *exists = key_node != 0 ? 1 : 0;
  *new_node = node_at;
  *link_offset = field;
  *link_value = held;
  *avail_offset = avail_at;
  *avail_value = avail_new;
  return 0;
}

int InsertDic(int type, int node_type, const char *str, int new_node, int link_offset,
              int link_value, int avail_offset, int avail_value) {
  char path[kPathSize];
  get_dicname(type, path);
  dicchange::Change change;  // joins the caller's change, if there is one
  if (!change.begin(path)) return -1;
  DicFile file = DicFile::open(path, dicfile::Mode::update);
  if (!file) return write_failed(path);
  long size = file.size();
  int length = str == nullptr ? 0 : static_cast<int>(std::strlen(str));
  // A plan that does not fit this file is not written: it was made for
  // another file or the file changed since.
  bool fits = dicfmt::size_class(length) >= 0 &&
              (node_type == dicfmt::kNodeKey || node_type == dicfmt::kNodeValue) &&
              new_node >= dicfmt::kFirstNode &&
              (new_node == size || new_node + dicfmt::node_size(length) <= size) &&
              new_node + dicfmt::node_size(length) <= dicfmt::kMaxFileSize &&
              dicfile::link_field_ok(size, link_offset) && dicfile::avail_field_ok(avail_offset, false) &&
              link_value >= 0 && link_value < size && avail_value >= 0 &&
              avail_value <= dicfmt::kMaxFileSize;
  if (!dicfile::has_header(size) || !fits) return damaged_at(path);
  FILE *fp = file.get();
  // The node is complete before anything points to it; the allocation is recorded last.
  std::fseek(fp, new_node, SEEK_SET);
  put_typelength(fp, node_type, length);
  std::fwrite(str, 1, static_cast<std::size_t>(length), fp);
  put_int8(fp, link_value);
  std::fseek(fp, link_offset, SEEK_SET);
  put_int8(fp, new_node);
  std::fseek(fp, avail_offset, SEEK_SET);
  put_int8(fp, avail_value);
  if (!file.close()) return write_failed(path);
  return change.commit() ? 0 : -1;
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

  int registered = CheckDic(type, key, value);
  if (registered != 0) return registered > 0 ? 0 : -1;  // -1: the file went away

  int exists = 0, node = 0, field = 0, held = 0, avail_at = 0, avail_new = 0;
  // No step writes from a plan that was not filled.
  if (GetInsertInfo(type, key, &exists, &node, &field, &held, &avail_at, &avail_new) != 0) return -1;
  if (exists == 0) {
    if (InsertDic(type, dicfmt::kNodeKey, key, node, field, held, avail_at, avail_new) != 0) return -1;
    if (GetInsertInfo(type, key, &exists, &node, &field, &held, &avail_at, &avail_new) != 0) return -1;
  }
  if (InsertDic(type, dicfmt::kNodeValue, value, node, field, held, avail_at, avail_new) != 0) return -1;
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
  if (InsertHanjaWord(type, key, new_value) == -1) return -1;
  int removed = DeleteHanjaWord(type, key, old_value);
  if (removed < 0) return -1;
  return change.commit() ? removed : -1;
}
