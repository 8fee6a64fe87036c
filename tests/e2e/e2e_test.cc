// End to end: the built editor on the test's Xvfb, driven with xdotool as a
// user drives it. Add typed into it through Xlib's own input method and Delete
// answered from the keyboard; Hangul typed through nabi, a real Korean input-method server.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/app/process.h"

extern char **environ;

namespace {

using app_test::click;
using app_test::click_center;
using app_test::WindowBox;
using app_test::xdotool;

const char kHanja[] = "\xc7\xd1\xc0\xda";   // 한자: g k s w k
const char kSajeon[] = "\xbb\xe7\xc0\xfc";  // 사전: t k w j s
const char kKor[] = "\xf9\xdb\xed\xae";     // 韓字
const char kHan[] = "\xf9\xd3\xed\xae";     // 漢字

bool stored(const char *word, const char *key = kHanja) { return CheckDic(0, key, word) == 1; }
int words_stored(int type, const char *key) {
  char rows[10][kRowSize];
  int count = 0;
  GetHanjaWord(type, key, 0, 10, &count, rows);
  return count;
}

class EndToEnd : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(GLOSSET_BUILD_DIR "/sample/syshjd", system_);
    ASSERT_EQ(InsertHanjaWord(0, kHanja, kKor), 0);
  }
  // HOME here (a short path: the store's paths are limited to 79 bytes); the user dictionary $HOME/.usrhjd.
  app_test::EnvChanges env() {
    app_test::EnvChanges e = app_test::build_tree_env(GetParam());
    e["HOME"] = home_.path();
    e["USRDICNAME"] = std::nullopt;
    e["SYSDICNAME"] = system_;
    return e;
  }
  scratch::Dir home_{"glosset-e2e"};
  const std::string user_ = home_ / ".usrhjd", system_ = home_ / "syshjd";
  scratch::Env user_env_{"USRDICNAME", user_.c_str()}, system_env_{"SYSDICNAME", system_.c_str()};
};

TEST_P(EndToEnd, FindAddDeleteAndClose) {
  scratch::Dir session("glosset-session");
  app_test::RunningEditor editor(env(), {GLOSSET_BINARY, "-session", session.write("session", "")});
  ASSERT_NE(editor.window, 0u) << editor.child.stderr_text();
  Display *d = editor.display();
  EXPECT_EQ(app_test::window_title(d, editor.window), "glosset - 한자 사전 편집기");
  const std::vector<WindowBox> buttons = app_test::command_buttons(d, editor.window);
  const std::vector<WindowBox> lists = app_test::list_windows(d, editor.window);
  ASSERT_EQ(lists.size(), 2u);
  ASSERT_TRUE(app_test::find_and_add(editor, "한자", "漢字"));
  EXPECT_TRUE(app_test::wait_for([] { return stored(kHan); }, 20000));

  ASSERT_TRUE(click(editor.window, lists[1].x + 30, lists[1].y + 8));  // the top entry: 漢字, just added
  app_test::sleep_ms(200);
  ASSERT_TRUE(click_center(editor.window, buttons[3]));
  Window confirm = editor.watcher.next_toplevel();
  ASSERT_NE(confirm, 0u);
  app_test::sleep_ms(300);
  ASSERT_TRUE(xdotool("mousemove --window " + std::to_string(confirm) + " 5 5 key Return"));  // 예, the default
  EXPECT_TRUE(app_test::wait_for([] { return !stored(kHan); }, 20000));
  EXPECT_TRUE(stored(kKor));

  // File's pulldown holds only Close (Help, at the other end, is checked in-process).
  XWindowAttributes attrs;
  ASSERT_TRUE(click(editor.window, 15, 12));
  Window menu = editor.watcher.next_menu();
  ASSERT_NE(menu, 0u);
  XGetWindowAttributes(d, menu, &attrs);
  ASSERT_TRUE(click(menu, attrs.width / 2, attrs.height / 2));
  EXPECT_EQ(editor.child.wait(), 0);
  EXPECT_EQ(editor.child.stderr_text(), "");
  EXPECT_EQ(std::system((GLOSSET_DICT_BINARY " -f '" + user_ + "' verify >/dev/null").c_str()), 0);
}

