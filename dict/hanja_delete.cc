#include "dict/hanja_delete.h"

#include <cerrno>
#include <cstdio>
#include <string_view>

#include "dict/dic_change.h"
#include "dict/dic_error.h"
#include "dict/dic_file.h"
#include "dict/dic_format.h"
#include "dict/hanja_util.h"

using dicfile::DicFile;
using dicfile::Node;

namespace {

std::string_view view(const char *s) { return s == nullptr ? std::string_view() : std::string_view(s); }

bool offset_or_none(long size, int offset) { return offset == 0 || dicfile::node_offset_ok(size, offset); }

int write_failed(const char *path) {
  dicerr::set(dicerr::Kind::system, path, errno);
  return -1;
}

}  // namespace

int GetDeleteInfo(int type, const char *key, const char *value, int *freed_node, int *avail_offset,
                  int *old_head, int *value_link_offset, int *patch_offset, int *next) {
  char path[kPathSize];
  get_dicname(type, path);
  DicFile file = DicFile::open(path, dicfile::Mode::read);
  if (!file) return -1;
  FILE *fp = file.get();
  long size = file.size();
  std::string_view k_view = view(key);
  std::string_view v_view = view(value);

  bool damaged = false;
  int key_at = dicfile::find_key_node(fp, size, k_view, damaged);
  Node key_node;
  if (key_at == 0 || !dicfile::read_node(fp, size, key_at, key_node)) return -1;
  if (!dicfile::chain_sound(fp, size, hash_bytes(k_view))) return -1;

  // The field that points to the key node: its slot or the link of the node before it.
  int pointer_field = dicfmt::slot_offset(hash_bytes(k_view));
  Node node;
  for (long steps = dicfile::walk_limit(size);; --steps) {
    std::fseek(fp, pointer_field, SEEK_SET);
    int target = get_int8(fp);
    if (target == key_at) break;
    if (steps == 0 || target == 0 || !dicfile::read_node(fp, size, target, node)) return -1;
    pointer_field = node.link_field();
  }

  // The value node, the field that points to it, and whether it is the key's only value.
  int value_field = key_node.link_field();
  bool only = true;
  Node value_node;
  for (long steps = dicfile::walk_limit(size);; --steps) {
    std::fseek(fp, value_field, SEEK_SET);
    int target = get_int8(fp);
    if (steps == 0 || target == 0 || !dicfile::read_node(fp, size, target, value_node) ||
        !value_node.is_value())
      return -1;  // not registered after all, or the group cannot be walked
    if (value_node.text() == v_view) break;
    value_field = value_node.link_field();
    only = false;
  }

  int following = value_node.link;
  if (following != 0) {
    if (!dicfile::read_node(fp, size, following, node)) return -1;
    if (node.is_value()) only = false;
  }

  // The freed node goes onto the list of its value's class, which must be its
  // key's too: a node on the wrong list would later be overwritten by a larger one.
  int k = dicfmt::size_class(value_node.length);
  if (k < 0 || value_node.length != key_node.length) return -1;
  int head = get_avail(fp, k);
  if (!offset_or_none(size, head)) return -1;

  *freed_node = only ? key_at : value_node.offset;
  *avail_offset = dicfmt::avail_offset(k);
  *old_head = head;
  *value_link_offset = value_node.link_field();
  *patch_offset = only ? pointer_field : value_field;
  *next = following;
  return 0;
}

int DeleteDic(int type, int freed_node, int avail_offset, int old_head, int value_link_offset,
              int patch_offset, int next) {
  char path[kPathSize];
  get_dicname(type, path);
  dicchange::Change change;  // joins the caller's change, if there is one
  if (!change.begin(path)) return -1;
  DicFile file = DicFile::open(path, dicfile::Mode::update);
  if (!file) return write_failed(path);
  long size = file.size();
  // A plan that does not fit this file is not written.
  if (!dicfile::has_header(size) || !dicfile::avail_field_ok(avail_offset, true) ||
      !dicfile::link_field_ok(size, patch_offset) || !dicfile::node_offset_ok(size, freed_node) ||
      !offset_or_none(size, old_head) || !offset_or_none(size, next) ||
      value_link_offset <= dicfmt::kFirstNode || value_link_offset + be24::kSize > size) {
    dicerr::set(dicerr::Kind::damaged, path);
    return -1;
  }
  FILE *fp = file.get();
  std::fseek(fp, avail_offset, SEEK_SET);
  put_int8(fp, freed_node);
  std::fseek(fp, value_link_offset, SEEK_SET);
  put_int8(fp, old_head);
  std::fseek(fp, patch_offset, SEEK_SET);
  put_int8(fp, next);
  if (!file.close()) return write_failed(path);
  return change.commit() ? 0 : -1;
}

int DeleteHanjaWord(int type, const char *key, const char *value) {
  // Without the lock first: a pair that is not there needs no change, and a
  // dictionary that cannot be read never reports a removal.
  int registered = CheckDic(type, key, value);
  if (registered <= 0) return registered;
  char path[kPathSize];
  get_dicname(type, path);
  // The check, the plan and the writes are one change; under the lock the
  // pair may have gone meanwhile.
  dicchange::Change change;
  if (!change.begin(path)) return -1;
  registered = CheckDic(type, key, value);
  if (registered <= 0) return registered;
  int freed = 0, avail_at = 0, head = 0, value_link = 0, patch = 0, next = 0;
  if (GetDeleteInfo(type, key, value, &freed, &avail_at, &head, &value_link, &patch, &next) != 0) {
    dicerr::set(dicerr::Kind::damaged, path);
    return -1;
  }
  if (DeleteDic(type, freed, avail_at, head, value_link, patch, next) != 0) return -1;
  return change.commit() ? 1 : -1;
}
