// Visiting every pair of a dictionary file, slot by slot in chain order.
#pragma once
#include <functional>
#include <string_view>

struct DicPair {
  int slot;
  int key_node;
  int value_node;
  std::string_view key;    // EUC-KR bytes, valid during the call only
  std::string_view value;
};

struct DicWalkResult {
  int opened = 0;           // -1 when the file could not be opened for reading
  int damaged_chains = 0;   // chains left off where they could not be trusted
  int first_damaged_slot = -1;
};

// Calls fn for every pair of the dictionary of `type` (a selector as for
// GetHanjaWord). A chain that cannot be trusted is followed only as far as it
// can be; its remaining pairs are skipped and counted in the result.
DicWalkResult walk_pairs(int type, const std::function<void(const DicPair &)> &fn);
