// Reading the pair files of `import` and `build`.
//
// A line is READING<TAB>WORD, or READING:WORD:COMMENT as in libhangul's
// hanja.txt; lines starting with '#' and blank lines are passed over. Readings
// and words are UTF-8 in the file and EUC-KR once read.
#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct StorablePair {
  long line;
  std::string reading;  // EUC-KR
  std::string word;     // EUC-KR
};

struct SkippedLine {
  long line;
  const char *reason;
};

struct PairFileStats {
  long lines = 0;  // every line of the file
  long pairs = 0;  // storable pairs handed on
  std::vector<SkippedLine> skipped;
};

// Reads `in` to its end, calling on_pair for every storable pair in file
// order and on_line after every line (for progress). Lines that cannot be
// stored are collected in the result with their reasons.
PairFileStats read_pair_file(FILE *in, const std::function<void(const StorablePair &)> &on_pair,
                             const std::function<void(long line)> &on_line);

// Why a reading/word pair given in UTF-8 cannot be stored, or nullptr when it
// can, in which case the EUC-KR forms are left in reading_euc and word_euc.
const char *pair_problem(const std::string &reading, const std::string &word, std::string &reading_euc,
                         std::string &word_euc);
