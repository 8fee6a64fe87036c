#include "tools/pair_file.h"

#include <sys/types.h>

#include <cstdlib>
#include <optional>
#include <string_view>

#include "dict/dic_format.h"
#include "tools/text_codec.h"

namespace {

// The EUC-KR form of the last reading converted: a table lists a reading's
// words one after the other.
class ReadingCache {
 public:
  const std::optional<std::string> &euc(const std::string &reading) {
    if (!held_ || reading != utf8_) {
      utf8_ = reading;
      euc_ = textcodec::to_euc(reading);
      held_ = true;
    }
    return euc_;
  }

 private:
  bool held_ = false;
  std::string utf8_;
  std::optional<std::string> euc_;
};

const char *problem_of(const std::string &reading, const std::string &word, ReadingCache &readings,
                       std::string &reading_euc, std::string &word_euc) {
  if (reading.empty() || word.empty()) return "empty reading or word";
  const std::optional<std::string> &r = readings.euc(reading);
  auto w = textcodec::to_euc(word);
  if (!r || !w) return "character outside KS X 1001";
  if (r->size() != w->size()) return "word length differs from reading";
  if (dicfmt::size_class(static_cast<int>(r->size())) < 0) return "longer than 8 characters";
  reading_euc = *r;
  word_euc = std::move(*w);
  return nullptr;
}

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

// getline's buffer, which it grows with realloc.
struct LineBuffer {
  char *data = nullptr;
  std::size_t capacity = 0;
  LineBuffer() = default;
  LineBuffer(const LineBuffer &) = delete;
  LineBuffer &operator=(const LineBuffer &) = delete;
  ~LineBuffer() { std::free(data); }
};

}  // namespace

const char *pair_problem(const std::string &reading, const std::string &word, std::string &reading_euc,
                         std::string &word_euc) {
  ReadingCache readings;
  return problem_of(reading, word, readings, reading_euc, word_euc);
}

PairFileStats read_pair_file(FILE *in, const std::function<void(const StorablePair &)> &on_pair,
                             const std::function<void(long line)> &on_line) {
  PairFileStats stats;
  std::string reading, word;
  StorablePair pair;
  LineBuffer buffer;
  ReadingCache readings;
  ssize_t got;
  while ((got = getline(&buffer.data, &buffer.capacity, in)) >= 0) {
    std::string_view line(buffer.data, static_cast<std::size_t>(got));
    ++stats.lines;
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] != '#') {
      const char *problem = nullptr;
      if (!split_line(line, reading, word))
        problem = "not READING<TAB>WORD or READING:WORD:COMMENT";
      else
        problem = problem_of(reading, word, readings, pair.reading, pair.word);
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