// No click into 한글:: the field has the keyboard from the start and again after 찾기, and Return runs Find.
TEST_P(EndToEnd, HangulTypedThroughNabiIsLookedUp) {
  ASSERT_EQ(InsertHanjaWord(0, kHanja, kHan), 0);
  ASSERT_EQ(InsertHanjaWord(0, kSajeon, "\xde\xf6\xee\xf0"), 0);  // 辭典
  scratch::Dir nabi_home("glosset-nabi");
  nabi_home.write(".nabi/.keep", "");
  app_test::Child nabi({"/usr/bin/nabi"}, {{"HOME", nabi_home.path()}, {"LANG", "ko_KR.UTF-8"}, {"XMODIFIERS", std::nullopt}});
  ASSERT_TRUE(app_test::wait_for([] { return std::system("xprop -root XIM_SERVERS | grep -q @server=nabi") == 0; }))
      << nabi.stderr_text();
  app_test::EnvChanges with_nabi = env();
  with_nabi["XMODIFIERS"] = "@im=nabi";
  app_test::RunningEditor editor(with_nabi, {GLOSSET_BINARY});
  ASSERT_NE(editor.window, 0u) << editor.child.stderr_text();
  Display *d = editor.display();
  std::optional<WindowBox> find = app_test::find_button(d, editor.window);
  const std::vector<WindowBox> lists = app_test::list_windows(d, editor.window);
  ASSERT_TRUE(find.has_value());
  ASSERT_EQ(lists.size(), 2u);
  const std::vector<app_test::Pixels> empty = {app_test::grab_settled(d, lists[0].window),
                                               app_test::grab_settled(d, lists[1].window)};
  auto expected = [](const char *key) {  // the lists show 7 and 8 rows without scrolling
    return std::vector<int>{std::min(words_stored(1, key), 7), std::min(words_stored(0, key), 8)};
  };
  ASSERT_NE(expected(kHanja), expected(kSajeon));

  XWindowAttributes a;
  ASSERT_TRUE(XGetWindowAttributes(d, editor.window, &a));
  // Without a window manager the keyboard follows the pointer: a click on the footer, away from every control.
  ASSERT_TRUE(click(editor.window, a.width / 2, a.height - 6));
  ASSERT_TRUE(xdotool("key --delay 60 shift+space g k s w k Return"));
  EXPECT_EQ(app_test::lines_shown(d, lists, empty, expected(kHanja)), expected(kHanja));
  // 찾기 pressed with the pointer hands the keyboard back to the field, its reading selected.
  ASSERT_TRUE(click_center(editor.window, *find));
  ASSERT_TRUE(xdotool("key --delay 60 t k w j s Return"));
  EXPECT_EQ(app_test::lines_shown(d, lists, empty, expected(kSajeon)), expected(kSajeon));
  app_test::send_wm_delete(d, editor.window);
  EXPECT_EQ(editor.child.wait(), 0);
}

