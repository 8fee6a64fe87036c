// The key a field text makes, and words the tables cannot show, without any window.
#include "editor/hanja_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dict/hanja_insert.h"
#include "tests/support/scratch.h"

namespace {

std::string repeat(const std::string &s, int n) {
  std::string out;
  for (int i = 0; i < n; i++) out += s;
  return out;
}

TEST(LookUp, ReadingKeysFillAtMost64Bytes) {
  const struct {
    const char *lang;
    std::string text;
    bool has_key;
    std::string key;
  } cases[] = {{"ko.UTF-8", repeat("한", 32), true, repeat("\xc7\xd1", 32)},
               {"ko.UTF-8", repeat("한", 33), false, ""},
               {"korean", repeat("\xc7\xd1", 32), true, repeat("\xc7\xd1", 32)},
               {"korean", repeat("\xc7\xd1", 33), false, ""},
               {"ko_KR.UTF-8", "abc", false, ""}};
  scratch::Env lang("LANG", nullptr);
  for (const auto &c : cases) {
    lang.set(c.lang);
    std::string key = "untouched";
    EXPECT_EQ(make_reading_key(c.text.c_str(), &key), c.has_key) << c.lang << " " << c.text.size();
    EXPECT_EQ(key, c.has_key ? c.key : "untouched") << c.lang << " " << c.text.size();
  }
}

TEST(LookUp, WordsTheTablesCannotShowAppearInHex) {
  scratch::Dir dir("glosset-lookup");
  scratch::Env user("USRDICNAME", (dir / "usrhjd").c_str()), system("SYSDICNAME", (dir / "missing").c_str());
  scratch::Env lang("LANG", "ko");
  ASSERT_GE(InsertHanjaWord(0, "\xc7\xd1\xc0\xda", "\xa2\xe6\xb0\xa1"), 0);  // A2E6: no KS X 1001 character
  ASSERT_GE(InsertHanjaWord(0, "\xc7\xd1\xc0\xda", "\xf9\xd3\xed\xae"), 0);
  for (const auto &[mode, reading, han] :
       {std::tuple{"ko", "\xc7\xd1\xc0\xda", "\xf9\xd3\xed\xae"}, {"ko_KR.UTF-8", "한자", "漢字"}}) {
    lang.set(mode);
    std::vector<std::string> words = look_up_reading(reading).user;
    std::sort(words.begin(), words.end());
    EXPECT_EQ(words, (std::vector<std::string>{"<A2E6 B0A1>", han})) << mode;
  }
}

}  // namespace
