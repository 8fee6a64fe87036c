#include "dict/hanja_util.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dict/be24.h"
#include "dict/dic_file.h"
#include "dict/dic_format.h"
#include "dict/dic_node.h"
#include "dict/dic_steps.h"

using dicfile::Node;

int hash(const char *key) { return key == nullptr ? 0 : hash_bytes(key); }

int hash_bytes(std::string_view key) {
  std::uint32_t acc = 0;
  for (std::size_t i = 0; i < key.size(); i += 2) {
    // An odd last byte pairs with the terminating NUL.
    std::uint32_t hi = static_cast<unsigned char>(key[i]) & 0x7Fu;
    std::uint32_t lo = i + 1 < key.size() ? static_cast<unsigned char>(key[i + 1]) & 0x7Fu : 0u;
    acc += 9u * ((hi << 7) | lo);
  }
  return static_cast<int>((acc >> 3) % dicfmt::kSlotCount);
}

int get_int8(dicfile::Pager &pages) {
  int v = pages.number_at(pages.tell());
  pages.seek(pages.tell() + be24::kSize);
  return v;
}

void put_int8(dicfile::Pager &pages, int v) {
  pages.write_number(pages.tell(), v);
  pages.seek(pages.tell() + be24::kSize);
}

int get_table(dicfile::Pager &pages, int slot) {
  pages.seek(dicfmt::slot_offset(slot));
  return get_int8(pages);
}

void put_table(dicfile::Pager &pages, int slot, int value) {
  pages.seek(dicfmt::slot_offset(slot));
  put_int8(pages, value);
}

int get_avail(dicfile::Pager &pages, int entry) {
  pages.seek(dicfmt::avail_offset(entry));
  return get_int8(pages);
}

void put_avail(dicfile::Pager &pages, int entry, int value) {
  pages.seek(dicfmt::avail_offset(entry));
  put_int8(pages, value);
}

void get_typelength(dicfile::Pager &pages, int *type, int *length) {
  const unsigned char *p = pages.bytes(pages.tell(), 1);
  dicnode::Head head = dicnode::head(p == nullptr ? 0 : *p);
  pages.seek(pages.tell() + 1);
  *type = head.type();
  *length = head.length;
}

void put_typelength(dicfile::Pager &pages, int type, int length) {
  unsigned char byte = dicnode::head_byte(type, length);
  pages.write(pages.tell(), {&byte, 1});
  pages.seek(pages.tell() + 1);
}

namespace {

inline constexpr const char *kUserFile = ".usrhjd";
inline constexpr const char *kSystemDir = "/usr/lib/inpd/ko";
inline constexpr const char *kSystemFile = "syshjd";
inline constexpr const char *kNullFile = "nulhjd";

// Formats into path[kPathSize]; a path that does not fit is left empty
// rather than truncated into the name of another file.
// What snprintf with "%s/%s" (or "%s") writes, put together by hand: every
// lookup builds a path, and the formatter cost more than the chain walk.
void format_path(char *path, const char *dir, const char *name) {
  std::size_t dir_len = dir == nullptr ? 0 : std::strlen(dir);
  std::size_t name_len = std::strlen(name);
  std::size_t total = dir == nullptr ? name_len : dir_len + 1 + name_len;
  if (total >= static_cast<std::size_t>(kPathSize)) {
    path[0] = '\0';
    return;
  }
  char *at = path;
  if (dir != nullptr) {
    std::memcpy(at, dir, dir_len);
    at += dir_len;
    *at++ = '/';
  }
  std::memcpy(at, name, name_len);
  at[name_len] = '\0';
}

void system_path(char *path) {
  const char *name = std::getenv("SYSDICNAME");
  if (name == nullptr) {
    format_path(path, kSystemDir, kSystemFile);
  } else if (name[0] == '\0') {
    path[0] = '\0';  // an empty name would name the directory, never a dictionary
  } else {
    format_path(path, name[0] == '/' ? nullptr : kSystemDir, name);
  }
}

void user_path(char *path) {
  const char *home = std::getenv("HOME");
  if (home == nullptr) {
    system_path(path);
    return;
  }
  const char *name = std::getenv("USRDICNAME");
  if (name == nullptr) {
    format_path(path, home, kUserFile);
  } else if (name[0] == '\0') {
    path[0] = '\0';  // an empty name would name the home directory itself
  } else {
    format_path(path, name[0] == '/' ? nullptr : home, name);
  }
}

std::string_view view(const char *s) { return s == nullptr ? std::string_view() : std::string_view(s); }

}  // namespace

void get_dicname(int type, char *path) {
  switch (type) {
    case DIC_USER: user_path(path); break;
    case DIC_SYSTEM: system_path(path); break;
    case DIC_NULL: format_path(path, nullptr, kNullFile); break;
    default: path[0] = '\0'; break;  // no file is named by another selector
  }
}

int get_hangulnode(dicfile::Pager &pages, const char *key) {
  bool damaged = false;
  return dicfile::find_key_node(pages, view(key), damaged);
}

int GetHanjaWord(int type, const char *key, int skip, int max, int *count, char (*results)[kRowSize]) {
  if (count != nullptr) *count = 0;
  return dicstore::on_dictionary(type, [&](dicfile::Pager &pages, const char *) {
    return dicstore::lookup(pages, key, skip, max, count, results);
  });
}

int CheckDic(int type, const char *key, const char *value) {
  return dicstore::on_dictionary(type, [&](dicfile::Pager &pages, const char *) {
    return dicstore::check(pages, key, value);
  });
}

namespace dicstore {

int lookup(dicfile::Pager &pages, const char *key, int skip, int max, int *count, char (*results)[kRowSize]) {
  if (count != nullptr) *count = 0;
  if (results == nullptr || max < 0) max = 0;
  bool damaged = false;
  Node node;
  if (dicfile::find_key_node(pages, view(key), damaged, node) == 0) return 0;
  int number = 0;
  int copied = 0;
  bool whole = dicfile::for_each_value(pages, node, [&](const Node &value) {
    ++number;
    if (number > skip && copied < max) {
      std::memcpy(results[copied], value.str, static_cast<std::size_t>(value.length));
      results[copied][value.length] = '\0';
      ++copied;
    }
    return true;
  });
  if (!whole) copied = 0;  // a group that cannot be walked to its end is not trusted
  if (count != nullptr) *count = copied;
  return copied;
}

int check(dicfile::Pager &pages, const char *key, const char *value) {
  bool damaged = false;
  Node node;
  if (dicfile::find_key_node(pages, view(key), damaged, node) == 0) return 0;
  bool found = false;
  std::string_view wanted = view(value);
  dicfile::for_each_value(pages, node, [&](const Node &v) {
    found = v.text() == wanted;
    return !found;
  });
  return found ? 1 : 0;
}

}  // namespace dicstore
