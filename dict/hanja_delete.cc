#include "dict/hanja_delete.h"

#include <cerrno>
#include <string_view>

#include "dict/dic_change.h"
#include "dict/dic_error.h"
#include "dict/dic_file.h"
#include "dict/dic_format.h"
#include "dict/dic_steps.h"
#include "dict/hanja_util.h"

using dicfile::Node;

namespace {

std::string_view view(const char *s) { return s == nullptr ? std::string_view() : std::string_view(s); }

bool offset_or_none(long size, int offset) { return offset == 0 || dicfile::node_offset_ok(size, offset); }

int write_failed(const char *path) {
  dicerr::set(dicerr::Kind::system, path, errno);
  return -1;
}

}  // namespace

namespace dicstore {

int plan_delete(dicfile::Pager &pages, const char *key, const char *value, DeletePlan &plan) {
  long size = pages.size();
  std::string_view k_view = view(key);
  std::string_view v_view = view(value);

  bool damaged = false;
  int key_at = dicfile::find_key_node(pages, k_view, damaged);
  Node key_node;
  if (key_at == 0 || !pages.read(key_at, key_node)) return -1;
  if (!dicfile::chain_sound(pages, hash_bytes(k_view))) return -1;

  // The field that points to the key node: its slot or the link of the node before it.
  int pointer_field = dicfmt::slot_offset(hash_bytes(k_view));
  Node node;
  for (long steps = dicfile::walk_limit(size);; --steps) {
    int target = pages.number_at(pointer_field);
    if (target == key_at) break;
    if (steps == 0 || target == 0 || !pages.read(target, node)) return -1;
    pointer_field = node.link_field();
  }

  // The value node, the field that points to it, and whether it is the key's only value.
  int value_field = key_node.link_field();
  bool only = true;
  Node value_node;
  for (long steps = dicfile::walk_limit(size);; --steps) {
    int target = pages.number_at(value_field);
    if (steps == 0 || target == 0 || !pages.read(target, value_node) || !value_node.is_value())
      return -1;  // not registered after all, or the group cannot be walked
    if (value_node.text() == v_view) break;
    value_field = value_node.link_field();
    only = false;
  }

  int following = value_node.link;
  if (following != 0) {
    if (!pages.read(following, node)) return -1;
    if (node.is_value()) only = false;
  }

  // The freed node goes onto the list of its value's class, which must be its
  // key's too: a node on the wrong list would later be overwritten by a larger one.
  int k = dicfmt::size_class(value_node.length);
  if (k < 0 || value_node.length != key_node.length) return -1;
  int head = get_avail(pages, k);
  if (!offset_or_none(size, head)) return -1;

  plan = {only ? key_at : value_node.offset, dicfmt::avail_offset(k), head, value_node.link_field(),
          only ? pointer_field : value_field, following};
  return 0;
}

int write_delete(dicfile::Pager &pages, const char *path, const DeletePlan &p) {
  long size = pages.size();
  // A plan that does not fit this file is not written.
  if (!dicfile::has_header(size) || !dicfile::avail_field_ok(p.avail_offset, true) ||
      !dicfile::link_field_ok(size, p.patch_offset) || !dicfile::node_offset_ok(size, p.freed_node) ||
      !offset_or_none(size, p.old_head) || !offset_or_none(size, p.next) ||
      p.value_link_offset <= dicfmt::kFirstNode || p.value_link_offset + be24::kSize > size) {
    dicerr::set(dicerr::Kind::damaged, path);
    return -1;
  }
  if (!pages.write_number(p.avail_offset, p.freed_node) || !pages.write_number(p.value_link_offset, p.old_head) ||
      !pages.write_number(p.patch_offset, p.next))
    return write_failed(path);
  return 0;
}

int delete_word(dicfile::Pager &pages, const char *path, const char *key, const char *value) {
  // Under the lock the pair may have gone since the caller looked.
  int registered = check(pages, key, value);
  if (registered <= 0) return registered;
  DeletePlan plan;
  if (plan_delete(pages, key, value, plan) != 0) {
    dicerr::set(dicerr::Kind::damaged, path);
    return -1;
  }
  return write_delete(pages, path, plan) == 0 ? 1 : -1;
}

}  // namespace dicstore

int GetDeleteInfo(int type, const char *key, const char *value, int *freed_node, int *avail_offset,
                  int *old_head, int *value_link_offset, int *patch_offset, int *next) {
  dicstore::DeletePlan p;
  int got = dicstore::on_dictionary(type, [&](dicfile::Pager &pages, const char *) {
    return dicstore::plan_delete(pages, key, value, p);
  });
  if (got != 0) return -1;
  *freed_node = p.freed_node, *avail_offset = p.avail_offset, *old_head = p.old_head;
  *value_link_offset = p.value_link_offset, *patch_offset = p.patch_offset, *next = p.next;
  return 0;
}

int DeleteDic(int type, int freed_node, int avail_offset, int old_head, int value_link_offset,
              int patch_offset, int next) {
  dicstore::DeletePlan plan{freed_node, avail_offset, old_head, value_link_offset, patch_offset, next};
  return dicstore::in_change(type, [&](dicfile::Pager &pages, const char *path) {
    return dicstore::write_delete(pages, path, plan);
  });
}

int DeleteHanjaWord(int type, const char *key, const char *value) {
  // Without the lock first: a pair that is not there needs no change, and a
  // dictionary that cannot be read never reports a removal.
  int registered = CheckDic(type, key, value);
  if (registered <= 0) return registered;
  char path[kPathSize];
  get_dicname(type, path);
  // The check, the plan and the writes are one change.
  dicchange::Change change;
  if (!change.begin(path)) return -1;
  dicfile::Pager pages(change.source());
  int removed = dicstore::delete_word(pages, path, key, value);
  if (removed <= 0) return removed;
  return change.commit() ? 1 : -1;
}
