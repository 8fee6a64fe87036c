// Words reach a real input method: uim-byeoru (through uim-xim on the test's
// Xvfb) offers what glosset-dict and the editor's 더하기 dialog add, at the
// next conversion, with nothing restarted. uim reads ~/.uim and its words from
// the passwd home, so it runs in a private mount namespace with the test's
// directory bound over that home.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <pwd.h>
#include <unistd.h>

#include <memory>

#include "dict/hanja_util.h"
#include "tests/app/process.h"

namespace {

using app_test::xdotool;

class Uim : public ::testing::Test {
 protected:
  void SetUp() override {
    home_.write(".uim", "(define default-im-name 'byeoru)\n(define byeoru-commit-by-word? #t)\n");
    ASSERT_EQ(glosset_dict({"publish", "byeoru=" + byeoru_}), 0);
    const passwd *pw = getpwuid(getuid());
    ASSERT_NE(pw, nullptr);
    uim_ = std::make_unique<app_test::Child>(
        std::vector<std::string>{"/usr/bin/unshare", "-m", "sh", "-c", "mount --bind \"$0\" \"$1\" && exec uim-xim",
                                 home_.path(), pw->pw_dir},
        app_test::EnvChanges{{"LANG", "ko_KR.UTF-8"}, {"LC_ALL", "ko_KR.UTF-8"}});
    // Generous waits: uim loads its Scheme files at start, slowly on a busy machine.
    ASSERT_TRUE(app_test::wait_for([] { return std::system("xprop -root XIM_SERVERS | grep -q @server=uim") == 0; },
                                   20000))
        << uim_->stderr_text();
  }
  int glosset_dict(std::vector<std::string> args) {
    args.insert(args.begin(), {GLOSSET_DICT_BINARY, "-f", dict_});
    app_test::Child c(args, {{"XDG_CONFIG_HOME", config_}});
    return c.wait();
  }
  void start_client() {
    client_ = std::make_unique<app_test::Child>(
        std::vector<std::string>{XIM_CLIENT},
        app_test::EnvChanges{{"XMODIFIERS", "@im=uim"}, {"LANG", "ko_KR.UTF-8"}, {"LC_ALL", "ko_KR.UTF-8"}});
    ASSERT_TRUE(app_test::wait_for([&] { return client_->stderr_text().find("ready") != std::string::npos; }, 20000))
        << client_->stderr_text();
  }
  // Types the keys into the client; true once it received `commit:<word>`.
  bool typed(const std::string &keys, const std::string &word) {
    const std::string line = "commit:" + word + "\n";
    return xdotool("key --delay 60 " + keys) &&
           app_test::wait_for([&] { return client_->stderr_text().find(line) != std::string::npos; }, 20000);
  }

  scratch::Dir home_{"glosset-uim"};
  const std::string dict_ = home_ / ".usrhjd", config_ = home_ / ".config",
                    byeoru_ = home_ / ".uim.d/byeoru/byeoru-dict";
  std::unique_ptr<app_test::Child> uim_, client_;
};

TEST_F(Uim, WordsAddedWithGlossetDictAndTheEditorAreOfferedAtTheNextConversion) {
  start_client();
  ASSERT_EQ(glosset_dict({"add", "범용", "汎用"}), 0);
  EXPECT_TRUE(typed("shift+space q j a d y d F9 1", "汎用")) << client_->stderr_text();
  ASSERT_EQ(glosset_dict({"add", "편집기", "編輯器"}), 0);
  EXPECT_TRUE(typed("v u s w l q r l F9 1", "編輯器")) << client_->stderr_text();
  ASSERT_EQ(glosset_dict({"del", "편집기", "編輯器"}), 0);
  EXPECT_TRUE(typed("v u s w l q r l F9 1", "編輯")) << client_->stderr_text();  // byeoru's own 편집, then 기
  client_.reset();

  // The editor, its reading and word typed into 한글: and the 더하기 dialog as in the other end-to-end tests.
  app_test::EnvChanges env = app_test::build_tree_env("ko_KR.UTF-8");
  env["HOME"] = home_.path(), env["USRDICNAME"] = std::nullopt, env["XDG_CONFIG_HOME"] = config_;
  env["SYSDICNAME"] = GLOSSET_BUILD_DIR "/sample/syshjd", env["XMODIFIERS"] = std::nullopt;
  {
    app_test::RunningEditor editor(env, {GLOSSET_BINARY});
    ASSERT_NE(editor.window, 0u) << editor.child.stderr_text();
    EXPECT_TRUE(app_test::find_and_add(editor, "가상", "嘉尙"));
    EXPECT_TRUE(app_test::wait_for([&] { return scratch::read(byeoru_).find("가상:嘉尙:\n") != std::string::npos; }, 20000));
    app_test::send_wm_delete(editor.display(), editor.window);
    EXPECT_EQ(editor.child.wait(), 0);
  }
  start_client();
  EXPECT_TRUE(typed("shift+space r k t k d F9 1", "嘉尙")) << client_->stderr_text();
}

}  // namespace
