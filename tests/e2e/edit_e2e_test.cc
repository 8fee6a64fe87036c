// End to end: the built editor under Xvfb, driven with xdotool. Find a
// reading, add a word through the dialog, change it, delete it after the
// confirmation; then glosset-dict checks the user dictionary. Screenshots of
// the dialog and of the confirmation land in build/screenshots/.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/app/process.h"

namespace {

namespace fs = std::filesystem;
using app_test::WindowBox;
using app_test::click;
using app_test::click_center;
using app_test::wait_for;

const char kReadingEuc[] = "\xc7\xd1\xc0\xda";  // 한자
const char kKorEuc[] = "\xf9\xdb\xed\xae";       // 韓字
const char kHanEuc[] = "\xf9\xd3\xed\xae";       // 漢字
const char kLeiEuc[] = "\xf9\xd8\xed\xae";       // 閑字

struct ModeCase {
  const char *lang;
  bool euc;
  const char *tag;  // screenshot names
};

bool viewable(Display *d, Window w) {
  XWindowAttributes a;
  return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

// The dialog's Hanja field: the field of the row 72 pixels from the top.
std::optional<WindowBox> hanja_field(Display *d, Window dialog) {
  for (const WindowBox &b : app_test::window_tree(d, dialog)) {
    if (b.y == 72 && b.x > 21) return b;
  }
  return std::nullopt;
}

// The visible button windows of the bottom row of a message box, left to right.
std::vector<WindowBox> bottom_buttons(Display *d, Window box) {
  std::vector<WindowBox> all;
  for (const WindowBox &b : app_test::window_tree(d, box)) {
    if (b.height >= 15 && b.width < 200 && viewable(d, b.window)) all.push_back(b);
  }
  int bottom = 0;
  for (const WindowBox &b : all) bottom = std::max(bottom, b.y);
  std::vector<WindowBox> row;
  for (const WindowBox &b : all) {
    if (b.y == bottom) row.push_back(b);
  }
  std::sort(row.begin(), row.end(), [](const WindowBox &a, const WindowBox &b) { return a.x < b.x; });
  return row;
}

// Runs glosset-dict on the user dictionary; its exit status and standard output.
std::pair<int, std::string> dict_tool(const std::string &file, const std::string &args) {
  std::string cmd = std::string(GLOSSET_DICT_BINARY) + " -f '" + file + "' " + args + " 2>&1";
  FILE *p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[256];
  size_t n = 0;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

class EditEndToEnd : public ::testing::TestWithParam<ModeCase> {
 protected:
  void SetUp() override { ASSERT_TRUE(home_.add_system_dict()); }
  app_test::Child start(const std::optional<std::string> &usrdicname = std::nullopt) const {
    return app_test::Child(app_test::editor_args(GetParam().euc), home_.env(GetParam().lang, usrdicname));
  }
  // Type the reading into the main field and press Find.
  void find(Window main, const WindowBox &find_button) {
    ASSERT_TRUE(click(main, find_button.x - 40, find_button.y + 11));
    ASSERT_TRUE(app_test::xdotool("type --delay 40 한자"));
    ASSERT_TRUE(click_center(main, find_button));
  }

  app_test::EditorHome home_;
  const std::string user_ = home_.user_dict();
  scratch::Env user_env_{"USRDICNAME", user_.c_str()};
};

TEST_P(EditEndToEnd, FindAddModifyDelete) {
  const ModeCase &c = GetParam();
  ASSERT_EQ(InsertHanjaWord(0, kReadingEuc, kKorEuc), 0);

  app_test::MapWatcher watcher;
  app_test::Child child = start();
  Window main = watcher.next_toplevel();
  ASSERT_NE(main, 0u) << child.stderr_text();
  Display *d = watcher.display();
  std::vector<WindowBox> buttons = app_test::command_buttons(d, main);
  ASSERT_EQ(buttons.size(), 4u);
  const WindowBox &find_b = buttons[0], &add_b = buttons[1], &modify_b = buttons[2], &delete_b = buttons[3];
  std::vector<WindowBox> lists = app_test::list_windows(d, main);
  ASSERT_EQ(lists.size(), 2u);
  const WindowBox &user_list = lists[1];

  find(main, find_b);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  // Add 漢字 under 한자: the dialog comes up with the reading preset.
  ASSERT_TRUE(click_center(main, add_b));
  Window dialog = watcher.next_toplevel();
  ASSERT_NE(dialog, 0u);
  std::optional<WindowBox> field = hanja_field(d, dialog);
  ASSERT_TRUE(field.has_value());
  ASSERT_TRUE(click_center(dialog, *field));
  ASSERT_TRUE(app_test::xdotool("type --delay 40 漢字"));
  ASSERT_TRUE(app_test::xdotool("key Return"));  // the dialog's default button, OK
  EXPECT_TRUE(wait_for([] { return CheckDic(0, kReadingEuc, kHanEuc) == 1; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(app_test::screenshot(dialog, GLOSSET_BUILD_DIR "/screenshots/dialog-add-" + std::string(c.tag) + ".png"));

  // Modify the top entry (漢字, just added) into 閑字: the open dialog is reused.
  ASSERT_TRUE(click(main, user_list.x + 30, user_list.y + 8));
  ASSERT_TRUE(click_center(main, modify_b));
  ASSERT_TRUE(click_center(dialog, *field));
  ASSERT_TRUE(app_test::xdotool("key End BackSpace BackSpace"));
  ASSERT_TRUE(app_test::xdotool("type --delay 40 閑字"));
  ASSERT_TRUE(app_test::xdotool("key Return"));
  EXPECT_TRUE(wait_for([] { return CheckDic(0, kReadingEuc, kLeiEuc) == 1; }));
  EXPECT_EQ(CheckDic(0, kReadingEuc, kHanEuc), 0);

  // Delete 閑字, the selected top entry, after answering 예.
  // A click on a selected item of a single-selection list may clear it:
  // select the second line first, then the top one.
  ASSERT_TRUE(click(main, user_list.x + 30, user_list.y + 26));
  // Not so soon that the list takes the two clicks for a double click.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  ASSERT_TRUE(click(main, user_list.x + 30, user_list.y + 8));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  ASSERT_TRUE(click_center(main, delete_b));
  Window confirm = watcher.next_toplevel();
  ASSERT_NE(confirm, 0u);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(
      app_test::screenshot(confirm, GLOSSET_BUILD_DIR "/screenshots/delete-confirm-" + std::string(c.tag) + ".png"));
  // 예 and Help are gadgets, drawn in the box's own window; 아니오 is a widget
  // with a window, and 예 sits half way between the box's left edge and it.
  std::vector<WindowBox> answers = bottom_buttons(d, confirm);
  ASSERT_EQ(answers.size(), 1u);
  ASSERT_TRUE(click(confirm, answers[0].x / 2, answers[0].y + answers[0].height / 2));
  EXPECT_TRUE(wait_for([] { return CheckDic(0, kReadingEuc, kLeiEuc) == 0; }));
  EXPECT_EQ(CheckDic(0, kReadingEuc, kKorEuc), 1);

  app_test::send_wm_delete(d, main);
  EXPECT_EQ(child.wait(), 0);

  auto [verify_status, verify_out] = dict_tool(user_, "verify");
  EXPECT_EQ(verify_status, 0) << verify_out;
  auto [get_status, get_out] = dict_tool(user_, "get 한자");
  EXPECT_EQ(get_status, 0);
  EXPECT_EQ(get_out, "韓字\n");
}

TEST_P(EditEndToEnd, UserDictionaryThatCannotBeCreatedEndsWithStatusOne) {
  const std::string missing_dir = home_.path() + "/no-such-dir";
  const std::string path = missing_dir + "/.usrhjd";
  app_test::MapWatcher watcher;
  app_test::Child child = start(path);
  Window main = watcher.next_toplevel();
  ASSERT_NE(main, 0u) << child.stderr_text();
  Display *d = watcher.display();
  std::vector<WindowBox> buttons = app_test::command_buttons(d, main);
  ASSERT_EQ(buttons.size(), 4u);

  find(main, buttons[0]);
  ASSERT_TRUE(click_center(main, buttons[1]));
  Window dialog = watcher.next_toplevel();
  ASSERT_NE(dialog, 0u);
  std::optional<WindowBox> field = hanja_field(d, dialog);
  ASSERT_TRUE(field.has_value());
  ASSERT_TRUE(click_center(dialog, *field));
  ASSERT_TRUE(app_test::xdotool("type --delay 40 漢字"));
  ASSERT_TRUE(app_test::xdotool("key Return"));
  EXPECT_EQ(child.wait(), 1);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_FALSE(fs::exists(missing_dir));
}

INSTANTIATE_TEST_SUITE_P(Modes, EditEndToEnd,
                         ::testing::Values(ModeCase{"ko_KR.UTF-8", false, "utf8"},
                                           ModeCase{"ko_KR.EUC", true, "euc"}),
                         [](const auto &info) { return std::string(info.param.tag); });

}  // namespace
