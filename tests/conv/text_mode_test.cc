// The text mode follows LANG, read afresh on every call.
#include "editor/text_mode.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

struct LangCase {
  const char *lang;  // nullptr: LANG unset
  std::optional<TextMode> accepted;
};

void PrintTo(const LangCase &c, std::ostream *os) { *os << (c.lang ? c.lang : "(unset)"); }

class TextModeFor : public ::testing::TestWithParam<LangCase> {};

TEST_P(TextModeFor, MatchesExactNamesOnly) {
  const LangCase &c = GetParam();
  EXPECT_EQ(text_mode_for(c.lang), c.accepted);
  scratch::Env lang("LANG", c.lang);
  const bool utf8 = c.accepted == TextMode::utf8;
  EXPECT_EQ(is_utf8_mode(), utf8);
  EXPECT_EQ(current_text_mode(), utf8 ? TextMode::utf8 : TextMode::euc);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextModeFor,
    ::testing::Values(LangCase{"ko", TextMode::euc}, LangCase{"ko_KR.EUC", TextMode::euc},
                      LangCase{"korean", TextMode::euc}, LangCase{"ko_KR.UTF-8", TextMode::utf8},
                      LangCase{"ko.UTF-8", TextMode::utf8}, LangCase{"ko_KR.utf8", std::nullopt},
                      LangCase{"ko_KR.UTF-8@euro", std::nullopt}, LangCase{"ko_KR", std::nullopt},
                      LangCase{"KO", std::nullopt}, LangCase{"C", std::nullopt},
                      LangCase{"C.UTF-8", std::nullopt}, LangCase{"", std::nullopt},
                      LangCase{nullptr, std::nullopt}));

TEST(TextMode, FollowsLangChangesWithoutCaching) {
  scratch::Env lang("LANG", "ko_KR.UTF-8");
  EXPECT_TRUE(is_utf8_mode());
  lang.set("ko");
  EXPECT_FALSE(is_utf8_mode());
  lang.set("ko.UTF-8");
  EXPECT_TRUE(is_utf8_mode());
}

}  // namespace
