#include "bench/lookup/lookup_modes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <hangul.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bench/lookup/bench_util.h"
#include "dict/be24.h"
#include "dict/dic_format.h"
#include "dict/dic_walk.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tools/text_codec.h"

namespace {

using bench::now_ns;

// Points the store's user and system dictionaries at the given files.
void use_files(const char *system, const char *user) {
  setenv("SYSDICNAME", system, 1);
  if (user != nullptr) setenv("USRDICNAME", user, 1);
  setenv("HOME", "/", 1);
}

struct Pairs {
  std::vector<std::string> readings;  // every distinct reading, EUC-KR, shuffled
  std::vector<std::pair<std::string, std::string>> pairs;  // every pair in dump order
};

Pairs pairs_of_system() {
  Pairs p;
  std::string last;
  walk_pairs(DIC_SYSTEM, [&](const DicPair &d) {
    if (d.key != last) p.readings.emplace_back(d.key), last = d.key;
    p.pairs.emplace_back(std::string(d.key), std::string(d.value));
  });
  std::mt19937 rng(1);
  std::shuffle(p.readings.begin(), p.readings.end(), rng);
  return p;
}

// Reads a file once so that the timed loop finds it in the page cache.
void warm(const char *path) {
  int fd = open(path, O_RDONLY);
  char buf[65536];
  while (fd >= 0 && read(fd, buf, sizeof buf) > 0) {
  }
  if (fd >= 0) close(fd);
}

void print_stats(const char *name, const std::vector<std::int64_t> &times) {
  bench::Stats s = bench::stats_of(times);
  std::printf("%s_median %.0f\n%s_p99 %.0f\n%s_max %.0f\n%s_n %zu\n", name, s.median, name, s.p99, name, s.max,
              name, s.n);
}

// The least the design can cost: open, learn the length (every offset is
// checked against it), read the slot's page, read one page (the one of the
// chain's first node), close; for both dictionaries.
int floor_one(const char *path, int slot) {
  unsigned char page[4096];
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st {};
  static_cast<void>(fstat(fd, &st));
  long at = dicfmt::slot_offset(slot);
  long start = at % 4096 <= 4096 - be24::kSize ? at - at % 4096 : at;  // a slot across two pages: read from it
  int first = 0;
  if (pread(fd, page, sizeof page, start) >= be24::kSize) first = static_cast<int>(be24::decode(page + (at - start)));
  ssize_t got = pread(fd, page, sizeof page, first - first % 4096);
  close(fd);
  return static_cast<int>(got);
}

// find SYSTEM USER: GetHanjaWord skip 0 max 10 on the user and then the system
// dictionary, for every reading of the system dictionary; beside each, the
// syscall floor for the same reading, the two in alternating order, so that
// the ratio is not bent by what else the machine does meanwhile.
int mode_find(char **argv) {
  use_files(argv[1], argv[2]);
  Pairs p = pairs_of_system();
  warm(argv[1]);
  warm(argv[2]);
  std::vector<std::int64_t> times, floors;
  times.reserve(p.readings.size());
  floors.reserve(p.readings.size());
  char user_rows[10][kRowSize], system_rows[10][kRowSize];
  long words = 0;
  long bytes = 0;
  long rss = bench::peak_rss_kib();
  for (std::size_t i = 0; i < p.readings.size(); ++i) {
    const std::string &key = p.readings[i];
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (i % 2 == 0)) {
        int user_count = 0, system_count = 0;
        std::int64_t t0 = now_ns();
        GetHanjaWord(DIC_USER, key.c_str(), 0, 10, &user_count, user_rows);
        GetHanjaWord(DIC_SYSTEM, key.c_str(), 0, 10, &system_count, system_rows);
        times.push_back(now_ns() - t0);
        words += user_count + system_count;
      } else {
        int slot = hash_bytes(key);
        std::int64_t t0 = now_ns();
        bytes += floor_one(argv[2], slot);
        bytes += floor_one(argv[1], slot);
        floors.push_back(now_ns() - t0);
      }
    }
  }
  long growth = bench::peak_rss_kib() - rss;
  print_stats("find", times);
  print_stats("floor", floors);
  std::printf("words %ld\nbytes %ld\nrss_growth_kib %ld\n", words, bytes, growth);
  return 0;
}

