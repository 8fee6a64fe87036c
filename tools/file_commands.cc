// dump, export, verify: whole-dictionary reading.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

#include "dict/dic_file.h"
#include "dict/dic_verify.h"
#include "dict/dic_walk.h"
#include "dict/hanja_util.h"
#include "tools/cli.h"
#include "tools/echo.h"
#include "tools/text_codec.h"

namespace cli {
namespace {

void print_pair(std::string_view key, std::string_view value) {
  std::printf("%s\t%s\n", textcodec::printable(key).c_str(), textcodec::printable(value).c_str());
}

int walk_status(const Context &ctx, const DicWalkResult &walk) {
  if (walk.opened < 0) {
    error(ctx.path, "cannot open the dictionary for reading");
    return kFail;
  }
  if (walk.damaged_chains > 0) {
    error(ctx.path, "%d damaged chains (the first in slot %d) were left off where they could not be trusted; "
          "run verify", walk.damaged_chains, walk.first_damaged_slot);
    return kNo;
  }
  return kYes;
}

}  // namespace

bool read_dictionary(const Context &ctx, std::vector<unsigned char> &image) {
  if (!dicfile::read_image(ctx.path.c_str(), image)) {
    error(ctx.path, "cannot open the dictionary for reading: %s", std::strerror(errno));
    return false;
  }
  return true;
}

int cmd_dump(const Context &ctx, const Args &) {
  DicWalkResult walk = walk_pairs(ctx.type, [](const DicPair &p) { print_pair(p.key, p.value); });
  return walk_status(ctx, walk);
}

// Pairs in the order their value nodes were laid out, so that importing the
// export of a dictionary that never lost a pair rebuilds it byte for byte;
// a key's values always keep their chain order.
int cmd_export(const Context &ctx, const Args &args) {
  bool libhangul = false;
  bool merge = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--merge") {
      merge = true;
    } else if (args[i] == "--format" && i + 1 < args.size() && (args[i + 1] == "tsv" || args[i + 1] == "libhangul")) {
      libhangul = args[++i] == "libhangul";
    } else {
      std::fprintf(stderr, "glosset-dict: export: unknown argument %s (--format tsv|libhangul, --merge)\n",
                   shown(args[i]).c_str());
      return kFail;
    }
  }
  if (merge && (!libhangul || ctx.type == DIC_SYSTEM)) {
    std::fprintf(stderr, "glosset-dict: export: --merge goes with --format libhangul on the user dictionary\n");
    return kFail;
  }
  if (libhangul) return export_libhangul(ctx, merge);
  struct Item {
    int order;
    std::size_t seq;
    std::string key, value;
  };
  std::vector<Item> items;
  std::unordered_map<int, int> last_order;  // per key node: order of its previous value
  DicWalkResult walk = walk_pairs(ctx.type, [&](const DicPair &p) {
    int &last = last_order[p.key_node];
    last = std::max(last, p.value_node);
    items.push_back({last, items.size(), std::string(p.key), std::string(p.value)});
  });
  std::stable_sort(items.begin(), items.end(), [](const Item &a, const Item &b) { return a.order < b.order; });
  for (const Item &item : items) print_pair(item.key, item.value);
  return walk_status(ctx, walk);
}

int cmd_verify(const Context &ctx, const Args &) {
  std::vector<unsigned char> image;
  if (!read_dictionary(ctx, image)) return kFail;
  VerifyReport report = verify_image(image);
  const std::string name = shown(ctx.path, kWhole);
  const char *path = name.c_str();
  for (const std::string &p : report.problems) std::printf("%s: %s\n", path, p.c_str());
  if (report.total > report.problems.size())
    std::printf("%s: ... and %zu more problems\n", path, report.total - report.problems.size());
  if (!report.sound()) {
    if (report.orphan_keys + report.orphan_values > 0)
      std::printf("%s: %zu readings and %zu words are reached by no chain or free list: lost to every lookup "
                  "until repair\n", path, report.orphan_keys, report.orphan_values);
    std::printf("%s: damaged: %zu problems; glosset-dict repair rebuilds it from every pair it still holds\n",
                path, report.total);
    return kNo;
  }
  std::printf("%s: sound: %zu readings, %zu words, %zu free nodes\n", path, report.keys, report.values,
              report.free_nodes);
  return kYes;
}

}  // namespace cli
