// Deletion of one reading/Hanja pair.
#pragma once

int DeleteHanjaWord(int type, const char *key, const char *value);
int GetDeleteInfo(int type, const char *key, const char *value, int *freed_node, int *avail_offset,
                  int *old_head, int *value_link_offset, int *patch_offset, int *next);
int DeleteDic(int type, int freed_node, int avail_offset, int old_head, int value_link_offset,
              int patch_offset, int next);
