// Running glosset-dict as a process, as a user or a script would.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/dict/dict_test_util.h"

namespace clitest {

struct CliResult {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  int signal = 0;   // the signal that ended it, if one did
  std::string out, err;
};

inline std::string slurp(const std::string &path) {
  auto b = dicttest::read_file(path);
  return std::string(b.begin(), b.end());
}

// Waits for `pid`, killing it after `timeout_ms` (a command that hangs fails
// its test instead of the whole run).
inline int wait_for(pid_t pid, int timeout_ms) {
  int ws = 0;
  int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd >= 0) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, timeout_ms) == 0) kill(pid, SIGKILL);
    close(fd);
  }
  waitpid(pid, &ws, 0);
  return ws;
}

// Runs glosset-dict with `args` (behind `prefix`, a wrapper such as strace),
// standard input from /dev/null (or `input`), standard output and error into
// files of `scratch`.
inline CliResult run_cli(const std::string &scratch, const std::vector<std::string> &args,
                         const std::string &input = "/dev/null", const std::vector<std::string> &prefix = {}) {
  std::vector<std::string> all = prefix;
  all.push_back(GLOSSET_DICT);
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char *> argv;
  for (std::string &a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::string out = scratch + "/.out", err = scratch + "/.err";
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  CliResult r;
  if (posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ) == 0) {
    int ws = wait_for(pid, 60000);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    r.signal = WIFSIGNALED(ws) ? WTERMSIG(ws) : 0;
  }
  posix_spawn_file_actions_destroy(&fa);
  r.out = slurp(out);
  r.err = slurp(err);
  return r;
}

inline int lines(const std::string &s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

}  // namespace clitest
