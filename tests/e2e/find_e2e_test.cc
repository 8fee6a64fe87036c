// End to end: the built editor under Xvfb, driven with xdotool as a user
// would drive it. Type a reading, press Find, and check in the window's own
// pixels that both lists show as many lines as the dictionaries hold words.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <string>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/app/process.h"

namespace {

using app_test::Pixels;

const char kReadingEuc[] = "\xc7\xd1\xc0\xda";  // 한자
const char kReadingUtf8[] = "한자";
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

class FindEndToEnd : public ::testing::TestWithParam<ModeCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.add_system_dict());
    for (const char *word : kUserWords) ASSERT_GE(InsertHanjaWord(0, kReadingEuc, word), 0);
  }
  app_test::EditorHome home_;
  scratch::Env user_{"USRDICNAME", home_.user_dict().c_str()};
  scratch::Env system_{"SYSDICNAME", home_.system_dict().c_str()};
};

TEST_P(FindEndToEnd, TypedReadingFillsBothLists) {
  const ModeCase &c = GetParam();
  const int user_expected = stored_words(0), system_expected = stored_words(1);
  ASSERT_EQ(user_expected, 2);
  ASSERT_GT(system_expected, 0);

  app_test::MapWatcher watcher;
  app_test::Child child(app_test::editor_args(c.euc), home_.env(c.lang));  // the user's own $HOME/.usrhjd
  Window window = watcher.next_toplevel();
  ASSERT_NE(window, 0u) << child.stderr_text();
  Display *d = watcher.display();
  std::optional<app_test::WindowBox> find = app_test::find_button(d, window);
  std::vector<app_test::WindowBox> lists = app_test::list_windows(d, window);
  ASSERT_TRUE(find.has_value());
  ASSERT_EQ(lists.size(), 2u);
  const Pixels system_empty = app_test::grab_settled(d, lists[0].window);
  const Pixels user_empty = app_test::grab_settled(d, lists[1].window);

  // The input field ends 26 pixels left of Find.
  ASSERT_TRUE(app_test::click(window, find->x - 40, find->y + 11));
  ASSERT_TRUE(app_test::xdotool(std::string("type --delay 40 ") + kReadingUtf8));
  ASSERT_TRUE(app_test::click_center(window, *find));

  int system_lines = 0, user_lines = 0;
  app_test::wait_for(
      [&] {
        system_lines = app_test::text_lines(system_empty, app_test::grab(d, lists[0].window));
        user_lines = app_test::text_lines(user_empty, app_test::grab(d, lists[1].window));
        return system_lines == system_expected && user_lines == user_expected;
      },
      20000);  // generous: sanitizer builds start slowly
  EXPECT_EQ(system_lines, system_expected);
  EXPECT_EQ(user_lines, user_expected);

  // For a human look at the glyphs.
  EXPECT_TRUE(app_test::screenshot(window, std::string(GLOSSET_BUILD_DIR) + "/tests/e2e/find-" + c.lang + ".png"));

  app_test::send_wm_delete(d, window);
  EXPECT_EQ(child.wait(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, FindEndToEnd,
                         ::testing::Values(ModeCase{"ko_KR.UTF-8", false}, ModeCase{"ko_KR.EUC", true}),
                         [](const auto &info) {
                           std::string name = info.param.lang;
                           for (char &ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace
