// A program run as a child process, as a user or a script would run it: its
// standard input empty, its output and errors kept, killed if it hangs.
#pragma once
#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/scratch.h"

namespace app_test {

// Environment changes for a child: a value sets the variable, nullopt unsets it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

void sleep_ms(int ms);
// Polls done() every every_ms for up to timeout_ms; answers done().
bool wait_for(const std::function<bool()> &done, int timeout_ms = 5000, int every_ms = 50);

class Child {
 public:
  // Starts argv (argv[0] is the program path) with the environment changed by env.
  Child(const std::vector<std::string> &argv, const EnvChanges &env);
  ~Child();
  Child(const Child &) = delete;
  Child &operator=(const Child &) = delete;
  // The exit status, or -1 on a signal or after timeout_ms (the child is then killed).
  int wait(int timeout_ms = 10000);
  int signal() const { return signal_; }           // the signal that ended it, after wait()
  long max_rss_kb() const { return max_rss_kb_; }  // known after a successful wait()
  std::string stdout_text() const { return text(1); }
  std::string stderr_text() const { return text(2); }

 private:
  std::string text(int fd) const;
  scratch::Dir dir_{"glosset-child"};
  const std::string files_[3] = {"/dev/null", dir_ / "stdout", dir_ / "stderr"};  // standard input, output, error
  pid_t pid_ = -1;
  int signal_ = 0;
  long max_rss_kb_ = 0;
};

}  // namespace app_test
