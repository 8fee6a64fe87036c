// Dictionary file access, paths, lookup and membership check.
//
// Every entry point opens its dictionary by path, works through a buffered
// stream and closes it before returning. Readings (keys) and Hanja words
// (values) are NUL-terminated EUC-KR strings.
#pragma once
#include <cstdio>

// Dictionary type selectors.
enum { DIC_USER = 0, DIC_SYSTEM = 1, DIC_NULL = 2 };

inline constexpr int kPathSize = 80;  // path buffer of every store operation
inline constexpr int kRowSize = 65;   // one result row of GetHanjaWord

int hash(const char *key);
int get_int8(FILE *fp);
void put_int8(FILE *fp, int v);
int get_table(FILE *fp, int slot);
void put_table(FILE *fp, int slot, int value);
int get_avail(FILE *fp, int entry);
void put_avail(FILE *fp, int entry, int value);
void get_typelength(FILE *fp, int *type, int *length);
void put_typelength(FILE *fp, int type, int length);

void get_dicname(int type, char *path);
int get_hangulnode(FILE *fp, const char *key);
int GetHanjaWord(int type, const char *key, int skip, int max, int *count, char (*results)[kRowSize]);
int CheckDic(int type, const char *key, const char *value);
