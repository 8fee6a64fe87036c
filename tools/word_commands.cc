// get, check, add, del, mod: one pair at a time through the store's entry points.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dict/dic_file.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tools/cli.h"
#include "tools/pair_file.h"
#include "tools/text_codec.h"

namespace cli {
namespace {

// Creates a missing user dictionary before a change, so that a dictionary
// that cannot be created is reported here rather than ending the process.
bool ensure_dictionary(const Context &ctx) {
  if (ctx.type != DIC_USER) return true;
  if (create_dictionary(ctx.path.c_str()) == 0) return true;
  error(ctx.path, "cannot create the dictionary: %s", ctx.path.empty() ? "no path" : std::strerror(errno));
  return false;
}

bool readable(const Context &ctx) {
  return static_cast<bool>(dicfile::DicFile::open(ctx.path.c_str(), dicfile::Mode::read));
}

// What a failed change says: the file itself, or what it holds.
void report_unwritable(const Context &ctx, const char *what) {
  if (!readable(ctx))
    error(ctx.path, "cannot %s: the dictionary cannot be opened", what);
  else
    error(ctx.path, "cannot %s: the file is not writable or is damaged there (see verify)", what);
}

}  // namespace

int cmd_get(const Context &ctx, const Args &args) {
  auto key = textcodec::to_euc(args[0]);
  if (!key) {
    error(ctx.path, "%s: reading outside KS X 1001", args[0].c_str());
    return kNo;
  }
  constexpr int kBatch = 64;
  char rows[kBatch][kRowSize];
  int total = 0;
  for (;;) {
    int count = 0;
    int got = GetHanjaWord(ctx.type, key->c_str(), total, kBatch, &count, rows);
    if (got < 0) {
      error(ctx.path, "cannot open the dictionary for reading");
      return kFail;
    }
    for (int i = 0; i < got; ++i) std::printf("%s\n", textcodec::printable(rows[i]).c_str());
    total += got;
    if (got < kBatch) break;
  }
  return total > 0 ? kYes : kNo;
}

int cmd_check(const Context &ctx, const Args &args) {
  auto key = textcodec::to_euc(args[0]);
  auto value = textcodec::to_euc(args[1]);
  if (!key || !value) return kNo;  // what cannot be written cannot be registered
  int r = CheckDic(ctx.type, key->c_str(), value->c_str());
  if (r < 0) {
    error(ctx.path, "cannot open the dictionary for reading");
    return kFail;
  }
  return r == 1 ? kYes : kNo;
}

int cmd_add(const Context &ctx, const Args &args) {
  std::string key, value;
  if (const char *problem = pair_problem(args[0], args[1], key, value)) {
    error(ctx.path, "%s %s refused: %s", args[0].c_str(), args[1].c_str(), problem);
    return kNo;
  }
  if (!ensure_dictionary(ctx)) return kFail;
  if (InsertHanjaWord(ctx.type, key.c_str(), value.c_str()) != 0 ||
      CheckDic(ctx.type, key.c_str(), value.c_str()) != 1) {
    report_unwritable(ctx, "add the pair");
    return kFail;
  }
  return kYes;
}

int cmd_del(const Context &ctx, const Args &args) {
  auto key = textcodec::to_euc(args[0]);
  auto value = textcodec::to_euc(args[1]);
  if (!key || !value) {
    if (!readable(ctx)) {
      error(ctx.path, "cannot open the dictionary");
      return kFail;
    }
    return kNo;
  }
  int r = DeleteHanjaWord(ctx.type, key->c_str(), value->c_str());
  if (r == 1) return kYes;
  if (r == 0) return kNo;
  report_unwritable(ctx, "delete the pair");
  return kFail;
}

int cmd_mod(const Context &ctx, const Args &args) {
  std::string key, old_value, new_value;
  if (const char *problem = pair_problem(args[0], args[2], key, new_value)) {
    error(ctx.path, "%s %s refused: %s", args[0].c_str(), args[2].c_str(), problem);
    return kNo;
  }
  auto old_euc = textcodec::to_euc(args[1]);
  if (!old_euc) {
    error(ctx.path, "%s %s refused: character outside KS X 1001", args[0].c_str(), args[1].c_str());
    return kNo;
  }
  old_value = *old_euc;
  if (!ensure_dictionary(ctx)) return kFail;
  int r = UpdateHanjaWord(ctx.type, key.c_str(), old_value.c_str(), new_value.c_str());
  if (r >= 0) return kYes;
  report_unwritable(ctx, "replace the word");
  return kFail;
}

}  // namespace cli
