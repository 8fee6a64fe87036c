// The editor as the Debian package installs it, started with nothing in its
// environment but LANG, DISPLAY and HOME: it must find its catalog, resource
// file and system dictionary at its default paths. After a Find of 한자 both
// lists hold as many lines as the dictionaries hold words, and lists, footer
// and title are exactly those of the build tree's editor pointed at the build
// tree's catalogs and resource files. Run by package_test.sh once the package
// is installed.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <cstring>
#include <string>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/app/process.h"

extern char **environ;

namespace {

using app_test::Pixels;
using app_test::WindowBox;

const char kInstalled[] = "/usr/bin/glosset";
const char kReadingEuc[] = "\xc7\xd1\xc0\xda";                                     // 한자
const char *const kUserWords[] = {"\xf9\xd3\xed\xae", "\xf9\xdb\xed\xae"};  // 漢字 韓字

struct ModeCase {
  const char *lang;
  bool euc;
};

int stored_words(int type) {
  char rows[10][kRowSize];
  int count = 0;
  GetHanjaWord(type, kReadingEuc, 0, 10, &count, rows);
  return count;
}

// Everything but DISPLAY and HOME unset, LANG as given.
app_test::EnvChanges bare_env(const char *lang) {
  app_test::EnvChanges env;
  for (char **e = environ; *e != nullptr; e++) {
    std::string name(*e, std::strcspn(*e, "="));
    if (name != "DISPLAY" && name != "HOME") env[name] = std::nullopt;
  }
  env["LANG"] = std::string(lang);
  return env;
}

// The footer label: the one window inside the 28-pixel footer.
std::optional<WindowBox> footer_label(Display *d, Window top) {
  std::vector<WindowBox> boxes = app_test::window_tree(d, top);
  for (const WindowBox &b : boxes) {
    for (const WindowBox &parent : boxes) {
      if (parent.window == b.parent && parent.height == 28) return b;
    }
  }
  return std::nullopt;
}

struct AfterFind {
  std::string title, stderr_text;
  int status = -1, system_lines = -1, user_lines = -1;
  Pixels system, user, footer;
};

// Starts the editor, types the reading, presses Find and takes what it shows.
AfterFind find_reading(const std::string &program, const ModeCase &c, const app_test::EnvChanges &env,
                       int system_expected, int user_expected) {
  AfterFind r;
  std::vector<std::string> argv = app_test::editor_args(c.euc);
  argv[0] = program;
  app_test::MapWatcher watcher;
  app_test::Child child(argv, env);
  Window window = watcher.next_toplevel();
  EXPECT_NE(window, 0u) << child.stderr_text();
  if (window == 0) return r;
  Display *d = watcher.display();
  std::optional<WindowBox> find = app_test::find_button(d, window);
  std::optional<WindowBox> footer = footer_label(d, window);
  std::vector<WindowBox> lists = app_test::list_windows(d, window);
  EXPECT_TRUE(find && footer && lists.size() == 2u);
  if (!find || !footer || lists.size() != 2u) return r;
  const Pixels system_empty = app_test::grab_settled(d, lists[0].window);
  const Pixels user_empty = app_test::grab_settled(d, lists[1].window);

  EXPECT_TRUE(app_test::click(window, find->x - 40, find->y + 11));
  EXPECT_TRUE(app_test::xdotool("type --delay 40 한자"));
  EXPECT_TRUE(app_test::click_center(window, *find));
  app_test::wait_for(
      [&] {
        r.system_lines = app_test::text_lines(system_empty, app_test::grab(d, lists[0].window));
        r.user_lines = app_test::text_lines(user_empty, app_test::grab(d, lists[1].window));
        return r.system_lines == system_expected && r.user_lines == user_expected;
      },
      20000);
  r.system = app_test::grab_settled(d, lists[0].window);
  r.user = app_test::grab_settled(d, lists[1].window);
  r.footer = app_test::grab_settled(d, footer->window);
  r.title = app_test::window_title(d, window);
  app_test::send_wm_delete(d, window);
  r.status = child.wait();
  r.stderr_text = child.stderr_text();
  return r;
}

class InstalledEditor : public ::testing::TestWithParam<ModeCase> {
 protected:
  void SetUp() override {
    for (const char *word : kUserWords) ASSERT_GE(InsertHanjaWord(0, kReadingEuc, word), 0);
  }
  // The test's own lookups go to the same files as the editor's.
  scratch::Env system_{"SYSDICNAME", nullptr};
  scratch::Env user_{"USRDICNAME", nullptr};
};

TEST_P(InstalledEditor, FindsWithOnlyLangSetAsTheBuildTreeDoes) {
  const ModeCase &c = GetParam();
  const int system_expected = stored_words(1), user_expected = stored_words(0);
  ASSERT_EQ(user_expected, 2);
  ASSERT_GT(system_expected, 0) << "no words of 한자 in /usr/lib/inpd/ko/syshjd";

  AfterFind installed = find_reading(kInstalled, c, bare_env(c.lang), system_expected, user_expected);
  EXPECT_EQ(installed.system_lines, system_expected);
  EXPECT_EQ(installed.user_lines, user_expected);
  EXPECT_EQ(installed.status, 0);
  EXPECT_EQ(installed.stderr_text, "");

  app_test::EnvChanges build_env = app_test::build_tree_env(c.lang);
  AfterFind built = find_reading(GLOSSET_BINARY, c, build_env, system_expected, user_expected);
  ASSERT_EQ(built.system_lines, system_expected);
  EXPECT_EQ(installed.title, built.title);
  EXPECT_NE(installed.title, "glosset");  // the catalog's title, not the built-in one
  EXPECT_TRUE(installed.system == built.system);
  EXPECT_TRUE(installed.user == built.user);
  EXPECT_TRUE(installed.footer == built.footer);
}

INSTANTIATE_TEST_SUITE_P(Modes, InstalledEditor,
                         ::testing::Values(ModeCase{"ko_KR.UTF-8", false}, ModeCase{"ko_KR.EUC", true}),
                         [](const auto &info) { return std::string(info.param.euc ? "euc" : "utf8"); });

}  // namespace
