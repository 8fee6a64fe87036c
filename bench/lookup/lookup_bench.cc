// The lookup benchmark: prints one table of Find against the syscall floor of
// its design and against libhangul's Hanja table, warm and as whole processes,
// with insertion, build and verify. Run by scripts/bench-lookup.sh.
//
//   lookup_bench [--cold-runs N] HANJA_TXT WORKDIR
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/lookup/bench_util.h"
#include "bench/lookup/lookup_modes.h"
#include "dict/dic_walk.h"
#include "dict/hanja_util.h"
#include "tools/text_codec.h"

namespace {

using Values = std::map<std::string, double>;

std::string self_path() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : "lookup_bench";
}

Values parse(const std::string &out) {
  Values v;
  std::size_t at = 0;
  while (at < out.size()) {
    std::size_t end = out.find('\n', at);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(at, end - at);
    std::size_t space = line.find(' ');
    if (space != std::string::npos) v[line.substr(0, space)] = std::atof(line.c_str() + space + 1);
    at = end + 1;
  }
  return v;
}

struct Measured {
  Values values;
  long peak_rss_kib = 0;
};

Measured mode(const std::string &work, const std::vector<std::string> &args) {
  std::vector<std::string> all = {self_path(), "--mode"};
  all.insert(all.end(), args.begin(), args.end());
  bench::Child c = bench::run_child(all, work + "/mode.out", true);
  if (c.status != 0) {
    std::fprintf(stderr, "lookup_bench: mode %s failed (%d)\n", args[0].c_str(), c.status);
    std::exit(2);
  }
  return {parse(c.out), c.peak_rss_kib};
}

// The peak RSS of a command's process, the largest of `runs` runs.
long probe_rss(const std::string &work, const std::vector<std::string> &args, int runs = 3) {
  long peak = 0;
  for (int i = 0; i < runs; ++i) {
    std::vector<std::string> all = {RSS_PROBE};
    all.insert(all.end(), args.begin(), args.end());
    Values v = parse(bench::run_child(all, work + "/rss.out").out);
    peak = std::max(peak, static_cast<long>(v["peak_rss_kib"]));
  }
  return peak;
}

// A command run `runs` times: median wall time and the largest peak RSS.
struct Process {
  double median_ns = 0, p99_ns = 0, max_ns = 0;
  long peak_rss_kib = 0;
};

Process repeat(const std::string &work, const std::vector<std::string> &args, int runs, int ok1 = 0, int ok2 = 1) {
  std::vector<std::int64_t> times;
  Process p;
  for (int i = 0; i < runs; ++i) {
    bench::Child c = bench::run_child(args, work + "/proc.out");
    if (c.status != ok1 && c.status != ok2) {
      std::fprintf(stderr, "lookup_bench: %s failed (%d)\n", args[0].c_str(), c.status);
      std::exit(2);
    }
    times.push_back(c.wall_ns);
  }
  p.peak_rss_kib = probe_rss(work, args, 1);
  bench::Stats s = bench::stats_of(times);
  p.median_ns = s.median, p.p99_ns = s.p99, p.max_ns = s.max;
  return p;
}

std::string cpu_model() {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
  return "unknown CPU";
}

std::string us(double ns) {
  char b[32];
  if (ns >= 1e7) std::snprintf(b, sizeof b, "%.1f ms", ns / 1e6);
  else std::snprintf(b, sizeof b, "%.2f us", ns / 1e3);
  return b;
}

std::string mib(long kib) {
  char b[32];
  std::snprintf(b, sizeof b, "%.1f MiB", static_cast<double>(kib) / 1024.0);
  return b;
}

void row(const char *what, const std::string &median, const std::string &p99, const std::string &max,
         const std::string &rss, const std::string &ratio) {
  std::printf("| %-46s | %10s | %10s | %10s | %11s | %-22s |\n", what, median.c_str(), p99.c_str(), max.c_str(),
              rss.c_str(), ratio.c_str());
}

