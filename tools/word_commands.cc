// get, check, add, del, mod: one pair at a time through the store's entry points.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dict/dic_error.h"
#include "dict/dic_file.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tools/cli.h"
#include "tools/echo.h"
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

void refused(const Context &ctx, const std::string &reading, const std::string &word, const char *problem) {
  error(ctx.path, "%s %s refused: %s", shown(reading).c_str(), shown(word).c_str(), problem);
}

}  // namespace

int cmd_get(const Context &ctx, const Args &args) {
  auto key = textcodec::to_euc(args[0]);
  if (!key) {
    error(ctx.path, "%s: reading outside KS X 1001", shown(args[0]).c_str());
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
    refused(ctx, args[0], args[1], problem);
    return kNo;
  }
  // Registered already: nothing to write, so a file that cannot be written is no failure.
  if (CheckDic(ctx.type, key.c_str(), value.c_str()) == 1) return kYes;
  if (!ensure_dictionary(ctx)) return kFail;
  if (InsertHanjaWord(ctx.type, key.c_str(), value.c_str()) != 0) {
    report_failure(ctx, "add the pair");
    return kFail;
  }
  return kYes;
}

int cmd_del(const Context &ctx, const Args &args) {
  auto key = textcodec::to_euc(args[0]);
  auto value = textcodec::to_euc(args[1]);
  if (!key || !value) {
    if (!readable(ctx)) {
      error(ctx.path, "cannot open the dictionary: %s", std::strerror(errno));
      return kFail;
    }
    return kNo;
  }
  int r = DeleteHanjaWord(ctx.type, key->c_str(), value->c_str());
  if (r == 1) return kYes;
  if (r == 0) return kNo;
  if (dicerr::last().kind == dicerr::Kind::none) {
    error(ctx.path, "cannot open the dictionary: %s", std::strerror(errno));  // the check before the change
  } else {
    report_failure(ctx, "delete the pair");
  }
  return kFail;
}

int cmd_mod(const Context &ctx, const Args &args) {
  std::string key, old_value, new_value;
  if (const char *problem = pair_problem(args[0], args[2], key, new_value)) {
    refused(ctx, args[0], args[2], problem);
    return kNo;
  }
  auto old_euc = textcodec::to_euc(args[1]);
  if (!old_euc) {
    refused(ctx, args[0], args[1], "character outside KS X 1001");
    return kNo;
  }
  old_value = *old_euc;
  if (!ensure_dictionary(ctx)) return kFail;
  int r = UpdateHanjaWord(ctx.type, key.c_str(), old_value.c_str(), new_value.c_str());
  if (r >= 0) return kYes;
  report_failure(ctx, "replace the word");
  return kFail;
}

}  // namespace cli
