#include "publish/user_words.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "dict/dic_change.h"
#include "dict/dic_error.h"
#include "dict/dic_walk.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tools/pair_file.h"
#include "tools/text_codec.h"

namespace publish {

bool user_pairs(Pairs &out, std::string &why) {
  out.clear();
  char path[kPathSize];
  get_dicname(DIC_USER, path);
  struct stat st;
  if (path[0] != '\0' && stat(path, &st) != 0 && errno == ENOENT) return true;
  DicWalkResult walk = walk_pairs(DIC_USER, [&](const DicPair &p) {
    auto reading = textcodec::to_utf8(p.key), word = textcodec::to_utf8(p.value);
    if (reading && word) out.push_back({std::move(*reading), std::move(*word)});
  });
  if (walk.opened < 0) {
    why = std::string("cannot read the user dictionary ") + path;
    return false;
  }
  return true;
}

Pairs colon_pairs(std::string_view text) {
  Pairs pairs;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) continue;
    std::string_view word = line.substr(colon + 1);
    word = word.substr(0, word.find(':'));
    if (!word.empty()) pairs.push_back({std::string(line.substr(0, colon)), std::string(word)});
  }
  return pairs;
}

TakeIn take_in(const Pairs &pairs) {
  TakeIn result;
  struct Storable {
    std::string reading, word;
  };
  std::vector<Storable> storable;
  for (const Pair &p : pairs) {
    Storable s;
    if (const char *problem = pair_problem(p.reading, p.word, s.reading, s.word))
      result.not_taken.push_back({p, problem});
    else
      storable.push_back(std::move(s));
  }
  if (storable.empty()) return result;
  char path[kPathSize];
  get_dicname(DIC_USER, path);
  auto failed = [&](const char *what) {
    result.ok = false;
    result.why = std::string("cannot ") + what + " the user dictionary: " + dicerr::reason(dicerr::last());
    result.taken = 0;
    return result;
  };
  dicerr::clear();
  if (create_dictionary(path) != 0) return failed("create");
  // One lock and one write for all of them: every pair or none.
  dicchange::Change change;
  if (!change.begin(path)) return failed("change");
  dicfile::Pager pages(change.source());
  for (const Storable &s : storable) {
    if (dicstore::check(pages, s.reading.c_str(), s.word.c_str()) == 1) continue;
    if (dicstore::insert_word(pages, path, s.reading.c_str(), s.word.c_str()) != 0) return failed("add to");
    ++result.taken;
  }
  if (!change.commit()) return failed("write");
  return result;
}

}  // namespace publish
