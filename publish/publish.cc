#include "publish/publish.h"

#include <sys/stat.h>

#include "publish/im_files.h"
#include "publish/system_table.h"

namespace publish {
namespace {

bool exists(const std::string &path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// FILE.before-glosset, or .1, .2, … when an earlier one is there.
std::string backup_name(const std::string &file) {
  std::string name = file + ".before-glosset";
  for (int n = 1; exists(name) && n < 1000; ++n) name = file + ".before-glosset." + std::to_string(n);
  return name;
}

// Adds the pairs to FILE.not-imported, after those listed there already.
bool list_not_taken(const std::string &name, const std::vector<NotTaken> &pairs, std::string &why) {
  std::string text, ignored;
  if (!read_whole(name, text, ignored)) text.clear();
  for (const NotTaken &n : pairs) {
    std::string line = n.pair.reading + ':' + n.pair.word + ": " + n.reason + '\n';
    if (text.find(line) == std::string::npos) text += line;
  }
  return write_whole(name, text, why);
}

// Takes into the dictionary what the file holds that glosset did not write.
bool take_in_foreign(const std::string &dictionary, Outcome &o, const std::string &file, const SystemTable &system) {
  LastWrite last = last_write(dictionary, o.target, false);
  if (last.known && last.fingerprint == fingerprint_of(file)) return true;
  last = last_write(dictionary, o.target, true);
  std::string text;
  if (!read_whole(file, text, o.why)) return false;
  Pairs user;
  if (!user_pairs(user, o.why)) return false;
  std::set<Pair> known(user.begin(), user.end());
  known.insert(last.pairs.begin(), last.pairs.end());
  // A system word stays in fcitx5's file, which holds the whole table; byeoru
  // has a system dictionary of its own, which may well lack it.
  const bool keeps_system = o.target.kind == Kind::fcitx5;
  Pairs foreign;
  for (Pair &p : colon_pairs(text)) {
    if (known.insert(p).second && !(keeps_system && system.find(p.reading, p.word))) foreign.push_back(std::move(p));
  }
  if (!last.known) {
    o.backup = backup_name(file);
    if (!write_whole(o.backup, text, o.why)) {
      o.why = "cannot keep the file as " + o.backup + ": " + o.why;
      return false;
    }
  }
  TakeIn in = take_in(foreign);
  if (!in.ok) {
    o.why = in.why;
    return false;
  }
  o.taken = in.taken;
  o.not_taken = std::move(in.not_taken);
  if (!o.not_taken.empty()) {
    o.not_imported = file + ".not-imported";
    if (!list_not_taken(o.not_imported, o.not_taken, o.why)) {
      o.why = "cannot list the words not taken in, in " + o.not_imported + ": " + o.why;
      return false;
    }
  }
  return true;
}

Outcome failed(const Target &target, const std::string &why) {
  Outcome o;
  o.target = target;
  o.why = why;
  return o;
}

Outcome publish_one(const std::string &dictionary, const Target &target, const SystemTable &system) {
  Outcome o;
  o.target = target;
  std::string file;
  bool there = false;
  if (!regular_target(target.path, file, there, o.why)) return o;
  if (target.kind == Kind::fcitx5 && !system.loaded()) {
    o.why = "cannot read libhangul's table " + system.path() + ": " + system.why();
    return o;
  }
  if (there && !take_in_foreign(dictionary, o, file, system)) return o;
  Pairs user;
  if (!user_pairs(user, o.why)) return o;
  std::string text = target.kind == Kind::byeoru ? byeoru_text(user, system) : fcitx5_text(user, system);
  if (!write_whole(file, text, o.why)) return o;
  o.words = static_cast<long>(std::set<Pair>(user.begin(), user.end()).size());
  o.ok = save_last_write(dictionary, target, fingerprint_of(file), user, o.why);
  return o;
}

}  // namespace

std::vector<Outcome> publish_now(const std::vector<Target> &targets, bool remember_them) {
  std::vector<Outcome> outcomes;
  FileLock lock(lock_path());
  const std::string dictionary = user_dictionary();
  SystemTable system;
  for (const Target &t : targets) {
    if (!lock.held()) {
      outcomes.push_back(failed(t, lock.why()));
      continue;
    }
    outcomes.push_back(publish_one(dictionary, t, system));
    Outcome &o = outcomes.back();
    if (o.ok && remember_them && !remember(dictionary, t, o.why)) o.ok = false;
  }
  return outcomes;
}

std::vector<Outcome> keep_in_step() {
  struct stat st;
  if (stat((config_dir() + "/published").c_str(), &st) != 0) return {};
  std::vector<Target> targets = remembered(user_dictionary());
  if (targets.empty()) return {};
  // Read again under the lock: another writer may have changed the list.
  FileLock lock(lock_path());
  if (lock.held()) targets = remembered(user_dictionary());
  std::vector<Outcome> outcomes;
  if (!lock.held()) {
    for (const Target &t : targets) outcomes.push_back(failed(t, lock.why()));
    return outcomes;
  }
  SystemTable system;
  for (const Target &t : targets) outcomes.push_back(publish_one(user_dictionary(), t, system));
  return outcomes;
}

}  // namespace publish
