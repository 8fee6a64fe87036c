// Timing, statistics and child processes for the lookup benchmark.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern char **environ;

namespace bench {

inline std::int64_t now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return std::int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Peak resident set of this process so far, in KiB.
inline long peak_rss_kib() {
  rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss;
}

struct Stats {
  double median = 0, p99 = 0, max = 0;  // nanoseconds
  std::size_t n = 0;
};

inline Stats stats_of(std::vector<std::int64_t> v) {
  Stats s;
  s.n = v.size();
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.median = static_cast<double>(v[v.size() / 2]);
  s.p99 = static_cast<double>(v[std::min(v.size() - 1, v.size() * 99 / 100)]);
  s.max = static_cast<double>(v.back());
  return s;
}

struct Child {
  int status = -1;
  std::int64_t wall_ns = 0;
  long peak_rss_kib = 0;
  std::string out;
};

// Runs argv as a process with standard output into `out_file` (and standard
// error to /dev/null unless `keep_stderr`), timing it from spawn to exit.
inline Child run_child(const std::vector<std::string> &args, const std::string &out_file, bool keep_stderr = false) {
  std::vector<char *> argv;
  std::vector<std::string> copy = args;
  for (std::string &a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!keep_stderr) posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  Child c;
  pid_t pid;
  std::int64_t start = now_ns();
  if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) {
    int ws = 0;
    rusage ru{};
    wait4(pid, &ws, 0, &ru);
    c.wall_ns = now_ns() - start;
    c.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    c.peak_rss_kib = ru.ru_maxrss;
  }
  posix_spawn_file_actions_destroy(&fa);
  if (FILE *f = std::fopen(out_file.c_str(), "rb")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) c.out.append(buf, n);
    std::fclose(f);
  }
  return c;
}

}  // namespace bench
