// The files written for the input methods, read back by libhangul's own loader
// (the one fcitx5-hangul uses) and checked for the shape uim-byeoru's binary
// search needs.
#include <gtest/gtest.h>
#include <hangul.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "dict/dic_change.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "publish/publish.h"
#include "publish/system_table.h"
#include "tests/tools/cli_run.h"

namespace {

using publish::Pair;
using publish::Pairs;
using clitest::hanja;
using clitest::syllable;

std::vector<std::string> lines_of(const std::string &path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

struct Case {
  const char *name;
  Pairs (*pairs)();
};

const Case kCases[] = {
    {"a thousand words",
     [] {
       Pairs p = {{"한", "漢"}};  // also the system table's: one copy; byeoru gets the table's comment
       for (int i = 0; i < 999; ++i) p.push_back({syllable(i / 7) + syllable(i % 7 * 13), hanja(i) + hanja(i * 7 % 4888)});
       return p;
     }},
    {"readings sharing long prefixes",
     [] {
       Pairs p;
       std::string prefix;
       std::string words;
       for (int n = 0; n < 8; ++n) {  // 가, 가가, …: each a prefix of the next
         prefix += syllable(0), words += hanja(n);
         p.push_back({prefix, words});
       }
       for (int i = 0; i < 60; ++i) p.push_back({prefix.substr(0, 21) + syllable(i), words.substr(0, 21) + hanja(i)});
       return p;
     }},
};

class ImFiles : public ::testing::TestWithParam<Case> {
 protected:
  scratch::Dir dir_{"glosset-imfiles"};
  std::string dic_ = dir_ / "usrhjd";
  scratch::Env env_[3] = {{"USRDICNAME", dic_.c_str()}, {"XDG_CONFIG_HOME", (dir_ / "config").c_str()},
                          {"GLOSSET_HANJA_TABLE", nullptr}};
};

TEST_P(ImFiles, LibhangulFindsEveryUserWordFirstAndEverySystemWordAndByeoruLinesAreSorted) {
  Pairs pairs = GetParam().pairs();
  {
    ASSERT_EQ(create_dictionary(dic_.c_str()), 0);
    dicchange::Change change;  // one write for all of them
    ASSERT_TRUE(change.begin(dic_.c_str()));
    dicfile::Pager pages(change.source());
    for (const Pair &p : pairs)
      ASSERT_EQ(dicstore::insert_word(pages, dic_.c_str(), textcodec::to_euc(p.reading)->c_str(),
                                      textcodec::to_euc(p.word)->c_str()),
                0);
    ASSERT_TRUE(change.commit());
  }
  const std::string fcitx5 = dir_ / "share/libhangul/hanja/hanja.txt", byeoru = dir_ / "uim/byeoru-dict";
  for (const publish::Outcome &o : publish::publish_now({{publish::Kind::fcitx5, fcitx5}, {publish::Kind::byeoru, byeoru}}, false)) {
    EXPECT_TRUE(o.ok) << o.why;
    EXPECT_EQ(o.words, static_cast<long>(pairs.size()));
  }

  std::map<std::string, std::vector<std::string>> mine;
  for (const Pair &p : pairs) mine[p.reading].push_back(p.word);
  HanjaTable *table = hanja_table_load(fcitx5.c_str());
  ASSERT_NE(table, nullptr);
  auto values = [&](const std::string &key) {
    std::vector<std::string> out;
    HanjaList *list = hanja_table_match_exact(table, key.c_str());
    for (int i = 0; list != nullptr && i < hanja_list_get_size(list); ++i) out.push_back(hanja_list_get_nth_value(list, i));
    if (list != nullptr) hanja_list_delete(list);
    return out;
  };
  for (const auto &[reading, words] : mine) {
    std::vector<std::string> found = values(reading);
    ASSERT_GE(found.size(), words.size()) << reading;
    EXPECT_TRUE(std::is_permutation(words.begin(), words.end(), found.begin())) << reading;
    for (const std::string &w : words) EXPECT_EQ(std::count(found.begin(), found.end(), w), 1) << reading << w;
  }
  // Every 97th pair of the system table is still found.
  publish::SystemTable system;
  std::istringstream body{std::string(system.body())};
  int line = 0, checked = 0;
  for (std::string l; std::getline(body, l);) {
    if (++line % 97 != 0) continue;
    std::string key = l.substr(0, l.find(':')), word = l.substr(key.size() + 1);
    word = word.substr(0, word.find(':'));
    std::vector<std::string> found = values(key);
    EXPECT_NE(std::find(found.begin(), found.end(), word), found.end()) << l;
    ++checked;
  }
  EXPECT_GT(checked, 3000);
  hanja_table_delete(table);
  for (const std::string &l : lines_of(fcitx5)) ASSERT_LT(l.size(), 511u);

  std::vector<std::string> lines = lines_of(byeoru);
  EXPECT_EQ(lines.size(), pairs.size());
  EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
  for (const std::string &l : lines) EXPECT_EQ(std::count(l.begin(), l.end(), ':'), 2) << l;
  if (mine.count("한")) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), "한:漢:한수 한"), lines.end());
  }
}

INSTANTIATE_TEST_SUITE_P(Dictionaries, ImFiles, ::testing::ValuesIn(kCases), [](const auto &info) {
  std::string name = info.param.name;
  std::replace(name.begin(), name.end(), ' ', '_');
  return name;
});

}  // namespace
