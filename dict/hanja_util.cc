#include "dict/hanja_util.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dict/be24.h"
#include "dict/dic_file.h"
#include "dict/dic_format.h"

using dicfile::DicFile;
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

int get_int8(FILE *fp) {
  // A short read leaves the missing bytes 0; callers check offsets before they trust a number.
  unsigned char b[be24::kSize] = {};
  std::size_t got = std::fread(b, 1, sizeof b, fp);
  static_cast<void>(got);
  return static_cast<int>(be24::decode(b));
}

void put_int8(FILE *fp, int v) {
  unsigned char b[be24::kSize];
  be24::encode(b, static_cast<std::uint32_t>(v));
  std::fwrite(b, 1, sizeof b, fp);
}

int get_table(FILE *fp, int slot) {
  std::fseek(fp, dicfmt::slot_offset(slot), SEEK_SET);
  return get_int8(fp);
}

void put_table(FILE *fp, int slot, int value) {
  std::fseek(fp, dicfmt::slot_offset(slot), SEEK_SET);
  put_int8(fp, value);
}

int get_avail(FILE *fp, int entry) {
  std::fseek(fp, dicfmt::avail_offset(entry), SEEK_SET);
  return get_int8(fp);
}

void put_avail(FILE *fp, int entry, int value) {
  std::fseek(fp, dicfmt::avail_offset(entry), SEEK_SET);
  put_int8(fp, value);
}

void get_typelength(FILE *fp, int *type, int *length) {
  int c = std::fgetc(fp);
  if (c == EOF) c = 0;
  *type = (c & dicfmt::kKeyBit) != 0 ? dicfmt::kNodeKey : dicfmt::kNodeValue;
  *length = c & dicfmt::kLengthMask;
}

void put_typelength(FILE *fp, int type, int length) {
  int byte = (type == dicfmt::kNodeKey ? dicfmt::kKeyBit : 0) | (length & dicfmt::kLengthMask);
  std::fputc(byte, fp);
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

DicFile open_by_type(int type, dicfile::Mode mode) {
  char path[kPathSize];
  get_dicname(type, path);
  return DicFile::open(path, mode);
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

int get_hangulnode(FILE *fp, const char *key) {
  bool damaged = false;
  return dicfile::find_key_node(fp, dicfile::stream_size(fp), view(key), damaged);
}

int GetHanjaWord(int type, const char *key, int skip, int max, int *count, char (*results)[kRowSize]) {
  if (count != nullptr) *count = 0;
  DicFile file = open_by_type(type, dicfile::Mode::read);
  if (!file) return -1;
  if (results == nullptr || max < 0) max = 0;
  // One reader for the whole walk: the slot comes from the stream's first
  // fill, and a chain laid out contiguously costs one seek.
  dicfile::NodeReader reader(file.get(), file.size(), 0);  // just opened: at 0
  bool damaged = false;
  Node node;
  if (dicfile::find_key_node(reader, view(key), damaged, node) == 0) return 0;
  int number = 0;
  int copied = 0;
  bool whole = dicfile::for_each_value(reader, node, [&](const Node &value) {
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

int CheckDic(int type, const char *key, const char *value) {
  DicFile file = open_by_type(type, dicfile::Mode::read);
  if (!file) return -1;
  dicfile::NodeReader reader(file.get(), file.size(), 0);  // just opened: at 0
  bool damaged = false;
  Node node;
  if (dicfile::find_key_node(reader, view(key), damaged, node) == 0) return 0;
  bool found = false;
  std::string_view wanted = view(value);
  dicfile::for_each_value(reader, node, [&](const Node &v) {
    found = v.text() == wanted;
    return !found;
  });
  return found ? 1 : 0;
}
