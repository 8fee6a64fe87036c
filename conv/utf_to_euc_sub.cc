// UTF-8 (packed three bytes) to EUC-KR: one binary search in utf2euc_tbl.
#include "conv/utf_to_euc_sub.h"

#include <cstdlib>

#include "conv/code_pair.h"

namespace {

// Orders rows by packed UTF-8 code.  The codes stay below 2^24, so the
// difference of two of them always fits an int.
int node_compare(const void *a, const void *b) {
  const auto *x = static_cast<const CodePair *>(a);
  const auto *y = static_cast<const CodePair *>(b);
  return static_cast<int>(x->utf) - static_cast<int>(y->utf);
}

}  // namespace

std::uint16_t utf2euc(std::uint32_t packed_utf8) {
  // A key above 24 bits could overflow the comparison and matches nothing anyway.
  if (packed_utf8 > 0xFFFFFF) return 0;
  const CodePair key{0, packed_utf8};
  const auto *found = static_cast<const CodePair *>(
      std::bsearch(&key, utf2euc_tbl, kUtf2EucCount, sizeof(CodePair), node_compare));
  return found ? found->euc : 0;
}