// The editor as the Debian package installs it (package_test.sh runs this once it is installed), with nothing in
// its environment but LANG, DISPLAY and HOME, finds its catalog, resource file and system dictionary at their
// default paths: after a Find of 한자 its title, lists and footer are those of the build tree's editor.
TEST_P(EndToEnd, InstalledEditorFindsAsTheBuildTreeDoes) {
  if (access("/usr/bin/glosset", X_OK) != 0) GTEST_SKIP() << "the package is not installed";
  ASSERT_EQ(InsertHanjaWord(0, kHanja, kHan), 0);
  system_env_.set(nullptr);  // the default system dictionary, for the editors and for this lookup
  const int system = words_stored(1, kHanja);
  ASSERT_GT(system, 0) << "no words of 한자 in /usr/lib/inpd/ko/syshjd";
  app_test::EnvChanges bare, built = env();
  for (char **e = environ; *e != nullptr; e++) bare[std::string(*e, std::strcspn(*e, "="))] = std::nullopt;
  bare["DISPLAY"] = getenv("DISPLAY"), bare["HOME"] = home_.path(), bare["LANG"] = GetParam();
  built["SYSDICNAME"] = std::nullopt;
  std::vector<std::string> titles;
  std::vector<std::vector<app_test::Pixels>> shown(2);
  for (int i = 0; i < 2; i++) {
    app_test::RunningEditor editor(i == 0 ? bare : built, {i == 0 ? "/usr/bin/glosset" : GLOSSET_BINARY});
    ASSERT_NE(editor.window, 0u) << editor.child.stderr_text();
    Display *d = editor.display();
    std::vector<WindowBox> windows = app_test::list_windows(d, editor.window);
    const std::vector<WindowBox> tree = app_test::window_tree(d, editor.window);
    for (const WindowBox &b : tree) {
      for (const WindowBox &parent : tree) {
        if (parent.window == b.parent && parent.height == 28) windows.push_back(b);  // the footer's label
      }
    }
    ASSERT_EQ(windows.size(), 3u);
    std::vector<app_test::Pixels> empty;
    for (const WindowBox &b : windows) empty.push_back(app_test::grab_settled(d, b.window));
    EXPECT_TRUE(app_test::find(editor.window, *app_test::find_button(d, editor.window), "한자"));
    EXPECT_EQ(app_test::lines_shown(d, windows, empty, {system, 2, 1}), (std::vector<int>{system, 2, 1})) << i;
    for (const WindowBox &b : windows) shown[i].push_back(app_test::grab_settled(d, b.window));
    titles.push_back(app_test::window_title(d, editor.window));
    XWMHints *hints = XGetWMHints(d, editor.window);  // the icon of the hicolor theme, installed or built
    EXPECT_TRUE(hints != nullptr && (hints->flags & IconPixmapHint) != 0) << i;
    if (hints != nullptr) XFree(hints);
    app_test::send_wm_delete(d, editor.window);
    EXPECT_EQ(editor.child.wait(), 0);
    EXPECT_EQ(editor.child.stderr_text(), "") << i;
  }
  EXPECT_NE(titles[0], "glosset");  // the catalog's title, not the built-in one
  EXPECT_EQ(titles[0], titles[1]);
  EXPECT_TRUE(shown[0] == shown[1]);
}

INSTANTIATE_TEST_SUITE_P(Modes, EndToEnd, ::testing::Values("ko_KR.UTF-8", "ko_KR.EUC"),
                         [](const auto &info) { return std::string(info.param[6] == 'U' ? "utf8" : "euc"); });

constexpr char kCatalogWarning[] = "WARNING: Could not open message catalog: glosset. Messages will be defaults.\n";
constexpr char kRefused[] = "glosset runs under \"ko/ko.UTF-8\" locales only.\n\t";

// With no catalog found the title is the built-in one. A name the gate refuses (nullptr: the build tree's catalog
// path, which has none for it, as the catalog is opened before the gate) ends with status 0, the message and no window.
TEST(Process, CatalogSearchPathAndLocaleGate) {
  const std::string long_lang(80, 'k');  // longer than the resource path's buffer leaves room for
  const char *missing = "/nonexistent/%L/%N.cat";
  const std::pair<const char *, const char *> cases[] = {
      {"ko", GLOSSET_BUILD_DIR "/nls/%L/LC_MESSAGES/%N"}, {"korean", ""}, {"ko.UTF-8", missing},
      {"ko_KR.EUC", missing}, {"ko_KR.UTF8", nullptr}, {"ko_KR.euc", nullptr}, {"ko_KR.EUC-KR", nullptr},
      {"ko ", nullptr}, {"", nullptr}, {long_lang.c_str(), nullptr}, {nullptr, nullptr}};
  for (const auto &[lang, nlspath] : cases) {
    app_test::EnvChanges env = app_test::build_tree_env(lang);
    if (nlspath != nullptr) env["NLSPATH"] = nlspath;
    app_test::MapWatcher watcher;
    app_test::Child child({GLOSSET_BINARY}, env);
    if (nlspath == nullptr) {
      EXPECT_EQ(child.wait(), 0);
      EXPECT_EQ(watcher.next_toplevel(100), 0u);
    } else {
      Window window = watcher.next_toplevel();
      ASSERT_NE(window, 0u) << child.stderr_text();
      EXPECT_EQ(app_test::window_title(watcher.display(), window), "glosset");
      app_test::send_wm_delete(watcher.display(), window);
      EXPECT_EQ(child.wait(), 0);
    }
    EXPECT_EQ(child.stderr_text(), kCatalogWarning + std::string(nlspath ? "" : kRefused)) << (lang ? lang : "unset");
  }
}

}  // namespace
