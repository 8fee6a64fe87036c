// The text mode follows LANG, read afresh on every call.
#include "editor/text_mode.h"

#include <gtest/gtest.h>

#include "tests/conv/lang_guard.h"

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
  LangGuard lang(c.lang);
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
  LangGuard lang("ko_KR.UTF-8");
  EXPECT_TRUE(is_utf8_mode());
  LangGuard::set("ko");
  EXPECT_FALSE(is_utf8_mode());
  LangGuard::set("ko.UTF-8");
  EXPECT_TRUE(is_utf8_mode());
}

TEST(TextMode, AcceptedLocalesInGateOrder) {
  const auto names = accepted_locales();
  ASSERT_EQ(names.size(), 5u);
  const char *expected[] = {"ko", "ko_KR.EUC", "korean", "ko_KR.UTF-8", "ko.UTF-8"};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_STREQ(names[i], expected[i]);
}

}  // namespace
