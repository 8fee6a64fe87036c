// glosset-dict's single-pair commands: exit codes, output, one-line errors.
#include <filesystem>
#include <random>

#include <sys/stat.h>

#include "tests/dict/dic_model.h"
#include "tests/support/scratch.h"
#include "tests/tools/cli_run.h"

namespace {

using namespace clitest;
using dicttest::HomeDir;

class CliTest : public HomeDir {
 protected:
  CliResult dict(std::vector<std::string> args) {
    args.insert(args.begin(), {"-f", dic()});
    return run_cli(home_.string(), args);
  }
  std::string dic() const { return (home_ / "test.hjd").string(); }
};

TEST_F(CliTest, ExitCodesOfThePairCommands) {
  struct Step {
    std::vector<std::string> args;
    int status;
    std::string out;  // expected standard output ("*" for any)
  } steps[] = {
      {{"check", "가", "家"}, 2, ""},          // no dictionary yet: cannot open
      {{"get", "가"}, 2, ""},
      {{"del", "가", "家"}, 2, ""},
      {{"add", "가", "家"}, 0, ""},
      {{"add", "가", "家"}, 0, ""},            // registered already
      {{"add", "가", "價"}, 0, ""},
      {{"add", "가", "家家"}, 1, ""},          // lengths differ
      {{"add", "ga", "家家"}, 1, ""},          // outside KS X 1001
      {{"add", "가가가가가가가가가", "家家家家家家家家家"}, 1, ""},  // nine characters
      {{"check", "가", "家"}, 0, ""},
      {{"check", "가", "佳"}, 1, ""},
      {{"check", "x", "y"}, 1, ""},
      {{"get", "가"}, 0, "家\n價\n"},
      {{"get", "나"}, 1, ""},
      {{"del", "가", "佳"}, 1, ""},
      {{"mod", "가", "家", "佳"}, 0, ""},
      {{"get", "가"}, 0, "價\n佳\n"},
      {{"mod", "가", "價", "價價"}, 1, ""},
      {{"mod", "가", "價", "價"}, 0, ""},
      {{"del", "가", "佳"}, 0, ""},
      {{"del", "가", "佳"}, 1, ""},
      {{"dump"}, 0, "가\t價\n"},
      {{"export"}, 0, "가\t價\n"},
      {{"verify"}, 0, "*"},
  };
  for (const Step &s : steps) {
    CliResult r = dict(s.args);
    std::string what = s.args[0] + (s.args.size() > 1 ? " " + s.args[1] : "");
    EXPECT_EQ(r.status, s.status) << what << ": " << r.err;
    if (s.out != "*") {
      EXPECT_EQ(r.out, s.out) << what;
    }
  }
}

TEST_F(CliTest, GetPrintsEveryWordNotOnlyTen) {
  std::string expected;
  for (const char *w : {"家", "價", "佳", "可", "歌", "街", "假", "加", "暇", "架", "嫁", "稼", "苛"}) {
    ASSERT_EQ(dict({"add", "가", w}).status, 0) << w;
    expected += std::string(w) + "\n";
  }
  EXPECT_EQ(dict({"get", "가"}).out, expected);
}

TEST_F(CliTest, ErrorsAreOneLineNamingTheFile) {
  struct Case {
    std::vector<std::string> args;
    std::string names;
  } cases[] = {
      {{"-f", "/nonexistent-dir/d.hjd", "add", "가", "家"}, "/nonexistent-dir/d.hjd"},
      {{"-f", "/nonexistent-dir/d.hjd", "check", "가", "家"}, "/nonexistent-dir/d.hjd"},
      {{"-f", "/nonexistent-dir/d.hjd", "verify"}, "/nonexistent-dir/d.hjd"},
      {{"-f", "/tmp", "get", "가"}, "/tmp"},
      {{"-f", "/" + std::string(90, 'a'), "get", "가"}, std::string(90, 'a')},
      {{"import", "/nonexistent-dir/pairs.txt"}, "/nonexistent-dir/pairs.txt"},
  };
  for (const Case &c : cases) {
    CliResult r = run_cli(home_.string(), c.args);
    EXPECT_EQ(r.status, 2) << c.names;
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find(c.names), std::string::npos) << r.err;
  }
}

