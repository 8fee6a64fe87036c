// EUC-KR to UTF-8 (packed three bytes): one binary search in euc2utf_tbl.
#include "conv/euc_to_utf_sub.h"

#include <cstdlib>

#include "conv/code_pair.h"

namespace {

// Orders rows by EUC-KR code, both taken as unsigned 16-bit values.
int node_compare(const void *a, const void *b) {
  const auto *x = static_cast<const CodePair *>(a);
  const auto *y = static_cast<const CodePair *>(b);
  return static_cast<int>(x->euc) - static_cast<int>(y->euc);
}

}  // namespace

std::uint32_t euc2utf(std::uint16_t euc) {
  const CodePair key{euc, 0};
  const auto *found = static_cast<const CodePair *>(
      std::bsearch(&key, euc2utf_tbl, kEuc2UtfCount, sizeof(CodePair), node_compare));
  return found ? found->utf : 0;
}
