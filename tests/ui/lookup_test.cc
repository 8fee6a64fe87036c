// The key a field text makes, in both text modes, without any window.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "editor/hanja_lookup.h"
#include "tests/support/scratch.h"

namespace {

struct KeyCase {
  const char *name;
  const char *lang;
  std::string text;
  bool has_key;
  std::string key;
};

std::string repeat(const std::string &s, int n) {
  std::string out;
  for (int i = 0; i < n; i++) out += s;
  return out;
}

class ReadingKeyTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ReadingKeyTest, MakesTheKeyOrRefuses) {
  const KeyCase &c = GetParam();
  setenv("LANG", c.lang, 1);
  std::string key = "untouched";
  EXPECT_EQ(make_reading_key(c.text.c_str(), &key), c.has_key) << c.lang;
  EXPECT_EQ(key, c.has_key ? c.key : std::string("untouched"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadingKeyTest,
    ::testing::Values(
        KeyCase{"utf8_hangul", "ko_KR.UTF-8", "한자", true, "\xc7\xd1\xc0\xda"},
        KeyCase{"euc_hangul", "ko", "\xc7\xd1\xc0\xda", true, "\xc7\xd1\xc0\xda"},
        // 32 syllables fill the 64 bytes of a key; 33 do not fit.
        KeyCase{"utf8_32_syllables_fill_the_key", "ko.UTF-8", repeat("한", 32), true, repeat("\xc7\xd1", 32)},
        KeyCase{"utf8_33_syllables_do_not_fit", "ko.UTF-8", repeat("한", 33), false, ""},
        KeyCase{"euc_32_syllables_fill_the_key", "korean", repeat("\xc7\xd1", 32), true, repeat("\xc7\xd1", 32)},
        KeyCase{"euc_33_syllables_do_not_fit", "korean", repeat("\xc7\xd1", 33), false, ""},
        // Text the converter refuses, and the empty field.
        KeyCase{"utf8_ascii_refused", "ko_KR.UTF-8", "abc", false, ""},
        KeyCase{"utf8_empty", "ko_KR.UTF-8", "", false, ""},
        KeyCase{"euc_empty", "ko_KR.EUC", "", false, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LookUpTest, WordsTheTablesCannotShowAppearInHex) {
  scratch::Dir dir("glosset-lookup");
  scratch::Env user("USRDICNAME", (dir / "usrhjd").c_str());
  scratch::Env system("SYSDICNAME", (dir / "missing").c_str());
  scratch::Env lang("LANG", "ko");
  // A2E6 (the euro sign of later editions) is no KS X 1001 character.
  ASSERT_GE(InsertHanjaWord(0, "\xc7\xd1\xc0\xda", "\xa2\xe6\xb0\xa1"), 0);
  ASSERT_GE(InsertHanjaWord(0, "\xc7\xd1\xc0\xda", "\xf9\xd3\xed\xae"), 0);
  const std::pair<const char *, const char *> modes[] = {{"ko", "\xc7\xd1\xc0\xda"}, {"ko_KR.UTF-8", "한자"}};
  for (const auto &[mode, reading] : modes) {
    lang.set(mode);
    std::vector<std::string> words = look_up_reading(reading).user;
    std::sort(words.begin(), words.end());
    const std::string han = std::string(mode) == "ko" ? "\xf9\xd3\xed\xae" : "漢字";
    EXPECT_EQ(words, (std::vector<std::string>{"<A2E6 B0A1>", han})) << mode;
  }
}

TEST(FindReportTest, ExactBytesInBothModes) {
  setenv("LANG", "ko_KR.UTF-8", 1);
  EXPECT_EQ(find_report(3, 10), "usrhjd에 3가지 와 syshjd에 10가지가 있음.");
  setenv("LANG", "ko_KR.EUC", 1);
  EXPECT_EQ(find_report(0, 2),
            "usrhjd\xbf\xa1 0\xb0\xa1\xc1\xf6 \xbf\xcd syshjd\xbf\xa1 2\xb0\xa1\xc1\xf6\xb0\xa1 \xc0\xd6\xc0\xbd.");
}

}  // namespace
