// The built editor as a process: refused locales, the catalog search path and
// its warning, "-session", and the ways out.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <sys/stat.h>

#include <clocale>
#include <string>

#include "tests/app/process.h"

namespace {

using app_test::Child;
using app_test::EnvChanges;
using app_test::MapWatcher;

constexpr char kRefusal[] = "glosset runs under \"ko/ko.UTF-8\" locales only.\n\t";
constexpr char kCatalogWarning[] = "WARNING: Could not open message catalog: glosset. Messages will be defaults.\n";
constexpr char kCatalogTitle[] = "glosset - 한자 사전 편집기";

struct RefusedCase {
  const char *name;
  const char *lang;  // nullptr: LANG unset
};

class RefusedLocaleTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedLocaleTest, ExitsZeroWithTheMessageAndNoWindow) {
  MapWatcher watcher;
  Child child({GLOSSET_BINARY}, app_test::build_tree_env(GetParam().lang));
  EXPECT_EQ(child.wait(), 0);
  // No catalog exists for these names, and it is opened before the gate.
  EXPECT_EQ(child.stderr_text(), std::string(kCatalogWarning) + kRefusal);
  EXPECT_EQ(watcher.count_mapped(), 0);
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedLocaleTest,
                         ::testing::Values(RefusedCase{"C", "C"}, RefusedCase{"lower_codeset", "ko_KR.utf8"},
                                           RefusedCase{"no_codeset", "ko_KR"},
                                           RefusedCase{"modifier", "ko_KR.UTF-8@x"},
                                           RefusedCase{"euckr_name", "ko_KR.EUC-KR"},
                                           RefusedCase{"other_language", "en_US.UTF-8"},
                                           RefusedCase{"empty", ""}, RefusedCase{"unset", nullptr}),
                         [](const auto &info) { return std::string(info.param.name); });

// A running editor: its toplevel window once mapped, and ways to end it.
class RunningEditor {
 public:
  RunningEditor(const EnvChanges &env, std::vector<std::string> args = {}) {
    args.insert(args.begin(), GLOSSET_BINARY);
    child_.emplace(args, env);
    window_ = watcher_.next_toplevel();
  }
  Window window() const { return window_; }
  Display *display() const { return watcher_.display(); }
  Child &child() { return *child_; }
  MapWatcher &watcher() { return watcher_; }

 private:
  MapWatcher watcher_;
  std::optional<Child> child_;
  Window window_ = 0;
};

struct CatalogCase {
  const char *name;
  std::optional<std::string> nlspath;  // nullopt: unset
  bool found;
};

class CatalogSearchTest : public ::testing::TestWithParam<CatalogCase> {};

TEST_P(CatalogSearchTest, TitleAndWarningFollowTheSearchPath) {
  const CatalogCase &c = GetParam();
  EnvChanges env = app_test::build_tree_env("ko_KR.UTF-8");
  env["NLSPATH"] = c.nlspath;
  bool found = c.found;
  if (!c.nlspath) {
    // Unset: the program's own default path, which finds the catalog only
    // where `cmake --install` has put it.
    struct stat st;
    found = stat("/usr/xfront/lib/locale/ko_KR.UTF-8/LC_MESSAGES/glosset.cat", &st) == 0;
  }
  RunningEditor editor(env);
  ASSERT_NE(editor.window(), 0u) << editor.child().stderr_text();
  EXPECT_EQ(app_test::window_title(editor.display(), editor.window()), found ? kCatalogTitle : "glosset");
  app_test::send_wm_delete(editor.display(), editor.window());
  EXPECT_EQ(editor.child().wait(), 0);
  EXPECT_EQ(editor.child().stderr_text(), found ? "" : kCatalogWarning);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CatalogSearchTest,
    ::testing::Values(CatalogCase{"build_tree", GLOSSET_BUILD_DIR "/nls/%L/LC_MESSAGES/%N.cat", true},
                      CatalogCase{"bare_name_form", GLOSSET_BUILD_DIR "/nls/%L/LC_MESSAGES/%N", false},
                      CatalogCase{"empty", "", false}, CatalogCase{"nowhere", "/nonexistent/%L/%N.cat", false},
                      CatalogCase{"unset", std::nullopt, false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(ExitTest, FileCloseExitsZeroAndSessionIsAccepted) {
  scratch::Dir dir("glosset-session");
  RunningEditor editor(app_test::build_tree_env("ko_KR.UTF-8"), {"-session", dir.write("session", "")});
  ASSERT_NE(editor.window(), 0u) << editor.child().stderr_text();
  // File sits at the left end of the menu bar; its pulldown holds only Close.
  ASSERT_TRUE(app_test::click(editor.window(), 15, 12));
  Window menu = editor.watcher().next_menu();
  ASSERT_NE(menu, 0u);
  XWindowAttributes attrs;
  XGetWindowAttributes(editor.display(), menu, &attrs);
  ASSERT_TRUE(app_test::click(menu, attrs.width / 2, attrs.height / 2));
  EXPECT_EQ(editor.child().wait(), 0);
  EXPECT_EQ(editor.child().stderr_text(), "");
}

TEST(MenuTest, HelpOpensNothing) {
  RunningEditor editor(app_test::build_tree_env("ko_KR.UTF-8"));
  ASSERT_NE(editor.window(), 0u) << editor.child().stderr_text();
  XWindowAttributes attrs;
  XGetWindowAttributes(editor.display(), editor.window(), &attrs);
  // Help sits at the right end of the menu bar; it has no menu and no action.
  ASSERT_TRUE(app_test::click(editor.window(), attrs.width - 20, 12));
  EXPECT_EQ(editor.watcher().next_menu(500), 0u);
  app_test::send_wm_delete(editor.display(), editor.window());
  EXPECT_EQ(editor.child().wait(), 0);
  EXPECT_EQ(editor.child().stderr_text(), "");
}

}  // namespace

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::setlocale(LC_CTYPE, "C.UTF-8");  // window titles are read back as UTF-8
  return RUN_ALL_TESTS();
}