// libhangul HANJA.TXT SYSTEM: the table's load time, then hanja_table_match_exact
// for the same readings, copying at most 10 words as Find does.
int mode_libhangul(char **argv) {
  use_files(argv[2], nullptr);
  Pairs p = pairs_of_system();
  std::vector<std::string> utf8;
  for (const std::string &key : p.readings) utf8.push_back(textcodec::to_utf8(key).value_or(""));
  warm(argv[1]);
  long rss = bench::peak_rss_kib();
  std::vector<std::int64_t> loads;
  HanjaTable *table = nullptr;
  for (int i = 0; i < 5; ++i) {
    if (table != nullptr) hanja_table_delete(table);
    std::int64_t t0 = now_ns();
    table = hanja_table_load(argv[1]);
    loads.push_back(now_ns() - t0);
  }
  if (table == nullptr) return 2;
  std::vector<std::int64_t> times;
  times.reserve(utf8.size());
  char rows[10][kRowSize];
  long words = 0;
  for (const std::string &key : utf8) {
    std::int64_t t0 = now_ns();
    HanjaList *list = hanja_table_match_exact(table, key.c_str());
    int n = list == nullptr ? 0 : hanja_list_get_size(list);
    for (int i = 0; i < n && i < 10; ++i) {
      std::strncpy(rows[i], hanja_list_get_nth_value(list, static_cast<unsigned>(i)), kRowSize - 1);
      rows[i][kRowSize - 1] = '\0';
    }
    if (list != nullptr) hanja_list_delete(list);
    times.push_back(now_ns() - t0);
    words += n;
  }
  hanja_table_delete(table);
  print_stats("libhangul_load", loads);
  print_stats("libhangul", times);
  std::printf("words %ld\nrss_growth_kib %ld\n", words, bench::peak_rss_kib() - rss);
  return 0;
}

// insert SYSTEM USER N STEP: InsertHanjaWord of N pairs of the system
// dictionary (every STEP-th) into USER, a new dictionary.
int mode_insert(char **argv) {
  use_files(argv[1], argv[2]);
  Pairs p = pairs_of_system();
  long n = std::atol(argv[3]);
  long step = std::atol(argv[4]);
  unlink(argv[2]);
  std::vector<std::int64_t> times;
  times.reserve(static_cast<std::size_t>(n));
  long rss = bench::peak_rss_kib();
  std::int64_t start = now_ns();
  for (long i = 0; i < n && i * step < static_cast<long>(p.pairs.size()); ++i) {
    const auto &[key, value] = p.pairs[static_cast<std::size_t>(i * step)];
    std::int64_t t0 = now_ns();
    if (InsertHanjaWord(DIC_USER, key.c_str(), value.c_str()) != 0) return 2;
    times.push_back(now_ns() - t0);
  }
  std::int64_t total = now_ns() - start;
  print_stats("insert", times);
  std::printf("insert_total %lld\nrss_growth_kib %ld\n", static_cast<long long>(total), bench::peak_rss_kib() - rss);
  return 0;
}

}  // namespace

int run_mode(int argc, char **argv) {
  struct Mode {
    const char *name;
    int args;
    int (*run)(char **);
  };
  const Mode modes[] = {{"find", 3, mode_find}, {"libhangul", 3, mode_libhangul},
                        {"insert", 5, mode_insert}};
  for (const Mode &m : modes)
    if (argc == m.args && std::strcmp(argv[0], m.name) == 0) return m.run(argv);
  std::fprintf(stderr, "lookup_bench: unknown mode\n");
  return 2;
}
