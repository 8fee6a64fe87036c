// Finding the executable's directory and the permission test behind it.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"

namespace fs = std::filesystem;

namespace {

// A scratch directory that is also the current directory while it lives.
class ScratchDir {
 public:
  ScratchDir() : old_cwd_(fs::current_path()) {
    fs::current_path(dir_.path());
    // getcwd may differ from the template by symlinks; compare with what it says.
    path_ = fs::current_path().string();
  }
  ~ScratchDir() { fs::current_path(old_cwd_); }
  const std::string &path() const { return path_; }

  std::string file(const std::string &rel, mode_t mode, uid_t uid = 0, gid_t gid = 0) const {
    std::string full = dir_.write(rel, "#!/bin/sh\n");
    EXPECT_EQ(0, chmod(full.c_str(), mode));
    EXPECT_EQ(0, chown(full.c_str(), uid, gid));
    return full;
  }

 private:
  fs::path old_cwd_;
  scratch::Dir dir_{"dtb-exe"};
  std::string path_;
};

using EnvVar = scratch::Env;

std::string exe_dir(const std::string &argv0, int size = 1025) {
  std::string name = argv0;
  std::string buf(size, '\0');
  if (determine_exe_dir(name.data(), buf.data(), size) != 0) return "<none>";
  return buf.c_str();
}

}  // namespace

struct PermCase {
  const char *what;
  mode_t mode;
  uid_t file_uid;
  gid_t file_gid;
  uid_t euid;
  gid_t egid;
  bool executable;
};

class PathIsExecutable : public ::testing::TestWithParam<PermCase> {};

TEST_P(PathIsExecutable, FollowsTheModeBitsForTheGivenIds) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give files to other owners";
  const PermCase &c = GetParam();
  ScratchDir dir;
  std::string path = dir.file("tool", c.mode, c.file_uid, c.file_gid);
  EXPECT_EQ(c.executable, path_is_executable(path.data(), c.euid, c.egid) == True) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PathIsExecutable,
    ::testing::Values(
        PermCase{"0754 of another user and group", 0754, 2000, 2000, 1000, 1000, false},
        PermCase{"0755 of another user and group", 0755, 2000, 2000, 1000, 1000, true},
        PermCase{"root, 0644", 0644, 2000, 2000, 0, 0, false},
        PermCase{"root, 0744", 0744, 2000, 2000, 0, 0, true},
        PermCase{"root, 0601: others bit is enough", 0601, 2000, 2000, 0, 0, true},
        PermCase{"0700 owned by the user", 0700, 1000, 2000, 1000, 1000, true},
        PermCase{"0700 of another user in the user's group", 0700, 2000, 1000, 1000, 1000, false},
        PermCase{"0710 in the user's group", 0710, 2000, 1000, 1000, 1000, true},
        PermCase{"0710 in another group", 0710, 2000, 2000, 1000, 1000, false},
        PermCase{"0601 of the user: only others may run it", 0601, 1000, 1000, 1000, 1000, true},
        PermCase{"0670 of the user: group bit needs the group", 0670, 1000, 2000, 1000, 1000, false}));

TEST(PathIsExecutableTest, DirectoriesAndMissingFilesAreNot) {
  ScratchDir dir;
  fs::create_directory(dir.path() + "/sub");
  chmod((dir.path() + "/sub").c_str(), 0755);
  std::string sub = dir.path() + "/sub";
  std::string missing = dir.path() + "/missing";
  EXPECT_FALSE(path_is_executable(sub.data(), 0, 0));
  EXPECT_FALSE(path_is_executable(sub.data(), 1000, 1000));
  EXPECT_FALSE(path_is_executable(missing.data(), 0, 0));
}

