// Deletion of one reading/Hanja pair.
#pragma once

// 1 when the pair was registered and has been removed; 0 when it is not
// registered (nothing written); -1 when the dictionary cannot be opened or the
// removal was refused because the file is damaged where it would be changed.
int DeleteHanjaWord(int type, const char *key, const char *value);
// Plans the removal of a registered pair; 0 when the plan is filled, -1 (nothing
// set) when the file cannot be opened for reading, the pair is not found, or
// the chain or free list to be patched cannot be trusted.
int GetDeleteInfo(int type, const char *key, const char *value, int *freed_node, int *avail_offset,
                  int *old_head, int *value_link_offset, int *patch_offset, int *next);
// Writes the three fields of a plan; -1 (nothing written) when the file cannot
// be opened for update or the plan does not fit the file.
int DeleteDic(int type, int freed_node, int avail_offset, int old_head, int value_link_offset,
              int patch_offset, int next);

namespace dicfile {
class Pager;
}

namespace dicstore {

// A deletion plan, as GetDeleteInfo fills it.
struct DeletePlan {
  int freed_node = 0, avail_offset = 0, old_head = 0, value_link_offset = 0, patch_offset = 0, next = 0;
};

// The steps on an open dictionary (`name` is what failures name); results
// as of the entry points.
int plan_delete(dicfile::Pager &pages, const char *key, const char *value, DeletePlan &plan);
int write_delete(dicfile::Pager &pages, const char *name, const DeletePlan &plan);
// DeleteHanjaWord after its dictionary is open and locked.
int delete_word(dicfile::Pager &pages, const char *name, const char *key, const char *value);

}  // namespace dicstore
