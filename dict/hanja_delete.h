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
