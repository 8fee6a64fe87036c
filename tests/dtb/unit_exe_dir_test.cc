// Finding the executable's directory and the permission test behind it.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;
using scratch::Env;

namespace {

// A scratch directory that is also the current directory while it lives.
class ExeDir : public ::testing::Test {
 protected:
  ExeDir() { fs::current_path(dir_.path()); }
  ~ExeDir() override { fs::current_path(old_cwd_); }
  static std::string exe_dir(std::string name) {
    char buf[1025];
    return determine_exe_dir(name.data(), buf, sizeof buf) == 0 ? buf : "<none>";
  }
  fs::path old_cwd_ = fs::current_path();
  scratch::Dir dir_{"dtb-exe"};
  std::string here_ = fs::canonical(dir_.path());  // what getcwd will say
};

TEST_F(ExeDir, FromTheProgramNameOrTheSearchPath) {
  for (const char *rel : {"a/other", "b/tool", "tool"}) EXPECT_EQ(0, chmod(dir_.write(rel, "#!/bin/sh\n").c_str(), 0755));
  fs::create_directories(dir_ / "c/tool");  // a directory with execute bits
  std::string a = dir_ / "a", b = dir_ / "b", c = dir_ / "c";
  struct {
    std::string name, path, expected;
  } cases[] = {
      {"/usr/bin/tool", b, "/usr/bin"}, {"./tool", b, here_}, {"bin/tool", b, here_ + "/bin"}, {"/tool", b, "/"},
      {"tool", a + ":" + b, b}, {"tool", c + ":" + b, b}, {"tool", b + ":" + a, b}, {"tool", a + ":" + c, "<none>"},
      // An empty segment is the current directory; a trailing ':' ends the search.
      {"tool", ":/nonexistent", here_}, {"tool", "/nonexistent::/x", here_}, {"tool", "", here_},
      {"tool", "/nonexistent:", "<none>"}, {"tool", a + ":", "<none>"},
      // PATH beyond 1024 bytes is ignored.
      {"tool", std::string(1030, 'x') + ":" + b, "<none>"}, {"tool", b + ":" + std::string(2000, 'y'), b}};
  for (const auto &tc : cases) {
    Env path("PATH", tc.path.c_str());
    EXPECT_EQ(tc.expected, exe_dir(tc.name)) << tc.name << " PATH=" << tc.path.substr(0, 80);
  }
}

TEST_F(ExeDir, NeverWritesPastTheBufferAndAnUnknownDirectoryIsNone) {
  char name[] = "/usr/bin/tool", buf[8] = "xxxxxxx";
  EXPECT_EQ(0, determine_exe_dir_from_argv(name, buf, 5));
  EXPECT_STREQ("/usr", buf);
  EXPECT_EQ('x', buf[5]);
  EXPECT_EQ(-1, determine_exe_dir(name, buf, 0));
  static char bare[] = "no-such-program-here";
  dtb_save_command(bare);
  EXPECT_EQ(bare, dtb_get_command());  // the caller's string itself, not a copy
  EXPECT_EQ(nullptr, dtb_get_exe_dir());
}

}  // namespace