std::string times_str(double x, const char *what) {
  char b[64];
  std::snprintf(b, sizeof b, "%.2fx %s", x, what);
  return b;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc > 1 && std::strcmp(argv[1], "--mode") == 0) return run_mode(argc - 2, argv + 2);
  int cold_runs = 100;
  int i = 1;
  if (argc > 2 && std::strcmp(argv[1], "--cold-runs") == 0) cold_runs = std::atoi(argv[2]), i = 3;
  if (argc - i != 2) {
    std::fprintf(stderr, "usage: lookup_bench [--cold-runs N] HANJA_TXT WORKDIR\n");
    return 2;
  }
  const std::string hanja = argv[i], work = argv[i + 1];
  const std::string chain = work + "/chain.hjd", insertion = work + "/insertion.hjd";
  const std::string user = work + "/user.hjd", grow = work + "/grow.hjd";

  std::fprintf(stderr, "building and verifying...\n");
  Process build_insertion = repeat(work, {GLOSSET_DICT, "build", "--force", insertion, hanja}, 5);
  Process build_chain = repeat(work, {GLOSSET_DICT, "build", "--force", "--layout", "chain", chain, hanja}, 5);
  Process verify = repeat(work, {GLOSSET_DICT, "-s", "-f", chain, "verify"}, 5, 0, 0);

  std::fprintf(stderr, "user dictionaries...\n");
  Measured user_made = mode(work, {"insert", chain, user, "1000", "279"});
  Measured grown = mode(work, {"insert", chain, grow, "10000", "27"});

  std::fprintf(stderr, "warm lookups...\n");
  Measured find_chain = mode(work, {"find", chain, user});
  Measured find_insertion = mode(work, {"find", insertion, user});
  Measured lib = mode(work, {"libhangul", hanja, chain});

  std::fprintf(stderr, "cold processes...\n");
  setenv("SYSDICNAME", chain.c_str(), 1);
  std::vector<std::string> sample;
  std::string last;
  walk_pairs(DIC_SYSTEM, [&](const DicPair &p) {
    if (p.key != last) sample.push_back(textcodec::to_utf8(p.key).value_or("")), last = p.key;
  });
  std::size_t readings = sample.size();
  std::mt19937 rng(2);
  std::shuffle(sample.begin(), sample.end(), rng);
  std::vector<std::int64_t> cold_find, cold_lib;
  long rss_find = 0, rss_lib = 0;
  for (int run = 0; run < 2 * cold_runs; ++run) {
    const std::string &r = sample[static_cast<std::size_t>(run / 2) % sample.size()];
    bool find_first = (run / 2) % 2 == 0;  // alternate which of the two goes first
    bool is_find = (run % 2 == 0) == find_first;
    bench::Child c = is_find ? bench::run_child({GLOSSET_DICT, "-s", "-f", chain, "get", r}, work + "/cold.out")
                             : bench::run_child({LIBHANGUL_LOOKUP, hanja, r}, work + "/cold.out");
    if (c.status != 0) {
      std::fprintf(stderr, "lookup_bench: cold lookup of %s failed (%d)\n", r.c_str(), c.status);
      return 2;
    }
    (is_find ? cold_find : cold_lib).push_back(c.wall_ns);
  }
  rss_find = probe_rss(work, {GLOSSET_DICT, "-s", "-f", chain, "get", sample[0]});
  rss_lib = probe_rss(work, {LIBHANGUL_LOOKUP, hanja, sample[0]});
  bench::Stats cf = bench::stats_of(cold_find), cl = bench::stats_of(cold_lib);

  const Values &fc = find_chain.values, &fi = find_insertion.values, &fl = find_chain.values, &lh = lib.values;
  long cores = sysconf(_SC_NPROCESSORS_ONLN);
  std::printf("glosset lookup benchmark: %ld cores (%s); default dictionary %zu readings, %.0f words in the "
              "system dictionary's first 10 plus the user's; user dictionary 1,000 pairs\n\n",
              cores, cpu_model().c_str(), readings, fc.at("words"));
  std::printf("| %-46s | %10s | %10s | %10s | %11s | %-22s |\n", "measurement", "median", "p99", "max", "peak RSS",
              "against");
  std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(48, '-').c_str(), std::string(12, '-').c_str(),
              std::string(12, '-').c_str(), std::string(12, '-').c_str(), std::string(13, '-').c_str(),
              std::string(24, '-').c_str());
  double lib_median = lh.at("libhangul_median");
  row("Find warm, chain layout (user + system)", us(fc.at("find_median")), us(fc.at("find_p99")),
      us(fc.at("find_max")), "+" + mib(static_cast<long>(fc.at("rss_growth_kib"))),
      times_str(fc.at("find_median") / fl.at("floor_median"), "floor"));
  row("Find warm, insertion layout (user + system)", us(fi.at("find_median")), us(fi.at("find_p99")),
      us(fi.at("find_max")), "+" + mib(static_cast<long>(fi.at("rss_growth_kib"))),
      times_str(fi.at("find_median") / fi.at("floor_median"), "floor"));
  row("syscall floor: open, fstat, 2 preads, close, x2", us(fl.at("floor_median")), us(fl.at("floor_p99")),
      us(fl.at("floor_max")), "", "");
  row("libhangul hanja_table_match_exact, warm", us(lib_median), us(lh.at("libhangul_p99")),
      us(lh.at("libhangul_max")), "+" + mib(static_cast<long>(lh.at("rss_growth_kib"))),
      "");
  row("libhangul hanja_table_load (5 loads)", us(lh.at("libhangul_load_median")), "", us(lh.at("libhangul_load_max")),
      "", "");
  row("cold Find process: glosset-dict -s get", us(cf.median), us(cf.p99), us(cf.max), mib(rss_find),
      times_str(cl.median / cf.median, "faster than libhangul"));
  row("cold libhangul process: load + lookup", us(cl.median), us(cl.p99), us(cl.max), mib(rss_lib), "");
  row("InsertHanjaWord, growing user dict to 10,000", us(grown.values.at("insert_median")),
      us(grown.values.at("insert_p99")), us(grown.values.at("insert_max")),
      "+" + mib(static_cast<long>(grown.values.at("rss_growth_kib"))),
      std::to_string(static_cast<long>(1e9 * grown.values.at("insert_n") / grown.values.at("insert_total"))) +
          " pairs/s");
  row("build, insertion layout (process)", us(build_insertion.median_ns), "", us(build_insertion.max_ns),
      mib(build_insertion.peak_rss_kib), "");
  row("build, chain layout (process)", us(build_chain.median_ns), "", us(build_chain.max_ns),
      mib(build_chain.peak_rss_kib), "");
  row("verify, chain layout (process)", us(verify.median_ns), "", us(verify.max_ns), mib(verify.peak_rss_kib), "");
  std::printf("\nside by side with libhangul (same readings, same machine):\n\n");
  std::printf("| %-44s | %12s | %12s | %-26s |\n", "", "glosset", "libhangul", "glosset / libhangul");
  std::printf("|%s|%s|%s|%s|\n", std::string(46, '-').c_str(), std::string(14, '-').c_str(),
              std::string(14, '-').c_str(), std::string(28, '-').c_str());
  auto side = [](const char *what, double ours, double theirs, const std::string &a, const std::string &b) {
    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "%.2f (%s)", ours / theirs,
                  ours <= theirs ? (std::to_string(static_cast<int>(theirs / ours + 0.5)) + "x less").c_str()
                                 : (std::to_string(static_cast<int>(ours / theirs + 0.5)) + "x more").c_str());
    std::printf("| %-44s | %12s | %12s | %-26s |\n", what, a.c_str(), b.c_str(), ratio);
  };
  side("cold lookup as a whole process, median", cf.median, cl.median, us(cf.median), us(cl.median));
  side("peak RSS of that process", static_cast<double>(rss_find), static_cast<double>(rss_lib), mib(rss_find),
       mib(rss_lib));
  side("warm lookup median (glosset: user + system)", fc.at("find_median"), lib_median, us(fc.at("find_median")),
       us(lib_median));
  side("warm lookup p99", fc.at("find_p99"), lh.at("libhangul_p99"), us(fc.at("find_p99")),
       us(lh.at("libhangul_p99")));
  side("ready to look up (glosset: open per lookup)", fc.at("find_median"), lh.at("libhangul_load_median"),
       us(fc.at("find_median")), us(lh.at("libhangul_load_median")));
  std::printf("\nlookups: %zu readings each, shuffled; cold: %d runs each, alternating; builds and verify: 5 runs.\n",
              readings, cold_runs);
  std::printf("targets: cold >= 30x libhangul: %.1fx %s; Find chain median <= 1.40x floor: %.2fx %s; "
              "p99 < 100 us: %s %s; build < 0.5 s: %s %s; verify < 0.5 s: %s %s\n",
              cl.median / cf.median, cl.median / cf.median >= 30 ? "met" : "MISSED",
              fc.at("find_median") / fl.at("floor_median"),
              fc.at("find_median") / fl.at("floor_median") <= 1.40 ? "met" : "MISSED", us(fc.at("find_p99")).c_str(),
              fc.at("find_p99") < 100000 ? "met" : "MISSED", us(build_chain.median_ns).c_str(),
              std::max(build_chain.median_ns, build_insertion.median_ns) < 5e8 ? "met" : "MISSED",
              us(verify.median_ns).c_str(), verify.median_ns < 5e8 ? "met" : "MISSED");
  static_cast<void>(user_made);
  return 0;
}
