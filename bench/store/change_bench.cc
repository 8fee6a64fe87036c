// The cost of a change: one Add through InsertHanjaWord on user dictionaries
// of 1,000 and 100,000 pairs (the first pairs of the table), each Add a new
// pair of the table.
//
//   change_bench HANJA_TXT WORKDIR [ADDS]
//
// Prints one line per measurement; run by scripts/bench-change.sh.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/lookup/bench_util.h"
#include "dict/dic_builder.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tools/pair_file.h"

namespace {

std::vector<StorablePair> read_pairs(const char *file) {
  std::vector<StorablePair> pairs;
  FILE *in = std::fopen(file, "rb");
  if (in == nullptr) {
    std::perror(file);
    std::exit(2);
  }
  read_pair_file(in, [&](const StorablePair &p) { pairs.push_back(p); }, nullptr);
  std::fclose(in);
  return pairs;
}

void write_bytes(const std::string &path, const std::vector<unsigned char> &bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// A user dictionary of the first `size` pairs, then `adds` Adds of the pairs after them.
void adds(const std::vector<StorablePair> &pairs, std::size_t size, int adds, const std::string &work) {
  DicBuilder builder;
  std::size_t used = 0;
  for (; builder.pairs() < size && used < pairs.size(); ++used) builder.add(pairs[used].reading, pairs[used].word);
  std::string path = work + "/user-" + std::to_string(size) + ".hjd";
  write_bytes(path, builder.image());
  setenv("USRDICNAME", path.c_str(), 1);
  std::vector<std::int64_t> times;
  for (int i = 0; i < adds && used < pairs.size(); ++used) {
    const StorablePair &p = pairs[used];
    std::int64_t start = bench::now_ns();
    if (InsertHanjaWord(DIC_USER, p.reading.c_str(), p.word.c_str()) != 0) {
      std::fprintf(stderr, "change_bench: add failed\n");
      std::exit(2);
    }
    times.push_back(bench::now_ns() - start);
    ++i;
  }
  bench::Stats s = bench::stats_of(times);
  std::printf("add on %zu pairs (%zu bytes): median %.2f ms, p99 %.2f ms, n %zu\n", builder.pairs(),
              builder.image().size(), s.median / 1e6, s.p99 / 1e6, s.n);
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: change_bench HANJA_TXT WORKDIR [ADDS]\n");
    return 2;
  }
  std::string work = argv[2];
  setenv("HOME", work.c_str(), 1);
  int n = argc > 3 ? std::atoi(argv[3]) : 200;
  std::vector<StorablePair> pairs = read_pairs(argv[1]);
  adds(pairs, 1000, n, work);
  adds(pairs, 100000, n, work);
  return 0;
}
