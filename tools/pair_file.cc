#include "tools/pair_file.h"

#include <string_view>

#include "dict/dic_format.h"
#include "tools/text_codec.h"

const char *pair_problem(const std::string &reading, const std::string &word, std::string &reading_euc,
                         std::string &word_euc) {
  if (reading.empty() || word.empty()) return "empty reading or word";
  auto r = textcodec::to_euc(reading);
  auto w = textcodec::to_euc(word);
  if (!r || !w) return "character outside KS X 1001";
  if (r->size() != w->size()) return "word length differs from reading";
  if (dicfmt::size_class(static_cast<int>(r->size())) < 0) return "longer than 8 characters";
  reading_euc = std::move(*r);
  word_euc = std::move(*w);
  return nullptr;
}

namespace {

// Splits a line into reading and word; false when it has neither form.
bool split_line(std::string_view line, std::string &reading, std::string &word) {
  std::size_t tab = line.find('\t');
  if (tab != std::string_view::npos) {
    std::string_view rest = line.substr(tab + 1);
    if (rest.find('\t') != std::string_view::npos) return false;
    reading.assign(line.substr(0, tab));
    word.assign(rest);
    return true;
  }
  std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view rest = line.substr(colon + 1);
  std::size_t colon2 = rest.find(':');
  reading.assign(line.substr(0, colon));
  word.assign(rest.substr(0, colon2));  // everything after a second colon is a comment
  return true;
}

}  // namespace

PairFileStats read_pair_file(FILE *in, const std::function<void(const StorablePair &)> &on_pair,
                             const std::function<void(long line)> &on_line) {
  PairFileStats stats;
  std::string line, reading, word;
  StorablePair pair;
  int c;
  bool more = true;
  while (more) {
    line.clear();
    while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (c == EOF) {
      more = false;
      if (line.empty()) break;
    }
    ++stats.lines;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] != '#') {
      const char *problem = nullptr;
      if (!split_line(line, reading, word))
        problem = "not READING<TAB>WORD or READING:WORD:COMMENT";
      else
        problem = pair_problem(reading, word, pair.reading, pair.word);
      if (problem != nullptr) {
        stats.skipped.push_back({stats.lines, problem});
      } else {
        pair.line = stats.lines;
        ++stats.pairs;
        on_pair(pair);
      }
    }
    if (on_line) on_line(stats.lines);
  }
  return stats;
}
