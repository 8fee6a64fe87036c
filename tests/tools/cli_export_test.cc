// glosset-dict's libhangul export and the two layouts of build.
#include <filesystem>
#include <fstream>

#include "tests/tools/cli_run.h"

#ifdef GLOSSET_HAVE_LIBHANGUL
#include <hangul.h>
#endif

namespace {

using namespace clitest;
using dicttest::HomeDir;

const char kHanjaTxt[] = "/usr/share/libhangul/hanja/hanja.txt";

class CliExportTest : public HomeDir {
 protected:
  std::string path(const char *name) const { return (home_ / name).string(); }
  void write_text(const char *name, const std::string &text) {
    std::ofstream(home_ / name, std::ios::binary) << text;
  }
  CliResult run(const std::vector<std::string> &args) { return run_cli(home_.string(), args); }
  // A user dictionary and a system dictionary made from pair texts.
  void make(const std::string &user, const std::string &system) {
    write_text("user.txt", user);
    write_text("system.txt", system);
    ASSERT_EQ(run({"-f", path("user.hjd"), "import", path("user.txt")}).status, 0);
    ASSERT_EQ(run({"build", "--layout", "chain", path("system.hjd"), path("system.txt")}).status, 0);
    setenv("SYSDICNAME", path("system.hjd").c_str(), 1);
  }
};

TEST_F(CliExportTest, LibhangulLinesAreSortedByReadingAndKeepTheWordOrder) {
  make("한자\t漢字\n가\t家\n가나\t家價\n가\t價\n", "");
  EXPECT_EQ(run({"-f", path("user.hjd"), "export", "--format", "libhangul"}).out,
            "가:家:\n가:價:\n가나:家價:\n한자:漢字:\n");
}

TEST_F(CliExportTest, MergePutsTheUsersWordsOfAReadingFirstAndNamesEachWordOnce) {
  make("가\t價\n가\t家\n한자\t韓子\n", "가:可:\n가:家:\n나:羅:\n한자:漢字:\n");
  CliResult r = run({"-f", path("user.hjd"), "export", "--format", "libhangul", "--merge"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "가:價:\n가:家:\n가:可:\n나:羅:\n한자:韓子:\n한자:漢字:\n");
}

TEST_F(CliExportTest, MergeWithoutASystemDictionaryFails) {
  make("가\t價\n", "");
  setenv("SYSDICNAME", path("missing.hjd").c_str(), 1);
  CliResult r = run({"-f", path("user.hjd"), "export", "--format", "libhangul", "--merge"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("missing.hjd"), std::string::npos);
  EXPECT_EQ(r.out, "");
}

struct Usage {
  std::vector<std::string> args;
};

class CliExportUsage : public CliExportTest, public ::testing::WithParamInterface<Usage> {};

TEST_P(CliExportUsage, IsRefused) {
  make("가\t價\n", "가:可:\n");
  std::vector<std::string> args = GetParam().args;
  for (std::string &a : args)
    if (a == "USER") a = path("user.hjd");
  for (std::string &a : args)
    if (a == "OUT") a = path("out.hjd");
  for (std::string &a : args)
    if (a == "PAIRS") a = path("user.txt");
  CliResult r = run(args);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(std::filesystem::exists(path("out.hjd")));
}

INSTANTIATE_TEST_SUITE_P(
    Args, CliExportUsage,
    ::testing::Values(Usage{{"-f", "USER", "export", "--merge"}},
                      Usage{{"-f", "USER", "export", "--format", "tsv", "--merge"}},
                      Usage{{"-s", "export", "--format", "libhangul", "--merge"}},
                      Usage{{"-f", "USER", "export", "--format", "xml"}},
                      Usage{{"-f", "USER", "export", "--format"}},
                      Usage{{"build", "--layout", "tree", "OUT", "PAIRS"}},
                      Usage{{"build", "OUT", "PAIRS", "--layout"}}));

// The whole table: both layouts hold the same pairs, the insertion layout is
// what import makes, and the libhangul export builds and imports back into the
// same pairs.
TEST_F(CliExportTest, RoundTripsTheWholeTable) {
  if (!std::filesystem::exists(kHanjaTxt)) GTEST_SKIP() << kHanjaTxt << " is not installed";
  ASSERT_EQ(run({"build", "--layout", "chain", path("chain.hjd"), kHanjaTxt}).status, 1);
  ASSERT_EQ(run({"build", "--layout", "insertion", path("insertion.hjd"), kHanjaTxt}).status, 1);
  ASSERT_EQ(run({"build", path("default.hjd"), kHanjaTxt}).status, 1);
  EXPECT_TRUE(dicttest::read_file(path("insertion.hjd")) == dicttest::read_file(path("default.hjd")));
  EXPECT_FALSE(dicttest::read_file(path("insertion.hjd")) == dicttest::read_file(path("chain.hjd")));
  EXPECT_EQ(run({"-f", path("chain.hjd"), "verify"}).status, 0);
  std::string dumped = run({"-f", path("insertion.hjd"), "dump"}).out;
  EXPECT_EQ(lines(dumped), 278984);
  EXPECT_EQ(run({"-f", path("chain.hjd"), "dump"}).out, dumped);

  CliResult exported = run({"-f", path("chain.hjd"), "export", "--format", "libhangul"});
  ASSERT_EQ(exported.status, 0);
  EXPECT_EQ(lines(exported.out), 278984);
  write_text("export.txt", exported.out);
  ASSERT_EQ(run({"build", path("again.hjd"), path("export.txt")}).status, 0);
  EXPECT_EQ(run({"-f", path("again.hjd"), "export", "--format", "libhangul"}).out, exported.out);

  // import, pair by pair, of a stretch of the export into an empty dictionary.
  std::string part;
  std::size_t at = 0;
  for (int n = 0; n < 3000; ++n) at = exported.out.find('\n', at) + 1;
  part = exported.out.substr(0, at);
  write_text("part.txt", part);
  ASSERT_EQ(run({"-f", path("imported.hjd"), "import", path("part.txt")}).status, 0);
  EXPECT_EQ(run({"-f", path("imported.hjd"), "export", "--format", "libhangul"}).out, part);

#ifdef GLOSSET_HAVE_LIBHANGUL
  // libhangul's own loader finds the words in the order they were written.
  HanjaTable *table = hanja_table_load(path("export.txt").c_str());
  ASSERT_NE(table, nullptr);
  for (const auto &[key, words] : std::vector<std::pair<const char *, std::vector<std::string>>>{
           {"한자", {"漢字", "漢子", "韓子"}}, {"학교", {"學校", "學敎"}}, {"대한민국", {"大韓民國"}}}) {
    HanjaList *list = hanja_table_match_exact(table, key);
    ASSERT_NE(list, nullptr) << key;
    std::vector<std::string> got;
    for (int i = 0; i < hanja_list_get_size(list); ++i) got.emplace_back(hanja_list_get_nth_value(list, i));
    EXPECT_EQ(got, words) << key;
    hanja_list_delete(list);
  }
  hanja_table_delete(table);
#endif
}

}  // namespace
