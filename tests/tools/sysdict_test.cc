// The default system dictionary as the build makes it from libhangul's table:
// every pair it was built from is found, in file order, and its chain layout
// answers exactly as the insertion layout of the same pairs does.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "dict/dic_builder.h"
#include "dict/dic_layout.h"
#include "dict/dic_verify.h"
#include "dict/dic_walk.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"
#include "tools/pair_file.h"
#include "tools/text_codec.h"

namespace {

using namespace dicttest;

struct Reading {
  std::string key;                 // EUC-KR
  std::vector<std::string> words;  // EUC-KR, in file order
};

// The pairs of the source table, read once for all tests.
struct Source {
  std::vector<Reading> readings;  // in the order of their first line
  std::size_t pairs = 0;
  DicBuilder builder;             // the insertion layout of the same pairs
};

const Source &source() {
  static const Source *loaded = [] {
    auto *s = new Source;  // lives as long as the test program
    FILE *in = std::fopen(GLOSSET_HANJA_TXT, "rb");
    if (in == nullptr) return s;
    std::map<std::string, std::size_t> index;
    read_pair_file(
        in,
        [&](const StorablePair &p) {
          if (s->builder.add(p.reading, p.word) != DicBuilder::Result::added) return;
          auto [it, fresh] = index.emplace(p.reading, s->readings.size());
          if (fresh) s->readings.push_back({p.reading, {}});
          s->readings[it->second].words.push_back(p.word);
          ++s->pairs;
        },
        nullptr);
    std::fclose(in);
    return s;
  }();
  return *loaded;
}

std::vector<std::string> lookup(int type, const std::string &key, int max) {
  char rows[100][kRowSize];
  int count = -1;
  int n = GetHanjaWord(type, key.c_str(), 0, max, &count, rows);
  EXPECT_EQ(n, count);
  std::vector<std::string> words;
  for (int i = 0; i < n; ++i) words.emplace_back(rows[i]);
  return words;
}

struct Pair {
  int slot;
  std::string key, value;
  bool operator==(const Pair &) const = default;
};

std::vector<Pair> all_pairs(int type) {
  std::vector<Pair> pairs;
  DicWalkResult walk = walk_pairs(type, [&](const DicPair &p) {
    pairs.push_back({p.slot, std::string(p.key), std::string(p.value)});
  });
  EXPECT_EQ(walk.opened, 0);
  EXPECT_EQ(walk.damaged_chains, 0);
  return pairs;
}

class SysDict : public HomeDir {
 protected:
  void SetUp() override {
    HomeDir::SetUp();
    if (!std::filesystem::exists(GLOSSET_HANJA_TXT)) GTEST_SKIP() << GLOSSET_HANJA_TXT << " is not installed";
    ASSERT_TRUE(std::filesystem::exists(GLOSSET_SYSDICT)) << "build the target glosset_sysdict";
    setenv("SYSDICNAME", GLOSSET_SYSDICT, 1);
  }
};

TEST_F(SysDict, HoldsExactlyTheStorablePairsOfTheTable) {
  const Source &s = source();
  EXPECT_EQ(s.pairs, 278984u);
  EXPECT_EQ(s.readings.size(), 221540u);
  VerifyReport report = verify_image(read_file(GLOSSET_SYSDICT));
  EXPECT_TRUE(report.sound()) << report.problems.front();
  EXPECT_EQ(report.keys, s.readings.size());
  EXPECT_EQ(report.values, s.pairs);
  EXPECT_EQ(report.free_nodes, 0u);
}

TEST_F(SysDict, FindsEveryPairInFileOrder) {
  for (const Reading &r : source().readings) {
    ASSERT_EQ(lookup(DIC_SYSTEM, r.key, 100), r.words) << textcodec::printable(r.key);
    for (const std::string &w : r.words)
      ASSERT_EQ(CheckDic(DIC_SYSTEM, r.key.c_str(), w.c_str()), 1) << textcodec::printable(r.key);
  }
}

struct WellKnown {
  const char *reading;
  const char *word;
};

class SysDictWellKnown : public SysDict, public ::testing::WithParamInterface<WellKnown> {};

TEST_P(SysDictWellKnown, IsAmongTheWordsOfItsReading) {
  std::string key = textcodec::to_euc(GetParam().reading).value();
  std::string word = textcodec::to_euc(GetParam().word).value();
  std::vector<std::string> words = lookup(DIC_SYSTEM, key, 100);
  EXPECT_NE(std::find(words.begin(), words.end(), word), words.end());
  EXPECT_EQ(CheckDic(DIC_SYSTEM, key.c_str(), word.c_str()), 1);
}

INSTANTIATE_TEST_SUITE_P(Readings, SysDictWellKnown,
                         ::testing::Values(WellKnown{"한자", "漢字"}, WellKnown{"대한민국", "大韓民國"},
                                           WellKnown{"학교", "學校"}, WellKnown{"국가", "國家"},
                                           WellKnown{"가", "家"}, WellKnown{"세계", "世界"},
                                           WellKnown{"문화", "文化"}, WellKnown{"인간", "人間"},
                                           WellKnown{"일", "日"}));

TEST_F(SysDict, LeavesOutWhatTheStoreCannotHold) {
  // A word with a character outside KS X 1001, and one longer than 8 characters.
  for (const char *reading : {"가", "가나다라마바사아자"}) {
    auto key = textcodec::to_euc(reading);
    if (!key) continue;
    for (const std::string &w : lookup(DIC_SYSTEM, *key, 100)) EXPECT_EQ(w.size(), key->size());
  }
  EXPECT_EQ(lookup(DIC_SYSTEM, "\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1\xB0\xA1", 100).size(),
            0u);
}

TEST_F(SysDict, IsTheChainLayoutOfTheInsertionBuild) {
  EXPECT_TRUE(chain_layout(source().builder.image()) == read_file(GLOSSET_SYSDICT));
}

// The insertion layout of the same pairs as the user dictionary, beside the
// chain layout as the system dictionary.
class Layouts : public SysDict {
 protected:
  void SetUp() override {
    SysDict::SetUp();
    if (IsSkipped()) return;
    write_file(user_dic(), source().builder.image());
  }
};

TEST_F(Layouts, DumpAlike) { EXPECT_TRUE(all_pairs(DIC_USER) == all_pairs(DIC_SYSTEM)); }

TEST_F(Layouts, LookUpAlike) {
  // Every lookup as the editor makes it, and every membership check.
  for (const Reading &r : source().readings) {
    ASSERT_EQ(lookup(DIC_USER, r.key, 10), lookup(DIC_SYSTEM, r.key, 10)) << textcodec::printable(r.key);
    for (const std::string &w : r.words)
      ASSERT_EQ(CheckDic(DIC_USER, r.key.c_str(), w.c_str()), CheckDic(DIC_SYSTEM, r.key.c_str(), w.c_str()));
  }
}

TEST_F(Layouts, ChangesWorkOnTheChainLayout) {
  std::filesystem::copy_file(GLOSSET_SYSDICT, user_dic(), std::filesystem::copy_options::overwrite_existing);
  const std::string fresh_key = "\xC7\xD1\xC0\xDA\xC7\xD1\xC0\xDA";  // 한자한자, not in the table
  const std::string fresh_word = kHanjaW + kHanjaW;
  ASSERT_EQ(lookup(DIC_USER, fresh_key, 10).size(), 0u);
  EXPECT_EQ(InsertHanjaWord(DIC_USER, fresh_key.c_str(), fresh_word.c_str()), 0);
  EXPECT_EQ(InsertHanjaWord(DIC_USER, kHanja.c_str(), (kGa1 + kGa2).c_str()), 0);  // 家價 under 한자
  EXPECT_EQ(lookup(DIC_USER, fresh_key, 10), std::vector<std::string>{fresh_word});
  std::vector<std::string> hanja = lookup(DIC_USER, kHanja, 10);
  ASSERT_FALSE(hanja.empty());
  EXPECT_EQ(hanja.front(), kHanjaW);
  EXPECT_EQ(hanja.back(), kGa1 + kGa2);
  EXPECT_EQ(DeleteHanjaWord(DIC_USER, kHanja.c_str(), kHanjaW.c_str()), 1);
  EXPECT_EQ(CheckDic(DIC_USER, kHanja.c_str(), kHanjaW.c_str()), 0);
  VerifyReport report = verify_image(user_bytes());
  EXPECT_TRUE(report.sound()) << report.problems.front();
  EXPECT_EQ(report.values, source().pairs + 1);
  EXPECT_EQ(report.free_nodes, 1u);
}

}  // namespace
