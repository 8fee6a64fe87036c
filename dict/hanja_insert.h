// Creation of the user dictionary, insertion and replacement of words.
#pragma once
#include "dict/dic_file.h"

// Creates the user dictionary as an empty dictionary when it does not exist;
// an existing file is never emptied. Ends the program with status 1 when the
// missing dictionary cannot be created.
void init();
// Creates an empty dictionary at `path` unless a file is already there.
// 0 when a file exists at `path` afterwards, -1 when it could not be created
// (a partly written file is removed).
int create_dictionary(const char *path);

// 0 when the pair is registered afterwards, -1 when the pair cannot be stored
// (no size class, or lengths differ), the dictionary can be neither opened for
// update nor created, or the file is damaged where the pair would go.
int InsertHanjaWord(int type, const char *key, const char *value);
// Plans the insertion of a node for `key`; 0 when the plan is filled, -1 when
// the file cannot be opened for reading or cannot be trusted where it would be
// changed (nothing is set then).
int GetInsertInfo(int type, const char *key, int *exists, int *new_node, int *link_offset,
                  int *link_value, int *avail_offset, int *avail_value);
// Writes the node and the two fields of a plan; -1 (nothing written) when the
// file cannot be opened for update or the plan does not fit the file.
int InsertDic(int type, int node_type, const char *str, int new_node, int link_offset,
              int link_value, int avail_offset, int avail_value);
// The link field that a new last node of chain `slot` hangs from (its link
// value is always 0). *link_offset is 0 when the chain cannot be trusted.
void get_lastinfo(dicfile::Pager &pages, int slot, int *link_offset, int *link_value);
// The link field after the last value of the key at key_node, and what it
// holds. *link_offset is 0 when the chain cannot be trusted.
void get_linkinfo(dicfile::Pager &pages, int key_node, int *link_offset, int *link_value);
// 0 when old and new are equal or the new one was added while the old one was
// not registered; 1 when the old one was replaced; -1 when the new one could
// not be added (the old one is kept) or the old one could not be removed.
int UpdateHanjaWord(int type, const char *key, const char *old_value, const char *new_value);

namespace dicstore {

// An insertion plan, as GetInsertInfo fills it.
struct InsertPlan {
  int exists = 0, new_node = 0, link_offset = 0, link_value = 0, avail_offset = 0, avail_value = 0;
};

// The steps on an open dictionary (`name` is what failures name); results
// as of the entry points. A caller that holds a change passes its source.
int plan_insert(dicfile::Pager &pages, const char *name, const char *key, InsertPlan &plan);
int write_insert(dicfile::Pager &pages, const char *name, int node_type, const char *str, const InsertPlan &plan);
// InsertHanjaWord after its dictionary is open: 0 registered, -1 refused or failed.
int insert_word(dicfile::Pager &pages, const char *name, const char *key, const char *value);

}  // namespace dicstore