TEST(ExeDirTest, FromTheProgramName) {
  ScratchDir dir;
  EnvVar path("PATH", nullptr);  // must not be consulted
  EXPECT_EQ("/usr/bin", exe_dir("/usr/bin/tool"));
  EXPECT_EQ(dir.path(), exe_dir("./tool"));
  EXPECT_EQ(dir.path() + "/bin", exe_dir("bin/tool"));
  EXPECT_EQ("/", exe_dir("/tool"));
  EXPECT_EQ("<none>", exe_dir("tool"));
}

TEST(ExeDirTest, RelativeDirectoryUsesPwdWhenGetcwdFails) {
  ScratchDir dir;
  std::string gone = dir.path() + "/gone";
  fs::create_directory(gone);
  fs::current_path(gone);
  fs::remove(gone);  // getcwd now fails with ENOENT
  {
    EnvVar pwd("PWD", "/home/u");
    EXPECT_EQ("/home/u/bin", exe_dir("bin/tool"));
    EXPECT_EQ("/home/u", exe_dir("./tool"));
  }
  EnvVar pwd("PWD", nullptr);
  EXPECT_EQ("bin", exe_dir("bin/tool"));  // nothing to anchor it: stays relative
}

TEST(ExeDirTest, SearchesPathForABareName) {
  ScratchDir dir;
  dir.file("a/other", 0755);
  dir.file("b/tool", 0755);
  dir.file("tool", 0755);
  fs::create_directories(dir.path() + "/c/tool");  // a directory with execute bits
  std::string a = dir.path() + "/a", b = dir.path() + "/b", c = dir.path() + "/c";

  struct {
    std::string path;
    std::string expected;
  } cases[] = {
      {a + ":" + b, b}, {c + ":" + b, b}, {b + ":" + a, b}, {a + ":" + c, "<none>"},
      // An empty segment is the current directory; a trailing ':' ends the search.
      {":/nonexistent", dir.path()}, {"/nonexistent::/x", dir.path()}, {"", dir.path()},
      {"/nonexistent:", "<none>"}, {a + ":", "<none>"},
  };
  for (const auto &tc : cases) {
    EnvVar path("PATH", tc.path.c_str());
    EXPECT_EQ(tc.expected, exe_dir("tool")) << "PATH=" << tc.path;
  }
}

TEST(ExeDirTest, NeverWritesPastTheBuffer) {
  char name[] = "/usr/bin/tool";
  char buf[8];
  std::memset(buf, 'x', sizeof buf);
  EXPECT_EQ(0, determine_exe_dir_from_argv(name, buf, 5));
  EXPECT_STREQ("/usr", buf);
  EXPECT_EQ('x', buf[5]);
  EXPECT_EQ(-1, determine_exe_dir(name, buf, 0));
  EXPECT_EQ(-1, determine_exe_dir(name, nullptr, 8));
}

TEST(ExeDirTest, OverlongPathIsCutAt1024Bytes) {
  ScratchDir dir;
  dir.file("b/tool", 0755);
  std::string far = std::string(1030, 'x') + ":" + dir.path() + "/b";
  {
    EnvVar var("PATH", far.c_str());
    EXPECT_EQ("<none>", exe_dir("tool"));  // the useful segment lies beyond 1024 bytes
  }
  std::string near = dir.path() + "/b:" + std::string(2000, 'y');
  EnvVar var("PATH", near.c_str());
  EXPECT_EQ(dir.path() + "/b", exe_dir("tool"));
}

TEST(SaveCommandTest, KeepsTheNameAndItsDirectory) {
  static char argv0[] = "/opt/glosset/bin/glosset";
  dtb_save_command(argv0);
  EXPECT_EQ(argv0, dtb_get_command());  // the caller's string itself, not a copy
  ASSERT_NE(nullptr, dtb_get_exe_dir());
  EXPECT_STREQ("/opt/glosset/bin", dtb_get_exe_dir());

  EnvVar path("PATH", "/nonexistent");
  static char bare[] = "no-such-program-here";
  dtb_save_command(bare);
  EXPECT_EQ(bare, dtb_get_command());
  EXPECT_EQ(nullptr, dtb_get_exe_dir());
}
