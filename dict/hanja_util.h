// Dictionary file access, paths, lookup and membership check.
//
// Every entry point opens its dictionary by path, reads it through a Pager
// (pages read with pread, dic_file.h) and closes it before returning. Readings (keys) and Hanja words
// (values) are NUL-terminated EUC-KR strings. The layout of the file is drawn
// in dict/dic_format.h.
#pragma once
#include <string_view>

#include "dict/dic_file.h"

// Dictionary type selectors.
enum { DIC_USER = 0, DIC_SYSTEM = 1, DIC_NULL = 2 };

inline constexpr int kPathSize = 80;  // path buffer of every store operation
inline constexpr int kRowSize = 65;   // one result row of GetHanjaWord

// The slot (0..1990) of a reading.
int hash(const char *key);
int hash_bytes(std::string_view key);

// Field access on an open dictionary. The table and avail accessors seek
// first; the others work at the pager's cursor and leave it behind what they
// read or wrote. A read past the end of the file yields zero bytes; a write
// that fails is seen by the caller of Pager::write_number, not here.
int get_int8(dicfile::Pager &pages);
void put_int8(dicfile::Pager &pages, int v);
int get_table(dicfile::Pager &pages, int slot);
void put_table(dicfile::Pager &pages, int slot, int value);
int get_avail(dicfile::Pager &pages, int entry);
void put_avail(dicfile::Pager &pages, int entry, int value);
void get_typelength(dicfile::Pager &pages, int *type, int *length);
void put_typelength(dicfile::Pager &pages, int type, int length);

// Writes the path of the dictionary of `type` into path[kPathSize]. The path
// is empty, and every operation on it fails as if the file could not be
// opened, for an unknown type, an empty USRDICNAME/SYSDICNAME or a path that
// does not fit the buffer.
void get_dicname(int type, char *path);
// The offset of the key node of `key`, or 0 when the key is absent or its
// chain cannot be trusted.
int get_hangulnode(dicfile::Pager &pages, const char *key);
// Copies values skip+1 .. skip+max of `key` into results; returns their number
// (also in *count), 0 for an absent key, -1 when the file cannot be opened.
int GetHanjaWord(int type, const char *key, int skip, int max, int *count, char (*results)[kRowSize]);
// 1 when value is registered under key, 0 when not, -1 when the file cannot be opened.
int CheckDic(int type, const char *key, const char *value);

namespace dicstore {

// The steps of the entry points on an open dictionary, for callers that
// hold one (a change, or an image in memory); same results as the entry points.
int lookup(dicfile::Pager &pages, const char *key, int skip, int max, int *count, char (*results)[kRowSize]);
int check(dicfile::Pager &pages, const char *key, const char *value);

}  // namespace dicstore
