#include "publish/targets.h"

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "dict/hanja_util.h"

namespace publish {
namespace {

std::string env_or(const char *name, const std::string &fallback) {
  const char *v = std::getenv(name);
  return v != nullptr && v[0] == '/' ? v : fallback;
}

std::string home() {
  const char *h = std::getenv("HOME");
  return h != nullptr ? h : "";
}

// The home directory of the passwd entry, as uim finds it. Read from
// /etc/passwd rather than through getpwuid, which a statically linked
// glosset-dict cannot use; $HOME where the entry is elsewhere (NIS, LDAP).
std::string passwd_home() {
  std::string text, why;
  if (read_whole("/etc/passwd", text, why)) {
    const std::string uid = std::to_string(getuid());
    for (std::size_t at = 0; at < text.size();) {
      std::size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      std::vector<std::string> fields(1);
      for (std::size_t i = at; i < end; ++i) {
        if (text[i] == ':')
          fields.emplace_back();
        else
          fields.back().push_back(text[i]);
      }
      if (fields.size() >= 6 && fields[2] == uid) return fields[5];
      at = end + 1;
    }
  }
  return home();
}

std::string list_path() { return config_dir() + "/published"; }

std::string record_path(const std::string &dictionary, const Target &target) {
  std::uint64_t h = 1469598103934665603ULL;  // FNV-1a of what identifies the target
  for (char c : dictionary + '\t' + kind_name(target.kind) + '\t' + target.path) {
    h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  }
  char name[17];
  std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(h));
  return config_dir() + "/published.d/" + name;
}

struct Entry {
  std::string dictionary;
  Target target;
};

std::vector<Entry> read_list() {
  std::vector<Entry> entries;
  std::string text, why;
  if (!read_whole(list_path(), text, why)) return entries;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + at, end - at);
    at = end + 1;
    std::size_t t1 = line.find('\t'), t2 = t1 == std::string_view::npos ? t1 : line.find('\t', t1 + 1);
    if (line.empty() || line[0] == '#' || t2 == std::string_view::npos) continue;
    std::string_view kind = line.substr(t1 + 1, t2 - t1 - 1);
    if (kind != "byeoru" && kind != "fcitx5") continue;
    entries.push_back({std::string(line.substr(0, t1)),
                       {kind == "byeoru" ? Kind::byeoru : Kind::fcitx5, std::string(line.substr(t2 + 1))}});
  }
  return entries;
}

bool write_list(const std::vector<Entry> &entries, std::string &why) {
  std::string text = "# glosset: input-method files kept in step with user dictionaries (glosset-dict publish)\n";
  for (const Entry &e : entries) text += e.dictionary + '\t' + kind_name(e.target.kind) + '\t' + e.target.path + '\n';
  if (write_whole(list_path(), text, why)) return true;
  why = list_path() + ": " + why;
  return false;
}

}  // namespace

const char *kind_name(Kind kind) { return kind == Kind::byeoru ? "byeoru" : "fcitx5"; }

bool parse_target(std::string_view arg, Target &out, std::string &why) {
  std::string_view name = arg.substr(0, arg.find('='));
  if (name != "byeoru" && name != "fcitx5") {
    why = "unknown target " + std::string(name) + " (byeoru or fcitx5)";
    return false;
  }
  out.kind = name == "byeoru" ? Kind::byeoru : Kind::fcitx5;
  if (name.size() == arg.size()) {
    out.path = default_path(out.kind);
  } else {
    out.path = arg.substr(name.size() + 1);
    if (!out.path.empty() && out.path[0] != '/') {
      char cwd[PATH_MAX];
      if (getcwd(cwd, sizeof cwd) != nullptr) out.path = std::string(cwd) + "/" + out.path;
    }
  }
  // The list of targets is one line per target, fields split by tabs.
  if (out.path.empty() || out.path.back() == '/' || out.path.find_first_of("\t\n") != std::string::npos) {
    why = "not a file name: " + std::string(arg);
    return false;
  }
  return true;
}

std::string default_path(Kind kind) {
  if (kind == Kind::byeoru) {
    return passwd_home() + "/.uim.d/byeoru/byeoru-dict";
  }
  return env_or("XDG_DATA_HOME", home() + "/.local/share") + "/libhangul/hanja/hanja.txt";
}

std::string config_dir() { return env_or("XDG_CONFIG_HOME", home() + "/.config") + "/glosset"; }
std::string lock_path() { return config_dir() + "/published.lock"; }

std::string user_dictionary() {
  char path[kPathSize];
  get_dicname(DIC_USER, path);
  char real[PATH_MAX];
  // A dictionary not made yet keeps the name it will have.
  return realpath(path, real) != nullptr ? real : path;
}

std::vector<Target> remembered(const std::string &dictionary) {
  std::vector<Target> targets;
  for (const Entry &e : read_list())
    if (e.dictionary == dictionary) targets.push_back(e.target);
  return targets;
}

bool remember(const std::string &dictionary, const Target &target, std::string &why) {
  std::vector<Entry> entries = read_list();
  for (Entry &e : entries) {
    if (e.dictionary == dictionary && e.target.kind == target.kind) {
      if (e.target.path == target.path) return true;
      e.target.path = target.path;
      return write_list(entries, why);
    }
  }
  entries.push_back({dictionary, target});
  return write_list(entries, why);
}

std::optional<Target> forget(const std::string &dictionary, Kind kind, std::string &why) {
  std::vector<Entry> entries = read_list();
  for (auto it = entries.begin(); it != entries.end(); ++it) {
    if (it->dictionary != dictionary || it->target.kind != kind) continue;
    Target gone = it->target;
    entries.erase(it);
    if (!write_list(entries, why)) return std::nullopt;
    unlink(record_path(dictionary, gone).c_str());
    return gone;
  }
  why.clear();
  return std::nullopt;
}

LastWrite last_write(const std::string &dictionary, const Target &target, bool with_pairs) {
  LastWrite last;
  std::string text, why;
  if (!read_whole(record_path(dictionary, target), text, why)) return last;
  unsigned long long inode = 0;
  long long size = 0, mtime = 0;
  if (std::sscanf(text.c_str(), "%llu %lld %lld", &inode, &size, &mtime) != 3) return last;
  last.known = true;
  last.fingerprint = {static_cast<ino_t>(inode), static_cast<off_t>(size), mtime};
  if (with_pairs)
    for (Pair &p : colon_pairs(text.substr(text.find('\n') + 1))) last.pairs.insert(std::move(p));
  return last;
}

bool save_last_write(const std::string &dictionary, const Target &target, const Fingerprint &fingerprint,
                     const Pairs &pairs, std::string &why) {
  std::string text = std::to_string(fingerprint.inode) + ' ' + std::to_string(fingerprint.size) + ' ' +
                     std::to_string(fingerprint.mtime_ns) + '\n';
  for (const Pair &p : pairs) text += p.reading + ':' + p.word + ":\n";
  std::string path = record_path(dictionary, target);
  // Not synced: the sync costs as much as the target's own, and a record one
  // publish old after a crash misleads nothing (the words added since are in
  // the dictionary, the words deleted since are in the old record).
  if (write_whole(path, text, why, false)) return true;
  why = "cannot keep what was written in " + path + ": " + why;
  return false;
}

}  // namespace publish