// Nothing the command line is given may change the system dictionary, hang
// on a FIFO, or garble the terminal through the messages it echoes.
TEST_F(CliTest, RefusesSafely) {
  std::string sys = (home_ / "syshjd").string(), fifo = (home_ / "fifo").string();
  ASSERT_EQ(run_cli(home_.string(), {"-f", sys, "add", "가", "家"}).status, 0);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  dicttest::Bytes system = dicttest::read_file(sys);
  scratch::Env sysdic("SYSDICNAME", sys.c_str());
  std::string long_reading, long_word;
  for (int i = 0; i < 200; ++i) long_reading += "가", long_word += "家";
  struct Case {
    std::vector<std::string> args;
    bool home;
    int status;
    std::string says;  // a part of the one line on standard error
  } cases[] = {
      {{"add", "나", "羅"}, false, 2, "HOME is not set"},
      {{"-s", "add", "나", "羅"}, true, 2, "only read"},
      {{"-s", "del", "가", "家"}, true, 2, "only read"},
      {{"-s", "mod", "가", "家", "價"}, true, 2, "only read"},
      {{"-s", "import", "/dev/null"}, true, 2, "only read"},
      {{"-f", sys, "del", "가", "家"}, true, 2, "is the system dictionary"},
      {{"-f", fifo, "get", "가"}, true, 2, fifo},
      {{"-f", fifo, "add", "가", "家"}, true, 2, "not a regular file"},
      {{"-f", fifo, "verify"}, true, 2, fifo},
      {{"-f", fifo, "repair"}, true, 2, "not a regular file"},
      {{"add", "가\n\x1b[2J", "家"}, true, 1, "가\\n\\x1B[2J 家 refused"},
      {{"add", long_reading, long_word}, true, 1, "가…가"},
      {{"add", long_reading, long_word}, true, 1, "refused: longer than 8 characters\n"},
  };
  for (const Case &c : cases) {
    scratch::Env home("HOME", c.home ? home_.c_str() : nullptr);
    CliResult r = run_cli(home_.string(), c.args);
    EXPECT_EQ(r.status, c.status) << c.says << ": " << r.err;
    // A change asked of the system dictionary is wrong usage: the usage follows its line.
    EXPECT_EQ(lines(r.err) == 1, c.args[0] != "-s") << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(dicttest::read_file(sys), system) << c.says;
  }
}

TEST_F(CliTest, UsageErrors) {
  for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"get"}, {"check", "가"}, {"-s", "add", "가", "家"}, {"-x", "get", "가"}}) {
    EXPECT_EQ(run_cli(home_.string(), args).status, 2);
  }
}

TEST_F(CliTest, SystemDictionaryIsReadWithDashS) {
  ASSERT_EQ(dict({"add", "한자", "漢字"}).status, 0);
  CliResult r = run_cli(home_.string(), {"-s", "-f", dic(), "get", "한자"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "漢字\n");
  setenv("SYSDICNAME", dic().c_str(), 1);
  EXPECT_EQ(run_cli(home_.string(), {"-s", "check", "한자", "漢字"}).status, 0);
  EXPECT_EQ(run_cli(home_.string(), {"check", "한자", "漢字"}).status, 2);  // no $HOME/.usrhjd
}

TEST_F(CliTest, VerifyFindsDamageAndRefusesADirectory) {
  ASSERT_EQ(dict({"add", "가", "家"}).status, 0);
  dicttest::Bytes b = dicttest::read_file(dic());
  dicttest::set_num(b, 12 + 3 * 976, 0xFFFFFF);
  dicttest::write_file(dic(), b);
  CliResult r = dict({"verify"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("out of range"), std::string::npos) << r.out;
  EXPECT_EQ(dict({"add", "가", "價"}).status, 2);
  EXPECT_EQ(dicttest::read_file(dic()), b);
  EXPECT_EQ(run_cli(home_.string(), {"-f", home_.string(), "verify"}).status, 2);
}

// Random add/del/mod through the command line give the model's bytes.
TEST_F(CliTest, RandomChangesMatchTheModel) {
  struct Text {
    const char *utf8, *euc;
  };
  const Text readings[] = {{"가", "\xB0\xA1"}, {"나", "\xB3\xAA"}, {"가나", "\xB0\xA1\xB3\xAA"},
                           {"한자", "\xC7\xD1\xC0\xDA"}, {"다가나", "\xB4\xD9\xB0\xA1\xB3\xAA"}};
  const Text hanja[] = {{"家", "\xCA\xAB"}, {"價", "\xCA\xA4"}, {"佳", "\xCA\xA2"}, {"可", "\xCA\xA6"}};
  std::mt19937 rng(11);
  auto word = [&](std::size_t chars, std::string &utf8, std::string &euc) {
    utf8.clear(), euc.clear();
    for (std::size_t i = 0; i < chars; ++i) {
      const Text &t = hanja[rng() % 4];
      utf8 += t.utf8, euc += t.euc;
    }
  };
  dicmodel::Model model;
  ASSERT_EQ(dict({"add", "가", "家"}).status, 0);
  ASSERT_EQ(model.add("\xB0\xA1", "\xCA\xAB"), 0);
  for (int step = 0; step < 120; ++step) {
    const Text &r = readings[rng() % 5];
    std::size_t chars = std::string(r.euc).size() / 2;
    std::string a_utf, a_euc, b_utf, b_euc;
    word(chars, a_utf, a_euc);
    word(chars, b_utf, b_euc);
    int op = static_cast<int>(rng() % 3);
    CliResult run;
    if (op == 0) {
      run = dict({"add", r.utf8, a_utf});
      EXPECT_EQ(run.status, model.add(r.euc, a_euc) == 0 ? 0 : 2);
    } else if (op == 1) {
      run = dict({"del", r.utf8, b_utf});
      EXPECT_EQ(run.status, model.del(r.euc, b_euc) == 1 ? 0 : 1);
    } else {
      run = dict({"mod", r.utf8, b_utf, a_utf});
      EXPECT_EQ(run.status, model.mod(r.euc, b_euc, a_euc) >= 0 ? 0 : 2);
    }
    ASSERT_EQ(dicttest::read_file(dic()), model.bytes()) << "step " << step << " op " << op;
  }
}

}  // namespace
