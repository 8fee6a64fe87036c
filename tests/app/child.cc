#include "tests/app/child.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

extern char **environ;

namespace app_test {

using Clock = std::chrono::steady_clock;

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool wait_for(const std::function<bool()> &done, int timeout_ms, int every_ms) {
  for (auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms); Clock::now() < deadline; sleep_ms(every_ms)) {
    if (done()) return true;
  }
  return done();
}

Child::Child(const std::vector<std::string> &argv, const EnvChanges &env) {
  std::vector<std::string> entries;
  for (char **e = environ; *e != nullptr; e++) {
    if (env.count(std::string(*e, std::strcspn(*e, "="))) == 0) entries.push_back(*e);
  }
  for (const auto &[name, value] : env) {
    if (value) entries.push_back(name + "=" + *value);
  }
  std::vector<char *> args, envp;
  for (const std::string &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  for (const std::string &e : entries) envp.push_back(const_cast<char *>(e.c_str()));
  args.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd < 3; ++fd)
    posix_spawn_file_actions_addopen(&actions, fd, files_[fd].c_str(), fd ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY, 0600);
  if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
  posix_spawn_file_actions_destroy(&actions);
}

Child::~Child() {
  if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
}

int Child::wait(int timeout_ms) {
  int status = 0;
  rusage usage = {};
  // Still running after timeout_ms: the destructor kills it.
  if (pid_ < 0 || !wait_for([&] { return wait4(pid_, &status, WNOHANG, &usage) == pid_; }, timeout_ms, 2)) return -1;
  pid_ = -1;
  max_rss_kb_ = usage.ru_maxrss;
  signal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Child::text(int fd) const {
  std::ifstream in(files_[fd], std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace app_test
