// The restart command a session save leaves on the window, and the session
// files of our session layer.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <X11/Xutil.h>

#include "dtb/dt/session.h"
#include "dtb/dtb_private.h"
#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"
#include "tests/support/x_session.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> restart_command(Widget w) {
  char **argv = nullptr;
  int argc = 0;
  std::vector<std::string> out;
  if (XGetCommand(XtDisplay(w), XtWindow(w), &argv, &argc) == 0) return out;
  for (int i = 0; i < argc; ++i) out.emplace_back(argv[i]);
  XFreeStringList(argv);
  return out;
}

std::vector<std::string> files_in(const std::string &dir) {
  std::vector<std::string> names;
  if (!fs::exists(dir)) return names;
  for (const auto &entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  return names;
}

// The client's answer for the next save, and what it was given.
bool g_client_saves = false;
std::string g_client_got_path;
char arg_x[] = "-x", arg_session[] = "-session", arg_old[] = "old", arg_y[] = "-y";
char *g_client_args[] = {arg_x, arg_session, arg_old, arg_y};

Boolean client_save(Widget, char *session_file, char ***argv, int *argc) {
  g_client_got_path = session_file;
  *argv = g_client_args;
  *argc = 4;
  return g_client_saves ? True : False;
}

class SessionSave : public ::testing::Test {
 protected:
  void SetUp() override {
    static char cmd[] = "/usr/bin/glosset";
    dtb_save_command(cmd);
    sessions_ = dt_session_directory("DtbTest");
  }
  void TearDown() override { dtb_set_client_session_saveCB(nullptr); }
  scratch::Dir state_{"dtb-state"};
  scratch::Env state_home_{"XDG_STATE_HOME", state_.path().c_str()};
  std::string sessions_;
};

TEST_F(SessionSave, ClientArgumentsLoseTheirOldSessionAndGainTheNewOne) {
  g_client_saves = true;
  dtb_set_client_session_saveCB(client_save);
  Widget top = xs::toplevel();
  dtb_session_save(top, nullptr, nullptr);

  std::vector<std::string> files = files_in(sessions_);
  ASSERT_EQ(1u, files.size());
  EXPECT_EQ(sessions_ + "/" + files[0], g_client_got_path);
  std::vector<std::string> expected = {"/usr/bin/glosset", "-x", "-y", "-session", files[0]};
  EXPECT_EQ(expected, restart_command(top));
}

TEST_F(SessionSave, NothingSavedRemovesTheFileAndRestartsBare) {
  g_client_saves = false;
  dtb_set_client_session_saveCB(client_save);
  Widget top = xs::toplevel();
  dtb_session_save(top, nullptr, nullptr);
  EXPECT_TRUE(files_in(sessions_).empty());
  EXPECT_EQ((std::vector<std::string>{"/usr/bin/glosset", "-x", "-y"}), restart_command(top));

  dtb_set_client_session_saveCB(nullptr);
  dtb_session_save(top, nullptr, nullptr);
  EXPECT_TRUE(files_in(sessions_).empty());
  EXPECT_EQ((std::vector<std::string>{"/usr/bin/glosset"}), restart_command(top));
}

TEST_F(SessionSave, WithoutASessionPathTheCommandIsLeftAlone) {
  Widget top = xs::toplevel();
  dtb_session_save(top, nullptr, nullptr);
  std::vector<std::string> before = restart_command(top);

  {
    state_home_.set(nullptr);
    scratch::Env home("HOME", nullptr);
    static char other[] = "/elsewhere/other";
    dtb_save_command(other);
    dtb_session_save(top, nullptr, nullptr);
    dtb_session_save(nullptr, nullptr, nullptr);
  }
  EXPECT_EQ(before, restart_command(top));
}

TEST_F(SessionSave, EachPathIsFreshInAPrivateDirectory) {
  Widget top = xs::toplevel();
  char *path1 = nullptr, *file1 = nullptr, *path2 = nullptr, *file2 = nullptr;
  ASSERT_TRUE(DtSessionSavePath(top, &path1, &file1));
  ASSERT_TRUE(DtSessionSavePath(top, &path2, &file2));
  dtb::UniqueCString p1(path1), f1(file1), p2(path2), f2(file2);
  EXPECT_STRNE(path1, path2);
  EXPECT_EQ(sessions_ + "/" + file1, path1);
  EXPECT_TRUE(fs::is_regular_file(path1));
  struct stat st;
  ASSERT_EQ(0, stat(sessions_.c_str(), &st));
  EXPECT_EQ(0700u, st.st_mode & 0777);
}

TEST_F(SessionSave, RelativeStateHomeFallsBackToHome) {
  state_home_.set("relative/state");
  EXPECT_EQ(std::string(std::getenv("HOME")) + "/.local/state/DtbTest/sessions", dt_session_directory("DtbTest"));
}

}  // namespace
