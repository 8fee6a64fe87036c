// glosset-dict's commands: exit codes, output, one-line errors, pair files,
// the export formats, and the text conversion they all go through.
#include <pty.h>

#include "tests/tools/cli_run.h"

namespace {

using namespace clitest;
namespace fs = std::filesystem;

TEST_F(CliTest, PairCommands) {
  scratch::Env user("USRDICNAME", dic().c_str());
  struct Step { std::vector<std::string> args; int status; std::string out = ""; } steps[] = {  // "D": dic()
      {{"check", "가", "家"}, 2}, {{"get", "가"}, 2}, {{"del", "가", "家"}, 2}, {{"del", "x", "y"}, 2}, {{"dump"}, 2},
      {{"add", "가", "家"}, 0}, {{"add", "가", "家"}, 0}, {{"add", "가", "價"}, 0}, {{"add", "가", "家家"}, 1},
      {{"add", "ga", "家家"}, 1}, {{"add", "가가가가가가가가가", "家家家家家家家家家"}, 1},
      {{"check", "가", "家"}, 0}, {{"check", "가", "佳"}, 1}, {{"check", "x", "y"}, 1},
      {{"get", "가"}, 0, "家\n價\n"}, {{"-s", "-f", "D", "get", "가"}, 0, "家\n價\n"}, {{"get", "나"}, 1},
      {{"get", "x"}, 1}, {{"del", "가", "佳"}, 1}, {{"del", "x", "y"}, 1}, {{"mod", "가", "家", "佳"}, 0},
      {{"get", "가"}, 0, "價\n佳\n"}, {{"mod", "가", "價", "價價"}, 1}, {{"mod", "가", "x", "價"}, 1},
      {{"mod", "가", "價", "價"}, 0}, {{"del", "가", "佳"}, 0}, {{"del", "가", "佳"}, 1},
      {{"dump"}, 0, "가\t價\n"}, {{"export"}, 0, "가\t價\n"},
      {{"verify"}, 0, dic() + ": sound: 1 readings, 1 words, 2 free nodes\n"},
      {{"-s", "-f", "D", "verify"}, 0, dic() + ": sound: 1 readings, 1 words, 2 free nodes\n"},
      {{"-s", "-f", "D", "dump"}, 0, "가\t價\n"}, {{"-s", "-f", "D", "check", "가", "價"}, 0},
      // Only characters with a two-byte KS X 1001 code of their own: not A2E6-A2E8,
      // not the extension A Hanja older tables give codes, not U+90CE beside U+90DE.
      {{"add", "힘장사", "힘壯士"}, 0}, {{"add", "랑", "郞"}, 0}, {{"add", "랑", "郎"}, 1}, {{"add", "가", "€"}, 1},
      {{"add", "가", "®"}, 1}, {{"add", "가", "㤎"}, 1}, {{"add", "가", "\xEA\xB0"}, 1}, {{"add", "가", "é"}, 1},
      {{"add", "가a", "家家"}, 1}, {{"get", "랑"}, 0, "郞\n"}, {{"get", "힘장사"}, 0, "힘壯士\n"}};
  for (Step &s : steps) {
    std::replace(s.args.begin(), s.args.end(), std::string("D"), dic());
    CliResult r = run(s.args);
    EXPECT_EQ(r.status, s.status) << s.args[0] << " " << s.args.back() << ": " << r.err;
    EXPECT_EQ(r.out, s.out) << s.args[0] << " " << s.args.back();
  }
  std::string pairs, expected;
  for (int i = 0; i < 94; ++i) pairs += "나\t" + hanja(i) + "\n", expected += hanja(i) + "\n";
  ASSERT_EQ(run({"import", write("many.txt", pairs + pairs)}).status, 0);
  EXPECT_EQ(run({"get", "나"}).out, expected);  // more words than one batch of lookups gives
  for (const char *help : {"-h", "--help"}) {
    CliResult r = run({help});
    EXPECT_EQ(r.status, 0) << help;
    EXPECT_EQ(r.out.rfind("usage: glosset-dict", 0), 0u) << help;
  }
}

// Nothing the command line is given may change a dictionary, hang on a FIFO,
// or garble the terminal through the messages it echoes; every error is one
// line that names the file, or the usage.
TEST_F(CliTest, RefusesSafely) {
  std::string sys = path("syshjd"), fifo = path("fifo"), pairs = write("pairs.txt", "가\t家\n"), out = path("out.hjd");
  ASSERT_EQ(run({"-f", sys, "add", "가", "家"}).status, 0);
  ASSERT_EQ(run({"-f", dic(), "add", "가", "價"}).status, 0);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  fs::create_symlink(sys, path("sys-link"));  // another name of the system dictionary
  Bytes system = dicttest::read_file(sys);
  scratch::Env sysdic("SYSDICNAME", sys.c_str());
  std::string long_reading, long_word, missing = "/nonexistent-dir/d.hjd";
  for (int i = 0; i < 200; ++i) long_reading += "가", long_word += "家";
  auto cut = [](const std::string &c) {  // 200 of c echoed as 48 characters: 23, "…", 24
    std::string out;
    for (int i = 0; i < 48; ++i) out += i == 23 ? "…" : c;
    return out;
  };
  // Each case with standard error saying `says`, and with the variable `env` set to `value` (or unset).
  struct Case { std::vector<std::string> args; int status; std::string says; const char *env = "-", *value = 0; };
  std::vector<Case> cases = {
      {{"-f", missing, "add", "가", "家"}, 2, missing}, {{"-f", "/tmp", "verify"}, 2, "/tmp"},
      {{"-f", "/" + std::string(90, 'a'), "get", "가"}, 2, "longer than 79 bytes"},
      {{"import", "/nonexistent-dir/pairs.txt"}, 2, "/nonexistent-dir/pairs.txt: cannot open"},
      {{"import", "/tmp"}, 2, "/tmp: is a directory"}, {{"build", path("no/such/o.hjd"), pairs}, 2, "no/such/o.hjd"},
      {{"add", "나", "羅"}, 2, "HOME is not set", "HOME"}, {{"-s", "add", "나", "羅"}, 2, "only read"},
      {{"-s", "import", "/dev/null"}, 2, "only read"}, {{"-f", sys, "del", "가", "家"}, 2, "is the system dictionary"},
      {{"-f", fifo, "get", "가"}, 2, fifo}, {{"-f", fifo, "add", "가", "家"}, 2, "not a regular file"},
      {{"add", "가\n\x1b[2J", "家"}, 1, "가\\n\\x1B[2J 家 refused"}, {{"add", "é\xC2\x85", "家"}, 1, "é\\xC2\\x85 家"},
      {{"add", long_reading, long_word}, 1, " " + cut("가") + " " + cut("家") + " refused"},
      {{"add", "가\xFF", "家"}, 1, "가\\xFF 家"},
      {{"add", long_reading, long_word}, 1, "refused: longer than 8 characters\n"},
      {{}, 2, "no command"}, {{"frobnicate\x1b"}, 2, "unknown command frobnicate\\x1B"},
      {{"-x\x1b", "get", "가"}, 2, "unknown option -x\\x1B"}, {{"-f", path("sys-link"), "add", "가", "家"}, 2, "is the system dictionary"}, {{"-f", dic(), "export", "--merge"}, 2, "--merge goes with"},
      {{"-s", "export", "--format", "libhangul", "--merge"}, 2, "--merge goes with"},
      {{"-f", dic(), "export", "--format", "xml"}, 2, "unknown argument"}, {{"export", "--format"}, 2, "unknown argument"},
      {{"build", "--layout", "tree", out, pairs}, 2, "--layout takes"},
      {{"build", out, pairs, "--layout"}, 2, "--layout takes"},
      {{"build", out, pairs, "x"}, 2, "needs OUT and FILE"},
      {{"-f", dic(), "export", "--format", "libhangul", "--merge"}, 2, "missing.hjd", "SYSDICNAME", "missing.hjd"}};
  // Each command with one argument too few or one too many: a usage error that touches nothing.
  struct Arity { std::string name; int min, max; } arity[] = {
      {"get", 1, 1}, {"check", 2, 2}, {"add", 2, 2}, {"del", 2, 2}, {"mod", 3, 3}, {"dump", 0, 0},
      {"import", 1, 1}, {"verify", 0, 0}, {"repair", 0, 0}, {"export", 0, 3}, {"build", 2, 5}};
  for (const auto &[name, min, max] : arity) {
    for (int count : {min - 1, max + 1}) {
      std::vector<std::string> args = {"-f", dic(), name};
      args.resize(static_cast<std::size_t>(count) + 3, "가");
      if (count >= 0) cases.push_back({args, 2, "wrong number of arguments for " + name + "\nusage: "});
    }
  }
  Bytes before = bytes();
  for (const Case &c : cases) {
    scratch::Env env(c.env, c.value);
    CliResult r = run(c.args);
    EXPECT_TRUE(exited(r, c.status, c.says));
    EXPECT_EQ(lines(r.err) == 1, r.err.find("\nusage: ") == std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.out, "") << c.says;
  }
  EXPECT_EQ(dicttest::read_file(sys), system);
  EXPECT_EQ(bytes(), before);
  EXPECT_FALSE(fs::exists(out));
}

// Names of files, however made, reach the terminal escaped like every
// argument echoed: no escape sequence can set its title or colours.
TEST_F(CliTest, FileNamesAreShownEscaped) {
  const std::string esc = "\x1b]0;owned\x07", shown = "\\x1B]0;owned\\x07";
  std::string dic = path("d" + esc + ".hjd"), pairs = write("p" + esc + ".txt", "가\t家\nbad\n");
  ASSERT_EQ(run({"-f", dic, "add", "나", "羅"}).status, 0);
  Bytes damaged = dicttest::read_file(dic);
  dicttest::set_num(damaged, 12 + 3 * hash_bytes("\xB3\xAA"), 0);  // 나's chain cut off
  struct Case { std::vector<std::string> args; bool damage; } cases[] = {
      {{"-f", dic, "verify"}, false}, {{"-f", dic, "import", pairs}, false}, {{"build", path("o" + esc), pairs}, false},
      {{"-f", dic, "verify"}, true}, {{"-f", dic, "repair"}, true}};
  for (const Case &c : cases) {
    if (c.damage) dicttest::write_file(dic, damaged);
    CliResult r = run(c.args);
    std::string all = r.out + r.err;
    EXPECT_EQ(all.find_first_of("\x1b\x07"), std::string::npos) << c.args[2] << ": " << all;
    EXPECT_NE(all.find(shown), std::string::npos) << c.args[2] << ": " << all;
  }
}

// Pair files: both line forms, comments, skipped lines; import and build lay
// them out alike; export goes back to the same file; dump, export and the
// libhangul format list the pairs in their orders.
TEST_F(CliTest, PairFiles) {
  std::string text = "# comment\n\n가:家:집 가\n가\t價\r\n나:家家:\nabc:def:\nno separator\n"
                     "가가가가가가가가가:家家家家家家家家家:\n가\t家\t家\n가:家:again\n한자\t漢字\n가나\t家價";
  CliResult r = cli({"import", write("pairs.txt", text)});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  for (const char *n : {":5: skipped: word length", ":6: skipped: character", ":7: skipped: not", ":8: skipped: longer",
                        ":9: skipped: not", "5 of 12 lines skipped"})
    EXPECT_NE(r.err.find(n), std::string::npos) << n << " in " << r.err;
  EXPECT_EQ(lines(r.err), 6);
  CliResult built = run({"build", path("built.hjd"), path("pairs.txt")});
  EXPECT_EQ(built.status, 1);
  EXPECT_EQ(built.err, r.err);
  EXPECT_EQ(dicttest::read_file(path("built.hjd")), bytes());
  // Clean, redirected: silent.
  r = cli({"import", write("more.txt", "가\t佳\n")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err + r.out, "");
  // 가 is in slot 976, 가나 in 403, 한자 in 1713.
  EXPECT_EQ(cli({"dump"}).out, "가나\t家價\n가\t家\n가\t價\n가\t佳\n한자\t漢字\n");
  EXPECT_EQ(cli({"export"}).out, "가\t家\n가\t價\n한자\t漢字\n가나\t家價\n가\t佳\n");
  write("export.txt", cli({"export"}).out);
  ASSERT_EQ(run({"build", "--layout", "insertion", path("again.hjd"), path("export.txt")}).status, 0);
  EXPECT_EQ(dicttest::read_file(path("again.hjd")), bytes());
  EXPECT_EQ(cli({"export", "--format", "libhangul"}).out, "가:家:\n가:價:\n가:佳:\n가나:家價:\n한자:漢字:\n");
  // --merge: the user's words of a reading first, each word once.
  write("system.txt", "가:可:\n가:家:\n나:羅:\n한자:漢字:\n");
  ASSERT_EQ(run({"build", "--layout", "chain", path("system.hjd"), path("system.txt")}).status, 0);
  scratch::Env sys("SYSDICNAME", path("system.hjd").c_str());
  EXPECT_EQ(cli({"export", "--format", "libhangul", "--merge"}).out,
            "가:家:\n가:價:\n가:佳:\n가:可:\n가나:家價:\n나:羅:\n한자:漢字:\n");
  // build refuses to replace a file without --force, and leaves no temporary file.
  EXPECT_TRUE(exited(run({"build", path("again.hjd"), path("more.txt")}), 2, path("again.hjd") + ": exists"));
  EXPECT_EQ(dicttest::read_file(path("again.hjd")), bytes());
  EXPECT_EQ(run({"build", "--force", path("again.hjd"), path("more.txt")}).status, 0);
  EXPECT_EQ(fs::file_size(path("again.hjd")), 6012u + 2 * 6);
  EXPECT_EQ(std::distance(fs::directory_iterator(home_), fs::directory_iterator()), 8);  // no temporary file left
}

// On a terminal a long import shows its progress on one line, redrawn every
// 2,000 lines, and the messages after it start lines of their own.
TEST_F(CliTest, ProgressOnATerminal) {
  std::string text = "bad line\n", shown, name = dic();
  for (int i = 0; i < 5000; ++i) text += syllable(i % 2350) + "\t" + hanja(i % 4000) + "\n";
  std::string file = write("big.txt", text);
  termios raw{};
  cfmakeraw(&raw);
  int terminal = -1, ws = 0;
  pid_t pid = forkpty(&terminal, nullptr, &raw, nullptr);
  if (pid == 0) execl(GLOSSET_DICT, GLOSSET_DICT, "-f", name.c_str(), "import", file.c_str(), nullptr), _exit(127);
  char buf[4096];
  for (ssize_t n; pid > 0 && (n = read(terminal, buf, sizeof buf)) > 0;) shown.append(buf, static_cast<std::size_t>(n));
  close(terminal);
  waitpid(pid, &ws, 0);
  EXPECT_EQ(WEXITSTATUS(ws), 1);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), '\r'), 2) << shown;
  EXPECT_NE(shown.find("4000 lines\nglosset-dict: "), std::string::npos) << shown;
}

}  // namespace
