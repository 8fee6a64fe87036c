// The built editor as a process: refused locales, the catalog search path and
// its warning, "-session", the menus and the ways out.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <clocale>
#include <string>

#include "tests/app/process.h"

namespace {

using app_test::Child;
using app_test::EnvChanges;

constexpr char kCatalogWarning[] = "WARNING: Could not open message catalog: glosset. Messages will be defaults.\n";

TEST(Process, RefusedLocalesExitZeroWithTheMessageAndNoWindow) {
  for (const char *lang : {"C", "ko_KR.utf8", "ko_KR.EUC-KR", "", static_cast<const char *>(nullptr)}) {
    app_test::MapWatcher watcher;
    Child child({GLOSSET_BINARY}, app_test::build_tree_env(lang));
    EXPECT_EQ(child.wait(), 0) << (lang ? lang : "unset");
    // The catalog is opened before the gate, and none exists for these names.
    EXPECT_EQ(child.stderr_text(), std::string(kCatalogWarning) + "glosset runs under \"ko/ko.UTF-8\" locales only.\n\t");
    EXPECT_EQ(watcher.next_toplevel(100), 0u);
  }
}

TEST(Process, TitleAndWarningFollowTheCatalogSearchPath) {
  for (const char *nlspath : {GLOSSET_BUILD_DIR "/nls/%L/LC_MESSAGES/%N", "", "/nonexistent/%L/%N.cat"}) {
    EnvChanges env = app_test::build_tree_env("ko_KR.UTF-8");
    env["NLSPATH"] = nlspath;
    app_test::RunningEditor editor(env, {GLOSSET_BINARY});
    ASSERT_NE(editor.window, 0u) << editor.child.stderr_text();
    EXPECT_EQ(app_test::window_title(editor.display(), editor.window), "glosset");
    app_test::send_wm_delete(editor.display(), editor.window);
    EXPECT_EQ(editor.child.wait(), 0);
    EXPECT_EQ(editor.child.stderr_text(), kCatalogWarning) << nlspath;
  }
}

TEST(Process, HelpOpensNothingAndFileCloseExitsZero) {
  scratch::Dir dir("glosset-session");
  app_test::RunningEditor editor(app_test::build_tree_env("ko_KR.UTF-8"),
                                 {GLOSSET_BINARY, "-session", dir.write("session", "")});
  ASSERT_NE(editor.window, 0u) << editor.child.stderr_text();
  EXPECT_EQ(app_test::window_title(editor.display(), editor.window), "glosset - 한자 사전 편집기");
  XWindowAttributes attrs;
  XGetWindowAttributes(editor.display(), editor.window, &attrs);
  // Help sits at the right end of the menu bar, File at the left; File's pulldown holds only Close.
  ASSERT_TRUE(app_test::click(editor.window, attrs.width - 20, 12));
  EXPECT_EQ(editor.watcher.next_menu(500), 0u);
  ASSERT_TRUE(app_test::click(editor.window, 15, 12));
  Window menu = editor.watcher.next_menu();
  ASSERT_NE(menu, 0u);
  XGetWindowAttributes(editor.display(), menu, &attrs);
  ASSERT_TRUE(app_test::click(menu, attrs.width / 2, attrs.height / 2));
  EXPECT_EQ(editor.child.wait(), 0);
  EXPECT_EQ(editor.child.stderr_text(), "");
}

}  // namespace

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  std::setlocale(LC_CTYPE, "C.UTF-8");  // window titles are read back as UTF-8
  return RUN_ALL_TESTS();
}
