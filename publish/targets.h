// Which input-method files are kept in step with which user dictionary, and
// what was written to each the last time.
//
// $XDG_CONFIG_HOME/glosset/published (default ~/.config/glosset/) holds a line
// `DICTIONARY<TAB>KIND<TAB>FILE` for each remembered target; for each one,
// published.d/ holds the fingerprint of the file as glosset left it and the
// pairs it wrote, so that words someone else adds to the file later are told
// from words deleted in glosset since.
#pragma once
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "publish/user_words.h"
#include "publish/whole_file.h"

namespace publish {

enum class Kind { byeoru, fcitx5 };

struct Target {
  Kind kind;
  std::string path;
};

const char *kind_name(Kind kind);
// "byeoru", "fcitx5", "byeoru=PATH" or "fcitx5=PATH"; false with the reason.
bool parse_target(std::string_view arg, Target &out, std::string &why);
// Where the input method reads its file: uim takes the home directory from
// the passwd entry, not $HOME; fcitx5 follows $XDG_DATA_HOME.
std::string default_path(Kind kind);

// $XDG_CONFIG_HOME/glosset, or $HOME/.config/glosset.
std::string config_dir();
// The lock every publisher holds while it reads and writes targets and their records.
std::string lock_path();
// The user dictionary the remembered targets belong to (symbolic links resolved).
std::string user_dictionary();

std::vector<Target> remembered(const std::string &dictionary);
// Remembers `target` for the dictionary, in place of a target of the same kind.
bool remember(const std::string &dictionary, const Target &target, std::string &why);
// Forgets the dictionary's target of `kind`; nullopt when there was none.
std::optional<Target> forget(const std::string &dictionary, Kind kind, std::string &why);

struct LastWrite {
  bool known = false;
  Fingerprint fingerprint;
  std::set<Pair> pairs;  // the user's pairs written then
};
// The record of the last write; its pairs only `with_pairs`.
LastWrite last_write(const std::string &dictionary, const Target &target, bool with_pairs);
bool save_last_write(const std::string &dictionary, const Target &target, const Fingerprint &fingerprint,
                     const Pairs &pairs, std::string &why);

}  // namespace publish
