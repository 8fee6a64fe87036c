// The editor as the Debian package installs it, started with nothing in its
// environment but LANG, DISPLAY and HOME: it must find its catalog, resource
// file and system dictionary at its default paths. After a Find of 한자 its
// lists, footer and title are those of the build tree's editor pointed at the
// build tree's catalogs and resource files. Run by package_test.sh.
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

struct AfterFind {
  std::string title, stderr_text;
  int status = -1;
  std::vector<int> lines;
  std::vector<Pixels> shown;
};

// Starts the editor, types the reading, presses Find and takes what the lists and the footer show.
AfterFind find_reading(const std::string &program, const app_test::EnvChanges &env, const std::vector<int> &want) {
  AfterFind r;
  app_test::RunningEditor editor(env, {program});
  Display *d = editor.display();
  EXPECT_NE(editor.window, 0u) << editor.child.stderr_text();
  if (editor.window == 0) return r;
  std::optional<WindowBox> find = app_test::find_button(d, editor.window);
  std::vector<WindowBox> shown = app_test::list_windows(d, editor.window);
  const std::vector<WindowBox> tree = app_test::window_tree(d, editor.window);
  for (const WindowBox &b : tree) {
    for (const WindowBox &parent : tree) {
      if (parent.window == b.parent && parent.height == 28) shown.push_back(b);  // the footer's label
    }
  }
  EXPECT_TRUE(find && shown.size() == 3u) << editor.child.stderr_text();
  if (!find || shown.size() != 3u) return r;
  std::vector<Pixels> empty;
  for (const WindowBox &b : shown) empty.push_back(app_test::grab_settled(d, b.window));
  EXPECT_TRUE(app_test::click(editor.window, find->x - 40, find->y + 11));
  EXPECT_TRUE(app_test::xdotool("type --delay 40 한자"));
  EXPECT_TRUE(app_test::click_center(editor.window, *find));
  r.lines = app_test::lines_shown(d, shown, empty, want);
  for (const WindowBox &b : shown) r.shown.push_back(app_test::grab_settled(d, b.window));
  r.title = app_test::window_title(d, editor.window);
  app_test::send_wm_delete(d, editor.window);
  r.status = editor.child.wait();
  r.stderr_text = editor.child.stderr_text();
  return r;
}

class InstalledEditor : public ::testing::TestWithParam<const char *> {
 protected:
  // The test's own lookups go to the same files as the editor's.
  scratch::Env system_{"SYSDICNAME", nullptr};
  scratch::Env user_{"USRDICNAME", nullptr};
};

TEST_P(InstalledEditor, FindsWithOnlyLangSetAsTheBuildTreeDoes) {
  for (const char *word : {"\xf9\xd3\xed\xae", "\xf9\xdb\xed\xae"}) ASSERT_GE(InsertHanjaWord(0, "\xc7\xd1\xc0\xda", word), 0);
  app_test::EnvChanges bare;
  for (char **e = environ; *e != nullptr; e++) {
    std::string name(*e, std::strcspn(*e, "="));
    if (name != "DISPLAY" && name != "HOME") bare[name] = std::nullopt;
  }
  bare["LANG"] = GetParam();
  char rows[10][kRowSize];
  int system = 0;
  GetHanjaWord(1, "\xc7\xd1\xc0\xda", 0, 10, &system, rows);
  ASSERT_GT(system, 0) << "no words of 한자 in /usr/lib/inpd/ko/syshjd";
  const AfterFind installed = find_reading("/usr/bin/glosset", bare, {system, 2, 1});
  const AfterFind built = find_reading(GLOSSET_BINARY, app_test::build_tree_env(GetParam()), {system, 2, 1});
  EXPECT_EQ(installed.lines, (std::vector<int>{system, 2, 1}));
  EXPECT_EQ(installed.status, 0);
  EXPECT_EQ(installed.stderr_text, "");
  EXPECT_NE(installed.title, "glosset");  // the catalog's title, not the built-in one
  EXPECT_EQ(installed.title, built.title);
  EXPECT_TRUE(installed.shown == built.shown);
}

INSTANTIATE_TEST_SUITE_P(Modes, InstalledEditor, ::testing::Values("ko_KR.UTF-8", "ko_KR.EUC"),
                         [](const auto &info) { return std::string(info.param[6] == 'U' ? "utf8" : "euc"); });

}  // namespace
