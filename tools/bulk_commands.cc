// import and build: many pairs from a pair file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dict/dic_builder.h"
#include "dict/dic_change.h"
#include "dict/dic_verify.h"
#include "dict/dic_layout.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tools/cli.h"
#include "tools/echo.h"
#include "tools/pair_file.h"

namespace cli {
namespace {

struct FileCloser {
  void operator()(FILE *fp) const {
    if (fp != nullptr && fp != stdin) std::fclose(fp);
  }
};
using InputFile = std::unique_ptr<FILE, FileCloser>;

// Opens a pair file ("-" is standard input); null with a message on failure.
InputFile open_input(const std::string &name, long &size) {
  size = 0;
  if (name == "-") return InputFile(stdin);
  struct stat st;
  if (stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error(name, "is a directory, not a pair file");
    return nullptr;
  }
  FILE *fp = std::fopen(name.c_str(), "rb");
  if (fp == nullptr) {
    error(name, "cannot open: %s", std::strerror(errno));
    return nullptr;
  }
  size = S_ISREG(st.st_mode) ? static_cast<long>(st.st_size) : 0;
  return InputFile(fp);
}

// Lists the lines that were left out, then a summary; kNo when there were any.
int report_skipped(const std::string &name, const PairFileStats &stats) {
  // One write for all the lines: stderr is unbuffered, and libhangul's own
  // table has some 24,000 lines a build skips.
  std::string file = shown(name, 96), lines;
  for (const SkippedLine &s : stats.skipped)
    lines += "glosset-dict: " + file + ":" + std::to_string(s.line) + ": skipped: " + s.reason + "\n";
  std::fwrite(lines.data(), 1, lines.size(), stderr);
  if (stats.skipped.empty()) return kYes;
  // Then how many for each reason, in the order the reasons first occurred.
  std::vector<std::pair<std::string, long>> reasons;
  for (const SkippedLine &s : stats.skipped) {
    auto it = std::find_if(reasons.begin(), reasons.end(), [&](const auto &r) { return r.first == s.reason; });
    if (it == reasons.end()) reasons.emplace_back(s.reason, 1); else ++it->second;
  }
  std::string why;
  for (const auto &[reason, n] : reasons) why += (why.empty() ? "" : ", ") + std::to_string(n) + " " + reason;
  std::fprintf(stderr, "glosset-dict: %s: %zu of %ld lines skipped (%s), %ld pairs read\n", shown(name, 96).c_str(),
               stats.skipped.size(), stats.lines, why.c_str(), stats.pairs);
  return kNo;
}

// Writes `image` to a temporary file beside `out` and renames it into place,
// so that `out` is either the old file or the whole new one.
bool write_atomically(const std::string &out, const std::vector<unsigned char> &image) {
  std::string tmp = out + ".XXXXXX";
  int fd = mkstemp(tmp.data());
  if (fd < 0) {
    error(out, "cannot create a temporary file beside it: %s", std::strerror(errno));
    return false;
  }
  mode_t mask = umask(0);
  umask(mask);
  bool ok = fchmod(fd, 0666 & ~mask) == 0;
  std::size_t done = 0;
  while (ok && done < image.size()) {
    ssize_t n = write(fd, image.data() + done, image.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false; else done += static_cast<std::size_t>(n);
  }
  int saved = errno;
  if (ok && fsync(fd) != 0) ok = false, saved = errno;
  if (close(fd) != 0 && ok) ok = false, saved = errno;
  if (ok && rename(tmp.c_str(), out.c_str()) != 0) ok = false, saved = errno;
  if (!ok) {
    unlink(tmp.c_str());
    error(out, "cannot write: %s", std::strerror(saved));
  }
  return ok;
}

}  // namespace

int cmd_import(const Context &ctx, const Args &args) {
  const std::string &name = args[0];
  long size = 0;
  InputFile in = open_input(name, size);
  if (!in) return kFail;
  if (ctx.type == DIC_USER && create_dictionary(ctx.path.c_str()) != 0) {
    error(ctx.path, "cannot create the dictionary: %s", ctx.path.empty() ? "no path" : std::strerror(errno));
    return kFail;
  }
  // The whole file is one change: one lock, one write, and either every pair
  // or none. The pairs are laid out in memory exactly as adding them one by
  // one would lay them out.
  dicchange::Change change;
  std::vector<unsigned char> image;
  if (!change.begin(ctx.path.c_str()) || !change.read(image)) {
    report_failure(ctx, "import");
    return kFail;
  }
  DicBuilder builder;
  if (!verify_image(image, 0).sound() || !builder.load(std::move(image))) {
    error(ctx.path, "cannot import: the file is damaged (see verify; repair rebuilds it); nothing was imported");
    return kFail;
  }
  std::size_t before = builder.pairs();
  long full_line = 0;
  Progress progress("import", size);
  PairFileStats stats = read_pair_file(
      in.get(),
      [&](const StorablePair &p) {
        if (full_line == 0 && builder.add(p.reading, p.word) == DicBuilder::Result::full) full_line = p.line;
      },
      [&](long lines) { progress.update(in.get(), lines); });
  progress.finish();
  if (std::ferror(in.get())) {
    error(name, "read error; nothing was imported");
    return kFail;
  }
  if (full_line != 0) {
    error(ctx.path, "cannot import: the dictionary is full from %s line %ld on; nothing was imported",
          shown(name).c_str(), full_line);
    return kFail;
  }
  if (builder.pairs() != before && (!change.replace(builder.image()) || !change.commit())) {
    report_failure(ctx, "import");
    return kFail;
  }
  return report_skipped(name, stats);
}

int cmd_build(const Context &, const Args &args) {
  bool force = false;
  bool chain = false;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string &a = args[i];
    if (a == "--force") {
      force = true;
    } else if (a == "--layout" && i + 1 < args.size() && (args[i + 1] == "chain" || args[i + 1] == "insertion")) {
      chain = args[++i] == "chain";
    } else if (a == "--layout") {
      std::fprintf(stderr, "glosset-dict: build: --layout takes chain or insertion\n");
      return kFail;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) {
    std::fprintf(stderr, "glosset-dict: build needs OUT and FILE\n");
    return kFail;
  }
  const std::string &out = names[0];
  const std::string &name = names[1];
  struct stat st;
  if (!force && lstat(out.c_str(), &st) == 0) {
    error(out, "exists; give --force to replace it");
    return kFail;
  }
  if (lstat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error(out, "is a directory");
    return kFail;
  }
  long size = 0;
  InputFile in = open_input(name, size);
  if (!in) return kFail;
  DicBuilder builder;
  // A line of libhangul's table is about 21 bytes and gives about 17 bytes of file.
  if (size > 0) builder.reserve(static_cast<std::size_t>(size / 21), static_cast<std::size_t>(size));
  long full_line = 0;
  Progress progress("build", size);
  PairFileStats stats = read_pair_file(
      in.get(),
      [&](const StorablePair &p) {
        if (full_line == 0 && builder.add(p.reading, p.word) == DicBuilder::Result::full) full_line = p.line;
      },
      [&](long lines) { progress.update(in.get(), lines); });
  progress.finish();
  if (std::ferror(in.get())) {
    error(name, "read error");
    return kFail;
  }
  if (full_line != 0) {
    error(out, "not written: the pairs from %s line %ld on do not fit a dictionary (at most 16 MB)", shown(name).c_str(),
          full_line);
    return kFail;
  }
  if (!write_atomically(out, chain ? chain_layout(builder.image()) : builder.image())) return kFail;
  return report_skipped(name, stats);
}

}  // namespace cli
