// export --format libhangul: a personal Hanja file for libhangul-based input methods.
//
// libhangul's loader groups consecutive lines of one reading and looks readings
// up by binary search over their bytes, so the lines are sorted by the UTF-8
// bytes of the reading; a reading's words keep their dictionary order.
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "dict/dic_walk.h"
#include "dict/hanja_util.h"
#include "tools/cli.h"
#include "tools/text_codec.h"

namespace cli {
namespace {

using Words = std::vector<std::string>;
using Table = std::map<std::string, Words>;  // UTF-8 reading -> UTF-8 words

// Adds every pair of the dictionary of `type` after the words already there;
// a word already listed for its reading is not repeated.
int collect(int type, const std::string &path, Table &table) {
  DicWalkResult walk = walk_pairs(type, [&](const DicPair &p) {
    Words &words = table[textcodec::printable(p.key)];
    std::string word = textcodec::printable(p.value);
    for (const std::string &w : words)
      if (w == word) return;
    words.push_back(std::move(word));
  });
  if (walk.opened < 0) {
    error(path, "cannot open the dictionary for reading");
    return kFail;
  }
  if (walk.damaged_chains > 0) {
    error(path, "%d damaged chains (the first in slot %d) were left off where they could not be trusted; "
          "run verify", walk.damaged_chains, walk.first_damaged_slot);
    return kNo;
  }
  return kYes;
}

}  // namespace

int export_libhangul(const Context &ctx, bool merge) {
  Table table;
  // The user's words of a reading come first, so an input method offers them first.
  int status = collect(ctx.type, ctx.path, table);
  if (status == kFail) return kFail;
  if (merge) {
    char system[kPathSize];
    get_dicname(DIC_SYSTEM, system);
    int merged = collect(DIC_SYSTEM, system, table);
    if (merged == kFail) return kFail;
    if (merged == kNo) status = kNo;
  }
  for (const auto &[reading, words] : table)
    for (const std::string &word : words) std::printf("%s:%s:\n", reading.c_str(), word.c_str());
  return status;
}

}  // namespace cli
