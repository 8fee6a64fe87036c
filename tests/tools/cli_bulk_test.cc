// glosset-dict's whole-file commands: import, build, export, dump.
#include <filesystem>
#include <fstream>

#include "tests/tools/cli_run.h"

namespace {

using namespace clitest;
using dicttest::HomeDir;
namespace fs = std::filesystem;

const char kHanjaTxt[] = "/usr/share/libhangul/hanja/hanja.txt";

class CliBulkTest : public HomeDir {
 protected:
  std::string path(const char *name) const { return (home_ / name).string(); }
  void write_text(const char *name, const std::string &text) {
    std::ofstream(home_ / name, std::ios::binary) << text;
  }
  CliResult run(const std::vector<std::string> &args) { return run_cli(home_.string(), args); }
};

TEST_F(CliBulkTest, BuildEqualsImportOnRealPairs) {
  std::ifstream in(kHanjaTxt);
  if (!in) GTEST_SKIP() << kHanjaTxt << " is not installed";
  // Lines from the licence header, the start and two later stretches: comments,
  // skipped pairs, keys with many words, several pairs of one reading.
  std::string text, line;
  for (long n = 1; std::getline(in, line); ++n)
    if (n < 1500 || (n > 60000 && n < 61000) || (n > 200000 && n < 201200)) text += line + "\n";
  write_text("pairs.txt", text);

  CliResult imported = run({"-f", path("imported.hjd"), "import", path("pairs.txt")});
  CliResult built = run({"build", path("built.hjd"), path("pairs.txt")});
  ASSERT_NE(imported.status, 2) << imported.err;
  EXPECT_EQ(built.status, imported.status);
  EXPECT_EQ(built.err, imported.err);  // the same skipped lines, reported alike
  auto a = dicttest::read_file(path("imported.hjd"));
  auto b = dicttest::read_file(path("built.hjd"));
  EXPECT_GT(a.size(), 40000u);
  EXPECT_TRUE(a == b) << "import " << a.size() << " bytes, build " << b.size();
  EXPECT_EQ(run({"-f", path("built.hjd"), "verify"}).status, 0);

  // What export writes imports back into the same bytes (nothing was deleted).
  CliResult exported = run({"-f", path("built.hjd"), "export"});
  ASSERT_EQ(exported.status, 0);
  write_text("export.txt", exported.out);
  ASSERT_EQ(run({"build", path("again.hjd"), path("export.txt")}).status, 0);
  EXPECT_TRUE(dicttest::read_file(path("again.hjd")) == b);
}

TEST_F(CliBulkTest, SkippedLinesAreCountedAndReportedWithLineNumbers) {
  write_text("pairs.txt",
             "# comment\n"
             "\n"
             "가:家:집 가\n"
             "가\t價\n"
             "나:家家:\n"          // line 5: lengths differ
             "abc:def:\n"          // line 6: outside KS X 1001
             "no separator\n"      // line 7
             "가가가가가가가가가:家家家家家家家家家:\n"  // line 8: nine characters
             "가:家:again\n");
  CliResult r = run({"-f", path("d.hjd"), "import", path("pairs.txt")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(lines(r.err), 5);
  for (const char *n : {":5:", ":6:", ":7:", ":8:", "4 of 9 lines skipped"})
    EXPECT_NE(r.err.find(n), std::string::npos) << n << " in " << r.err;
  EXPECT_EQ(run({"-f", path("d.hjd"), "get", "가"}).out, "家\n價\n");
}

TEST_F(CliBulkTest, CleanImportIsSilentWhenRedirected) {
  write_text("pairs.txt", "가\t家\n한자\t漢字\n");
  CliResult r = run({"-f", path("d.hjd"), "import", path("pairs.txt")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "");
}

TEST_F(CliBulkTest, BuildRefusesToOverwriteWithoutForce) {
  write_text("pairs.txt", "가\t家\n");
  write_text("out.hjd", "precious");
  CliResult r = run({"build", path("out.hjd"), path("pairs.txt")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("out.hjd"), std::string::npos);
  EXPECT_EQ(slurp(path("out.hjd")), "precious");

  EXPECT_EQ(run({"build", "--force", path("out.hjd"), path("pairs.txt")}).status, 0);
  EXPECT_EQ(fs::file_size(path("out.hjd")), 6024u);
  int entries = 0;
  for (auto &e : fs::directory_iterator(home_)) entries += e.path().filename().string().rfind("out.hjd", 0) == 0;
  EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

TEST_F(CliBulkTest, BuildIntoAMissingDirectoryFailsCleanly) {
  write_text("pairs.txt", "가\t家\n");
  CliResult r = run({"build", path("no/such/out.hjd"), path("pairs.txt")});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(lines(r.err), 1);
  EXPECT_NE(r.err.find("no/such/out.hjd"), std::string::npos);
}

TEST_F(CliBulkTest, DumpGoesSlotBySlotInChainOrder) {
  // 한자 is in slot 1713, 가 and 0!-like readings in 976, 가나 in 403.
  write_text("pairs.txt", "한자\t漢字\n가\t家\n가나\t家價\n가\t價\n");
  ASSERT_EQ(run({"-f", path("d.hjd"), "import", path("pairs.txt")}).status, 0);
  EXPECT_EQ(run({"-f", path("d.hjd"), "dump"}).out, "가나\t家價\n가\t家\n가\t價\n한자\t漢字\n");
  EXPECT_EQ(run({"-f", path("d.hjd"), "export"}).out, "한자\t漢字\n가\t家\n가나\t家價\n가\t價\n");
}

}  // namespace
