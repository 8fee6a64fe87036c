// publish, unpublish, import --from: the user dictionary in the files input
// methods read, and keeping those files in step after every change.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "publish/publish.h"
#include "publish/system_table.h"
#include "tools/cli.h"

namespace cli {
namespace {

// The installed fcitx5-hangul's version, "" when it is not installed.
std::string fcitx5_hangul_version() {
  std::unique_ptr<FILE, int (*)(FILE *)> p(
      popen("dpkg-query -W -f='${Status} ${Version}' fcitx5-hangul 2>/dev/null", "r"), pclose);
  char line[256] = {};
  if (!p || std::fgets(line, sizeof line, p.get()) == nullptr) return "";
  std::string s = line;
  const std::string installed = "install ok installed ";
  return s.rfind(installed, 0) == 0 ? s.substr(installed.size()) : "";
}

// Whether a Debian version (epoch:upstream-revision) is 5.1.1 or later:
// fcitx5-hangul reads a user table from that version on.
bool reads_user_table(const std::string &version) {
  std::string v = version.substr(version.find(':') == std::string::npos ? 0 : version.find(':') + 1);
  int major = 0, minor = 0, patch = 0;
  std::sscanf(v.c_str(), "%d.%d.%d", &major, &minor, &patch);
  return major != 5 ? major > 5 : minor != 1 ? minor > 1 : patch >= 1;
}

std::string what_to_expect(publish::Kind kind) {
  if (kind == publish::Kind::byeoru) return "uim-byeoru offers them at its next conversion";
  std::string version = fcitx5_hangul_version();
  if (version.empty()) return "fcitx5-hangul (5.1.1 or later) reads it when it starts; it is not installed here";
  if (!reads_user_table(version))
    return "the installed fcitx5-hangul " + version + " will not read it (5.1.1 and later do)";
  return "restart fcitx5 to see them";
}

void report_not_taken(const std::string &file, const std::vector<publish::NotTaken> &pairs) {
  for (const publish::NotTaken &n : pairs)
    error(file, "not taken in: %s:%s: %s", n.pair.reading.c_str(), n.pair.word.c_str(), n.reason);
}

// One line per target on standard output (after a change, where the command
// prints nothing else, on standard error); failures on standard error.
bool report(const std::vector<publish::Outcome> &outcomes, bool expectations) {
  FILE *out = expectations ? stdout : stderr;
  bool all = true;
  for (const publish::Outcome &o : outcomes) {
    const char *name = publish::kind_name(o.target.kind);
    if (o.taken > 0 || !o.not_taken.empty())
      std::fprintf(out, "%s: %ld words of %s taken into the dictionary\n", name, o.taken, o.target.path.c_str());
    if (!o.backup.empty()) std::fprintf(out, "%s: the file as it was is kept as %s\n", name, o.backup.c_str());
    if (!o.not_imported.empty())
      std::fprintf(out, "%s: %zu words the dictionary cannot hold are listed in %s\n", name, o.not_taken.size(),
                  o.not_imported.c_str());
    if (!o.ok) {
      error(o.target.path, "cannot publish to %s: %s", name, o.why.c_str());
      all = false;
      continue;
    }
    if (expectations)
      std::printf("%s: %s: %ld words written; %s\n", name, o.target.path.c_str(), o.words,
                  what_to_expect(o.target.kind).c_str());
  }
  return all;
}

bool targets_of(const Args &args, std::size_t from, std::vector<publish::Target> &targets) {
  for (std::size_t i = from; i < args.size(); ++i) {
    publish::Target t;
    std::string why;
    if (!publish::parse_target(args[i], t, why)) {
      std::fprintf(stderr, "glosset-dict: %s\n", why.c_str());
      return false;
    }
    targets.push_back(t);
  }
  return true;
}

}  // namespace

int cmd_publish(const Context &ctx, const Args &args) {
  std::vector<publish::Target> targets;
  if (!targets_of(args, 0, targets)) return kFail;
  const bool again = targets.empty();
  if (again) targets = publish::remembered(publish::user_dictionary());
  if (targets.empty()) {
    std::printf("nothing is published from %s (give byeoru or fcitx5)\n", ctx.path.c_str());
    return kYes;
  }
  return report(publish::publish_now(targets, !again), true) ? kYes : kFail;
}

int cmd_unpublish(const Context &ctx, const Args &args) {
  std::vector<publish::Target> targets;
  if (!targets_of(args, 0, targets)) return kFail;
  std::string why;
  std::optional<publish::Target> gone = publish::forget(publish::user_dictionary(), targets[0].kind, why);
  const char *name = publish::kind_name(targets[0].kind);
  if (!gone) {
    if (!why.empty()) {
      error(ctx.path, "cannot forget %s: %s", name, why.c_str());
      return kFail;
    }
    std::printf("%s: not published from %s\n", name, ctx.path.c_str());
    return kNo;
  }
  std::printf("%s: no longer kept in step; %s stays as it is\n", name, gone->path.c_str());
  return kYes;
}

int cmd_import_any(const Context &ctx, const Args &args) {
  if (args[0] != "--from") return cmd_import(ctx, args);
  std::vector<publish::Target> targets;
  if (args.size() < 2 || !targets_of({args[1]}, 0, targets)) {
    std::fprintf(stderr, "glosset-dict: import --from takes byeoru or fcitx5, then a file if not the usual one\n");
    return kFail;
  }
  publish::Target &from = targets[0];
  if (args.size() == 3) from.path = args[2];
  std::string text, why;
  if (!publish::read_whole(from.path, text, why)) {
    error(from.path, "cannot read: %s", why.c_str());
    return kFail;
  }
  publish::SystemTable system;
  publish::Pairs pairs;
  for (publish::Pair &p : publish::colon_pairs(text))
    if (!system.find(p.reading, p.word)) pairs.push_back(std::move(p));
  publish::TakeIn in = publish::take_in(pairs);
  if (!in.ok) {
    error(ctx.path, "%s; nothing was imported", in.why.c_str());
    return kFail;
  }
  std::printf("%ld words of %s taken into the dictionary\n", in.taken, from.path.c_str());
  report_not_taken(from.path, in.not_taken);
  return in.not_taken.empty() ? kYes : kNo;
}

int keep_in_step(const std::string &command, int status) {
  static const char *const kChanges[] = {"add", "del", "mod", "import", "repair"};
  bool change = false;
  for (const char *c : kChanges) change = change || command == c;
  // The change stands whatever happens here: failures are reported, the status kept.
  if (change && status != kFail) report(publish::keep_in_step(), false);
  return status;
}

}  // namespace cli
