// The user dictionary's words as input methods spell them (UTF-8), and taking
// words found in an input method's file into the user dictionary.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace publish {

struct Pair {
  std::string reading, word;  // UTF-8
  auto operator<=>(const Pair &) const = default;
};
using Pairs = std::vector<Pair>;

// Every pair of the user dictionary, each reading's words in dictionary order.
// False with the reason when it cannot be read; a dictionary that does not
// exist yet holds no words.
bool user_pairs(Pairs &out, std::string &why);

// The pairs of `key:value[:comment]` lines (byeoru-dict, libhangul's
// hanja.txt); '#' lines, blank lines and lines without a value are passed over.
Pairs colon_pairs(std::string_view text);

struct NotTaken {
  Pair pair;
  const char *reason;
};
struct TakeIn {
  bool ok = true;
  std::string why;  // when not ok: nothing was taken in
  long taken = 0;
  std::vector<NotTaken> not_taken;  // pairs the store cannot hold
};
// Adds `pairs` to the user dictionary as import does, all in one change.
TakeIn take_in(const Pairs &pairs);

}  // namespace publish
