// What publishing costs: the fcitx5 table (libhangul's whole table with the
// user's words), byeoru's file for 1,000 words, and the editor's Add on a
// 1,000-word dictionary with byeoru published (the store change, the report
// and the byeoru file written again). A harness, not a test:
//
//   build/bench/publish/publish_bench [RUNS]     (in a scratch directory of its own under $TMPDIR or /tmp)
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "dict/dic_change.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "editor/hanja_edit.h"
#include "publish/publish.h"
#include "tools/text_codec.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string ks(int row, int i) { return std::string{char(row + i / 94), char(161 + i % 94)}; }  // EUC-KR

double cpu_ms() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Median and maximum of `runs` timings of fn(i), in milliseconds, and the median
// processor time (which other work on a shared machine disturbs less).
void measure(const char *what, int runs, double budget_ms, const std::function<void(int)> &fn) {
  std::vector<double> ms, cpu;
  for (int i = 0; i < runs; ++i) {
    auto t = Clock::now();
    double c = cpu_ms();
    fn(i);
    cpu.push_back(cpu_ms() - c);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
  }
  std::sort(ms.begin(), ms.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("%-46s median %7.2f ms  max %7.2f ms  cpu %6.2f ms  (budget %g ms, %d runs)\n", what, ms[ms.size() / 2],
              ms.back(), cpu[cpu.size() / 2], budget_ms, runs);
}

}  // namespace

int main(int argc, char **argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 30;
  const char *tmpdir = std::getenv("TMPDIR");  // e.g. /dev/shm, to see the cost without the disk's syncs
  std::string templ = std::string(tmpdir != nullptr ? tmpdir : "/tmp") + "/glosset-publish-bench-XXXXXX";
  if (mkdtemp(templ.data()) == nullptr) return 1;
  const std::string dir = templ, dic = dir + "/usrhjd";
  setenv("USRDICNAME", dic.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir + "/config").c_str(), 1);
  setenv("LANG", "ko_KR.EUC", 1);
  create_dictionary(dic.c_str());
  {
    dicchange::Change change;
    change.begin(dic.c_str());
    dicfile::Pager pages(change.source());
    for (int i = 0; i < 1000; ++i)  // two-syllable readings, two-Hanja words
      dicstore::insert_word(pages, dic.c_str(), (ks(0xB0, i / 7) + ks(0xB0, i % 7 * 13)).c_str(),
                            (ks(0xCA, i) + ks(0xCA, i * 7 % 4888)).c_str());
    change.commit();
  }
  const publish::Target fcitx5{publish::Kind::fcitx5, dir + "/share/hanja.txt"};
  const publish::Target byeoru{publish::Kind::byeoru, dir + "/uim/byeoru-dict"};
  auto check = [](const std::vector<publish::Outcome> &o) {
    if (o.empty() || !o[0].ok) std::fprintf(stderr, "publish failed: %s\n", o.empty() ? "" : o[0].why.c_str());
  };
  measure("fcitx5 table, 1,000 user words", runs, 150, [&](int) { check(publish::publish_now({fcitx5}, false)); });
  std::printf("  (%ju bytes written)\n", static_cast<std::uintmax_t>(std::filesystem::file_size(fcitx5.path)));
  measure("byeoru, 1,000 words", runs, 5, [&](int) { check(publish::publish_now({byeoru}, false)); });
  measure("editor Add without a published target", runs, 20, [&](int i) {
    add_pair(ks(0xC7, 0) + ks(0xC7, i), ks(0xCB, 0) + ks(0xCB, i), {});
  });
  check(publish::publish_now({byeoru}, true));
  measure("editor Add with byeoru published, 1,000 words", runs, 20, [&](int i) {
    EditResult r = add_pair(ks(0xC7, 1) + ks(0xC7, i), ks(0xCB, 1) + ks(0xCB, i), {});
    if (r.status != EditStatus::changed || r.report.find("$HOME/.usrhjd") == std::string::npos)
      std::fprintf(stderr, "add failed\n");
  });
  std::filesystem::remove_all(dir);
}
