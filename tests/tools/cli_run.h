// Running glosset-dict as a process, as a user or a script would.
#pragma once
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/dict/dict_test_util.h"

namespace clitest {

struct CliResult {
  int status = -1;  // exit status, or -1 when the process did not exit normally
  std::string out, err;
};

inline std::string slurp(const std::string &path) {
  auto b = dicttest::read_file(path);
  return std::string(b.begin(), b.end());
}

// Runs glosset-dict with `args`, standard input from /dev/null (or `input`),
// standard output and error into files of `scratch`.
inline CliResult run_cli(const std::string &scratch, const std::vector<std::string> &args,
                   const std::string &input = "/dev/null") {
  std::vector<std::string> all = {GLOSSET_DICT};
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
    int ws = 0;
    waitpid(pid, &ws, 0);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
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
