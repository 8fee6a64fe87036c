// Creation of the user dictionary, insertion and replacement of words.
#pragma once
#include <cstdio>

void init();
int InsertHanjaWord(int type, const char *key, const char *value);
int GetInsertInfo(int type, const char *key, int *exists, int *new_node, int *link_offset,
                  int *link_value, int *avail_offset, int *avail_value);
int InsertDic(int type, int node_type, const char *str, int new_node, int link_offset,
              int link_value, int avail_offset, int avail_value);
void get_lastinfo(FILE *fp, int slot, int *link_offset, int *link_value);
void get_linkinfo(FILE *fp, int key_node, int *link_offset, int *link_value);
int UpdateHanjaWord(int type, const char *key, const char *old_value, const char *new_value);
