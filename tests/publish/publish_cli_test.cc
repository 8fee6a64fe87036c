// glosset-dict publish as a user runs it: words taken in from hand-made files,
// kept in step after changes, bad targets, and two writers at once.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>
#include <set>
#include <thread>

#include "tests/tools/cli_run.h"

namespace {

using clitest::CliResult;

class Publish : public clitest::CliTest {
 protected:
  std::string text(const std::string &name) const {
    dicttest::Bytes b = dicttest::read_file(path(name));
    return std::string(b.begin(), b.end());
  }
  std::vector<std::string> leftovers(const std::string &dir) const {
    std::vector<std::string> found;
    for (const auto &e : std::filesystem::directory_iterator(path(dir)))
      if (e.path().filename().string().find(".glosset-") != std::string::npos) found.push_back(e.path());
    return found;
  }
  // A shell script run in the home directory in a private mount namespace, where a small tmpfs fills up and a
  // read-only one refuses every write, also to root; "$1" is glosset-dict.
  CliResult in_namespace(const std::string &script) {
    return run({}, {"/usr/bin/unshare", "-m", "sh", "-c", "cd " + home_.string() + " && " + script, "sh"});
  }
  scratch::Env config_{"XDG_CONFIG_HOME", path("config").c_str()};
};

// A hand-made byeoru-dict: its words are taken in (the system table's too: byeoru has its own), what the
// dictionary cannot hold is listed beside it, the old file kept; later, a line someone adds is taken in,
// while a word deleted in glosset does not come back.
TEST_F(Publish, HandMadeWordsAreTakenInAndDeletedWordsStayDeleted) {
  const std::string hand_made = "가가:假假:\n한자:漢字:\nab:cd:\n";
  std::string file = write("byeoru-dict", hand_made);
  CliResult r = cli({"publish", "byeoru=" + file});
  ASSERT_TRUE(clitest::exited(r, 0, "")) << r.out;
  EXPECT_NE(r.out.find("2 words of " + file + " taken into the dictionary"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(file + ": 2 words written"), std::string::npos) << r.out;
  EXPECT_EQ(text("byeoru-dict"), "가가:假假:\n한자:漢字:\n");
  EXPECT_EQ(text("byeoru-dict.before-glosset"), hand_made);
  EXPECT_EQ(text("byeoru-dict.not-imported"), "ab:cd: character outside KS X 1001\n");

  std::ofstream(file, std::ios::app) << "가나:佳那:\n";  // someone else adds a line
  EXPECT_TRUE(clitest::exited(cli({"del", "가가", "假假"}), 0, ""));
  EXPECT_EQ(text("byeoru-dict"), "가나:佳那:\n한자:漢字:\n");
  EXPECT_TRUE(clitest::exited(cli({"check", "가나", "佳那"}), 0, ""));
  EXPECT_TRUE(clitest::exited(cli({"mod", "한자", "漢字", "韓字"}), 0, ""));
  EXPECT_EQ(text("byeoru-dict"), "가나:佳那:\n한자:韓字:\n");

  // Another dictionary's byeoru target is its own; a symbolic link is followed, its target replaced.
  std::filesystem::create_symlink(path("real-dict"), path("link"));
  EXPECT_EQ(run({"-f", path("other.hjd"), "publish", "byeoru=" + path("link")}).status, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(path("link")));
  EXPECT_EQ(text("real-dict"), "");
  r = cli({"publish"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "byeoru: " + file + ": 2 words written; uim-byeoru offers them at its next conversion\n");
  r = cli({"unpublish", "byeoru"});
  EXPECT_EQ(r.out, "byeoru: no longer kept in step; " + file + " stays as it is\n");
  EXPECT_TRUE(clitest::exited(cli({"add", "가가", "假假"}), 0, ""));
  EXPECT_EQ(text("byeoru-dict"), "가나:佳那:\n한자:韓字:\n");
  EXPECT_EQ(cli({"unpublish", "byeoru"}).status, 1);

  // import --from takes what the system table lacks: 假假 is there already, 韓 is the table's.
  write("other", "가가:假假:\n한:韓:\n가다:佳多:\n");
  r = cli({"import", "--from", "byeoru", path("other")});
  EXPECT_EQ(r.out, "1 words of " + path("other") + " taken into the dictionary\n");
  EXPECT_TRUE(clitest::exited(cli({"check", "한", "韓"}), 1, ""));
  EXPECT_EQ(cli({"publish", "ibus"}).status, 2);
}

// The target turned into something that cannot be written after it was published: the change stands (exit 0),
// the reason is on standard error, and no temporary file is left.
TEST_F(Publish, BadTargetsLeaveTheChangeStandingAndNoTemporaryFile) {
  struct Case {
    const char *name, *before, *after, *reason;
    const char *target = "t/f";
  };
  const Case cases[] = {
      {"directory", "", "rm t/f && mkdir t/f", "is a directory"},
      {"fifo", "", "rm t/f && mkfifo t/f", "is not a regular file"},
      {"read-only", "mount -t tmpfs -o size=64k tmpfs t", "mount -o remount,ro t", "Read-only file system"},
      {"full disk", "mount -t tmpfs -o size=16k tmpfs t", "{ head -c 100000 /dev/zero > t/fill; true; } 2>/dev/null",
       "No space left on device"},
      {"a file in the directory's place", "", "rm t/f && rmdir t && touch t", "/t: Not a directory"},
      {"directory not creatable", "mount -t tmpfs -o size=64k tmpfs t", "rm -r t/d && mount -o remount,ro t",
       "/t/d: Read-only file system", "t/d/f"},
  };
  for (const Case &c : cases) {
    std::filesystem::remove_all(path("t"));
    std::filesystem::create_directory(path("t"));
    CliResult r = in_namespace((*c.before ? std::string(c.before) + " && " : "") +
                               "\"$1\" -f words.hjd publish byeoru=" + c.target + " >/dev/null && " + c.after +
                               " && \"$1\" -f words.hjd add 가" + clitest::syllable(1) + " 佳那 && ls -a t 2>/dev/null >&2");
    EXPECT_TRUE(clitest::exited(r, 0, c.reason)) << c.name;
    EXPECT_NE(r.err.find(std::string(c.target) + ": cannot publish to byeoru: "), std::string::npos) << c.name;
    EXPECT_EQ(r.err.find(".glosset-"), std::string::npos) << c.name << ": " << r.err;
    EXPECT_TRUE(clitest::exited(cli({"del", "가" + clitest::syllable(1), "佳那"}), 0, "")) << c.name;
  }
}

// An edited hanja.txt gives up only the words libhangul's table lacks: the table's own stay in the file anyway.
TEST_F(Publish, AnEditedFcitx5TableGivesUpTheWordsTheSystemTableLacks) {
  std::string file = write("hanja.txt", "# mine\n한:韓:\n가가:假假:\n");
  CliResult r = cli({"publish", "fcitx5=" + file});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1 words of " + file + " taken into the dictionary"), std::string::npos) << r.out;
  EXPECT_TRUE(clitest::exited(cli({"check", "가가", "假假"}), 0, ""));
  EXPECT_TRUE(clitest::exited(cli({"check", "한", "韓"}), 1, ""));
  EXPECT_EQ(text("hanja.txt.before-glosset"), "# mine\n한:韓:\n가가:假假:\n");
  EXPECT_NE(text("hanja.txt").find("\n가가:假假:\n"), std::string::npos);
}

// When the words of a hand-made file cannot be taken in, the file is left as it was: nothing is published.
TEST_F(Publish, AFileWhoseWordsCannotBeTakenInIsNotOverwritten) {
  write("byeoru-dict", "가가:假假:\n");
  CliResult r = in_namespace("mkdir d && mount -t tmpfs -o size=64k tmpfs d && \"$1\" -f d/w.hjd add 가나 佳那 && "
                             "mount -o remount,ro d && \"$1\" -f d/w.hjd publish byeoru=byeoru-dict");
  EXPECT_TRUE(clitest::exited(r, 2, "cannot change the user dictionary: Read-only file system")) << r.out;
  EXPECT_EQ(text("byeoru-dict"), "가가:假假:\n");
  EXPECT_EQ(leftovers(".").size(), 0u);
}

// Each add publishes after its change under a lock: whichever comes last writes the file from a dictionary
// that holds both words.
TEST_F(Publish, TwoWritersAtOnceLeaveAWholeSortedFileWithBothWords) {
  const std::string file = path("uim/byeoru-dict");
  ASSERT_EQ(cli({"publish", "byeoru=" + file}).status, 0);
  std::set<std::string> expected;  // sorted, as the file must be
  for (int round = 0; round < 6; ++round) {
    std::vector<std::thread> writers;
    for (int w = 0; w < 2; ++w) {
      const int i = round * 2 + w;  // two characters: no comment from the system table
      const std::string reading = clitest::syllable(i) + clitest::syllable(i), word = clitest::hanja(i) + clitest::hanja(i);
      expected.insert(reading + ":" + word + ":\n");
      writers.emplace_back([this, reading, word] { EXPECT_EQ(cli({"add", reading, word}).status, 0); });
    }
    for (std::thread &t : writers) t.join();
    EXPECT_EQ(text("uim/byeoru-dict"), std::accumulate(expected.begin(), expected.end(), std::string())) << round;
  }
  EXPECT_TRUE(leftovers("uim").empty());
}

}  // namespace
