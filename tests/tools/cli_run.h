// Running glosset-dict as a process, as a user or a script would.
#pragma once
#include <set>

#include "tests/app/child.h"
#include "tests/dict/dict_test_util.h"
#include "tools/text_codec.h"

namespace clitest {

using dicttest::Bytes;

struct CliResult {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  int signal = 0;   // the signal that ended it, if one did
  std::string out, err;
};

// The i-th Hanja and the i-th Hangul syllable of KS X 1001, as UTF-8.
inline std::string ks(int r, int i) { return *textcodec::to_utf8(std::string{char(r + i / 94), char(161 + i % 94)}); }
inline std::string hanja(int i) { return ks(0xCA, i); }
inline std::string syllable(int i) { return ks(0xB0, i); }

// Whether `r` ended with `status` and said `says` on standard error.
inline ::testing::AssertionResult exited(const CliResult &r, int status, const std::string &says) {
  if (r.status == status && r.err.find(says) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "exit status " << r.status << ", standard error: " << r.err;
}

inline int lines(const std::string &s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

// Runs glosset-dict with `args` (behind `prefix`, a wrapper such as strace),
// standard input empty. A command that hangs is killed after a minute and
// fails its test.
inline CliResult run_cli(const std::vector<std::string> &args, const std::vector<std::string> &prefix = {}) {
  std::vector<std::string> all = prefix;
  all.push_back(GLOSSET_DICT), all.insert(all.end(), args.begin(), args.end());
  app_test::Child child(all, {});
  CliResult r;
  r.status = child.wait(60000);
  r.signal = child.signal();
  r.out = child.stdout_text();
  r.err = child.stderr_text();
  return r;
}

inline const char kStrace[] = "/usr/bin/strace";

// strace injecting `inject` (as its -e inject= takes it), in front of a
// command; only into calls on the file `only`, if one is given.
inline std::vector<std::string> traced(const std::string &inject, const std::string &only = "") {
  // The leak check of a sanitizer build cannot run under ptrace.
  const char *asan = std::getenv("ASAN_OPTIONS");
  std::string env = std::string("ASAN_OPTIONS=") + (asan != nullptr ? asan : "") + ":detect_leaks=0";
  std::vector<std::string> all = {kStrace, "-f", "-o", "/dev/null", "-E", env, "-e", "inject=" + inject};
  if (!only.empty()) all.insert(all.end() - 2, {"-P", only});
  return all;
}

// setpriv in front of a command: it runs as user `uid` with the group of that
// number, and with `group` beside it (none when 0).
inline std::vector<std::string> as_uid(unsigned uid, unsigned group = 0) {
  return {"/usr/bin/setpriv", "--reuid=" + std::to_string(uid), "--regid=" + std::to_string(uid),
          group != 0 ? "--groups=" + std::to_string(group) : std::string("--clear-groups")};
}

// The dictionary "words.hjd" in a private home directory.
class CliTest : public dicttest::HomeDir {
 protected:
  std::string path(const std::string &name) const { return (home_ / name).string(); }
  std::string dic() const { return path("words.hjd"); }
  Bytes bytes() const { return dicttest::read_file(dic()); }
  // The names in the home directory, to show that a change left nothing beside the dictionary.
  std::set<std::string> names() const {
    std::set<std::string> all;
    for (const auto &e : std::filesystem::directory_iterator(home_)) all.insert(e.path().filename());
    return all;
  }
  std::string write(const std::string &name, const std::string &text) const {
    std::ofstream(path(name)) << text;
    return path(name);
  }
  CliResult run(const std::vector<std::string> &args, const std::vector<std::string> &prefix = {}) const {
    return run_cli(args, prefix);
  }
  // Runs a command on dic().
  CliResult cli(std::vector<std::string> args, const std::vector<std::string> &prefix = {}) const {
    args.insert(args.begin(), {"-f", dic()});
    return run(args, prefix);
  }
};

}  // namespace clitest
