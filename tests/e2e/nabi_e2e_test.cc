// End to end with a real Korean input method: nabi (an XIM server) on the
// test's Xvfb, the built editor with only XMODIFIERS pointing at it, and
// 2-beolsik keystrokes typed with xdotool. No click into 한글:: the field has
// the keyboard from the start and again after 찾기, and Return runs Find.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <X11/Xatom.h>

#include <algorithm>
#include <string>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/app/process.h"

namespace {

using app_test::Pixels;
using app_test::WindowBox;

const char kHanjaEuc[] = "\xc7\xd1\xc0\xda";   // 한자: g k s w k
const char kSajeonEuc[] = "\xbb\xe7\xc0\xfc";  // 사전: t k w j s

int stored_words(int type, const char *key) {
  char rows[10][kRowSize];
  int count = 0;
  GetHanjaWord(type, key, 0, 10, &count, rows);
  return count;
}

bool nabi_ready(Display *d) {
  Atom servers = XInternAtom(d, "XIM_SERVERS", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char *data = nullptr;
  bool found = false;
  if (XGetWindowProperty(d, DefaultRootWindow(d), servers, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                         &data) == Success && data != nullptr) {
    for (unsigned long i = 0; i < count && !found; i++) {
      char *name = XGetAtomName(d, reinterpret_cast<Atom *>(data)[i]);
      found = name != nullptr && std::string(name) == "@server=nabi";
      XFree(name);
    }
    XFree(data);
  }
  return found;
}

class NabiEndToEnd : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.add_system_dict());
    for (const char *word : {"\xf9\xd3\xed\xae", "\xf9\xdb\xed\xae"}) ASSERT_GE(InsertHanjaWord(0, kHanjaEuc, word), 0);
    ASSERT_GE(InsertHanjaWord(0, kSajeonEuc, "\xde\xf6\xee\xf0"), 0);  // 辭典
  }
  // Both lists show as many text lines as the dictionaries hold for `key`.
  void expect_lists_for(const char *key, Display *d, const std::vector<WindowBox> &lists, const Pixels &sys_empty,
                        const Pixels &usr_empty) {
    // The lists show 7 and 8 rows without scrolling.
    const int user = std::min(stored_words(0, key), 8), system = std::min(stored_words(1, key), 7);
    int sys_lines = 0, usr_lines = 0;
    app_test::wait_for(
        [&] {
          sys_lines = app_test::text_lines(sys_empty, app_test::grab(d, lists[0].window));
          usr_lines = app_test::text_lines(usr_empty, app_test::grab(d, lists[1].window));
          return sys_lines == system && usr_lines == user;
        },
        20000);
    EXPECT_EQ(sys_lines, system) << key;
    EXPECT_EQ(usr_lines, user) << key;
  }

  app_test::EditorHome home_;
  scratch::Dir nabi_home_{"glosset-nabi"};
  scratch::Env user_{"USRDICNAME", home_.user_dict().c_str()};
  scratch::Env system_{"SYSDICNAME", home_.system_dict().c_str()};
};

TEST_P(NabiEndToEnd, HangulTypedThroughTheInputMethodIsLookedUp) {
  ASSERT_NE(stored_words(0, kHanjaEuc), stored_words(0, kSajeonEuc));
  app_test::MapWatcher watcher;
  Display *d = watcher.display();
  nabi_home_.write(".nabi/.keep", "");
  app_test::Child nabi({"/usr/bin/nabi"}, {{"HOME", nabi_home_.path()}, {"LANG", "ko_KR.UTF-8"}, {"XMODIFIERS", std::nullopt}});
  ASSERT_TRUE(app_test::wait_for([&] { return nabi_ready(d); })) << nabi.stderr_text();

  app_test::EnvChanges env = home_.env(GetParam());
  env["XMODIFIERS"] = "@im=nabi";
  app_test::Child child({GLOSSET_BINARY}, env);
  Window window = watcher.next_toplevel();
  ASSERT_NE(window, 0u) << child.stderr_text();
  std::optional<WindowBox> find = app_test::find_button(d, window);
  std::vector<WindowBox> lists = app_test::list_windows(d, window);
  ASSERT_TRUE(find.has_value());
  ASSERT_EQ(lists.size(), 2u);
  const Pixels sys_empty = app_test::grab_settled(d, lists[0].window);
  const Pixels usr_empty = app_test::grab_settled(d, lists[1].window);

  // 찾기 lies inside the window, and the system list's scrolled window (the
  // upper one 311 wide) ends above the separator (3 high, the window's width).
  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(d, window, &a));
  EXPECT_LE(find->x + find->width, a.width);
  std::optional<WindowBox> system_list, separator;
  for (const WindowBox &b : app_test::window_tree(d, window)) {
    if (b.width == 311 && (!system_list || b.y < system_list->y)) system_list = b;
    if (b.height == 3 && b.width == a.width) separator = b;
  }
  ASSERT_TRUE(system_list && separator);
  EXPECT_LE(system_list->y + system_list->height, separator->y);

  // Without a window manager the window gets the keyboard through the pointer:
  // a click on the footer, away from every control.
  ASSERT_TRUE(app_test::click(window, a.width / 2, a.height - 6));
  ASSERT_TRUE(app_test::xdotool("key --delay 60 shift+space g k s w k Return"));
  expect_lists_for(kHanjaEuc, d, lists, sys_empty, usr_empty);
  EXPECT_TRUE(app_test::screenshot(window, std::string(GLOSSET_BUILD_DIR) + "/tests/e2e/nabi-" + GetParam() + ".png"));

  // 찾기 pressed with the pointer hands the keyboard back to the field, whose
  // reading is selected: the next one typed replaces it.
  ASSERT_TRUE(app_test::click_center(window, *find));
  ASSERT_TRUE(app_test::xdotool("key --delay 60 t k w j s Return"));
  expect_lists_for(kSajeonEuc, d, lists, sys_empty, usr_empty);

  app_test::send_wm_delete(d, window);
  EXPECT_EQ(child.wait(), 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, NabiEndToEnd, ::testing::Values("ko_KR.UTF-8", "ko_KR.EUC"), [](const auto &info) {
  std::string name = info.param;
  for (char &ch : name) if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

}  // namespace
