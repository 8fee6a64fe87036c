// Start-up and Find timings of the built editor under Xvfb, and its peak RSS.
// A harness, not a test: run it on a private display and read the figures.
//
//   tests/xvfb-run.sh build/bench/startup_find_bench [RUNS]
//
// Per run: the time from starting the process to its window being mapped; the
// time from pressing Find (a synthetic click through XTest) to both lists
// showing their words, found by comparing the lists' pixels every
// millisecond; and the peak resident set of the process after File > Close.
#include <X11/extensions/XTest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/process.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t) { return std::chrono::duration<double, std::milli>(Clock::now() - t).count(); }

void click(Display *d, int x, int y) {
  XTestFakeMotionEvent(d, DefaultScreen(d), x, y, CurrentTime);
  XTestFakeButtonEvent(d, 1, True, CurrentTime);
  XTestFakeButtonEvent(d, 1, False, CurrentTime);
  XFlush(d);
}

struct Run {
  double start_ms = -1, find_ms = -1;
  long rss_kb = 0;
};

Run run_once(const char *lang, bool euc, const std::string &sysdic) {
  Run r;
  app_test::EnvChanges env = app_test::build_tree_env(lang);
  env["SYSDICNAME"] = sysdic;
  std::vector<std::string> args = {GLOSSET_BINARY};
  if (euc) args.insert(args.end(), {"-xrm", "*inputMethod: none"});

  app_test::MapWatcher watcher;
  Display *d = watcher.display();
  Clock::time_point t0 = Clock::now();
  app_test::Child child(args, env);
  Window window = watcher.next_toplevel();
  if (window == 0) return r;
  r.start_ms = ms_since(t0);

  auto find = app_test::find_button(d, window);
  auto lists = app_test::list_windows(d, window);
  if (!find || lists.size() != 2) return r;
  // No window manager: the toplevel sits at 0,0, so its coordinates are the root's.
  click(d, find->x - 40, find->y + 11);
  app_test::xdotool("type --delay 20 한자");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  app_test::Pixels system_before = app_test::grab(d, lists[0].window);

  Clock::time_point t1 = Clock::now();
  click(d, find->x + 28, find->y + 11);
  while (ms_since(t1) < 5000) {
    if (!(app_test::grab(d, lists[0].window) == system_before)) {
      r.find_ms = ms_since(t1);
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  app_test::send_wm_delete(d, window);
  if (child.wait() == 0) r.rss_kb = child.max_rss_kb();
  return r;
}

void report(const char *what, std::vector<double> v, const char *unit) {
  std::sort(v.begin(), v.end());
  if (v.empty()) {
    std::printf("  %-28s no result\n", what);
    return;
  }
  std::printf("  %-28s median %8.1f  min %8.1f  max %8.1f %s\n", what, v[v.size() / 2], v.front(), v.back(), unit);
}

}  // namespace

int main(int argc, char **argv) {
  int runs = argc > 1 ? std::atoi(argv[1]) : 10;
  // A short copy of the sample dictionary: the store takes paths of at most 79 bytes.
  char tmpl[] = "/tmp/glosset-bench-XXXXXX";
  std::string dir = mkdtemp(tmpl);
  std::string sysdic = dir + "/syshjd";
  std::filesystem::copy_file(GLOSSET_BUILD_DIR "/sample/syshjd", sysdic);

  struct Mode {
    const char *lang;
    bool euc;
  };
  for (Mode mode : {Mode{"ko_KR.UTF-8", false}, Mode{"ko_KR.EUC", true}}) {
    std::vector<double> start, find, rss;
    for (int i = 0; i < runs; i++) {
      Run r = run_once(mode.lang, mode.euc, sysdic);
      if (r.start_ms >= 0) start.push_back(r.start_ms);
      if (r.find_ms >= 0) find.push_back(r.find_ms);
      if (r.rss_kb > 0) rss.push_back(static_cast<double>(r.rss_kb) / 1024.0);
    }
    std::printf("LANG=%s, %d runs\n", mode.lang, runs);
    report("start to mapped window", start, "ms");
    report("Find to updated lists", find, "ms");
    report("peak RSS", rss, "MiB");
  }
  std::filesystem::remove_all(dir);
  return 0;
}
