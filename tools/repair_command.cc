// repair: a damaged dictionary rebuilt from every pair it still holds.
#include <cstdio>
#include <string>
#include <vector>

#include "dict/dic_builder.h"
#include "dict/dic_change.h"
#include "dict/dic_format.h"
#include "dict/dic_repair.h"
#include "dict/dic_verify.h"
#include "tools/cli.h"
#include "tools/echo.h"
#include "tools/text_codec.h"

namespace cli {
namespace {

// The pairs kept from nodes no chain reached: cut off from their chain, or
// words deleted before whose free list was lost; a person may want to look.
void print_recovered(const Context &ctx, const SalvageReport &found) {
  constexpr std::size_t kShown = 50;
  std::string list;
  std::size_t listed = 0;
  for (const SalvagedPair &p : found.pairs) {
    if (!p.orphaned || listed++ >= kShown) continue;
    list += (list.empty() ? " " : ", ") + textcodec::printable(p.key) + " " + textcodec::printable(p.value);
  }
  if (listed == 0) return;
  std::printf("%s: kept from nodes no chain reached:%s%s\n", shown(ctx.path, kWhole).c_str(), list.c_str(),
              listed > kShown ? ", ..." : "");
}

void print_left_out(const Context &ctx, const SalvageReport &found) {
  const std::string name = shown(ctx.path, kWhole);
  const char *path = name.c_str();
  if (found.free_nodes > 0)
    std::printf("%s: left out: %zu nodes of the free lists (words deleted before)\n", path, found.free_nodes);
  if (!found.keyless_words.empty()) {
    std::string words;
    for (const std::string &w : found.keyless_words) words.append(" ").append(textcodec::printable(w));
    std::printf("%s: left out: %zu words whose reading could not be told:%s\n", path, found.keyless_words.size(),
                words.c_str());
  }
  if (found.unstorable > 0)
    std::printf("%s: left out: %zu nodes that do not hold a storable reading or word\n", path, found.unstorable);
  if (found.trailing_bytes > 0)
    std::printf("%s: left out: the last %zu bytes, which hold no whole node\n", path, found.trailing_bytes);
}

}  // namespace

int cmd_repair(const Context &ctx, const Args &) {
  dicchange::Change change;
  std::vector<unsigned char> image;
  if (!change.begin(ctx.path.c_str()) || !change.read(image)) {
    report_failure(ctx, "repair the dictionary");
    return kFail;
  }
  if (verify_image(image, 0).sound()) {
    std::printf("%s: sound: nothing to repair\n", shown(ctx.path, kWhole).c_str());
    return kYes;
  }
  if (image.size() < static_cast<std::size_t>(dicfmt::kHeaderSize)) {
    error(ctx.path, "cannot repair: %zu bytes hold no whole header, so no dictionary; nothing was written",
          image.size());
    return kFail;
  }
  SalvageReport found = salvage(image);
  DicBuilder builder;
  for (const SalvagedPair &p : found.pairs) {
    if (builder.add(p.key, p.value) == DicBuilder::Result::full) {
      error(ctx.path, "cannot repair: the pairs found do not fit a dictionary; nothing was written");
      return kFail;
    }
  }
  std::string kept = change.keep_original(".damaged");
  if (kept.empty() || !change.replace(builder.image()) || !change.commit()) {
    report_failure(ctx, "repair the dictionary");  // the change takes the kept name back
    return kFail;
  }
  std::printf("%s: repaired: %zu pairs kept, %zu of them from nodes no chain reached any more; "
              "the damaged file is kept as %s\n",
              shown(ctx.path, kWhole).c_str(), found.pairs.size(), found.orphaned, shown(kept, kWhole).c_str());
  print_recovered(ctx, found);
  print_left_out(ctx, found);
  return kYes;
}

}  // namespace cli
