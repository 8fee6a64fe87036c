// The text mode follows LANG, read afresh on every call.
#include "editor/text_mode.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

TEST(TextMode, MatchesExactNamesOnlyAndFollowsLangChanges) {
  const std::pair<const char *, std::optional<TextMode>> cases[] = {
      {"ko", TextMode::euc}, {"ko_KR.EUC", TextMode::euc}, {"korean", TextMode::euc},
      {"ko_KR.UTF-8", TextMode::utf8}, {"ko.UTF-8", TextMode::utf8}, {"ko_KR.utf8", std::nullopt},
      {"ko_KR.UTF-8@euro", std::nullopt}, {"ko_KR", std::nullopt}, {"KO", std::nullopt}, {"C", std::nullopt},
      {"C.UTF-8", std::nullopt}, {"", std::nullopt}, {nullptr, std::nullopt}};
  scratch::Env lang("LANG", nullptr);
  for (const auto &[name, accepted] : cases) {
    EXPECT_EQ(text_mode_for(name), accepted) << (name ? name : "unset");
    lang.set(name);
    EXPECT_EQ(is_utf8_mode(), accepted == TextMode::utf8) << (name ? name : "unset");
    EXPECT_EQ(current_text_mode(), accepted == TextMode::utf8 ? TextMode::utf8 : TextMode::euc);
  }
}

}  // namespace
