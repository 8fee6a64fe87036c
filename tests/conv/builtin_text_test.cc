// Built-in EUC-KR texts shown in the running text mode.
#include "editor/builtin_text.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

struct TextCase {
  const char *name;
  std::string_view euc;
  std::string_view utf8;
};

void PrintTo(const TextCase &c, std::ostream *os) { *os << c.name; }

// The EUC-KR bytes are spelled out so that the test does not depend on the
// converter it checks.
const TextCase kTexts[] = {
    {"find_report",
     "usrhjd\xBF\xA1 %d\xB0\xA1\xC1\xF6 \xBF\xCD syshjd\xBF\xA1 %d\xB0\xA1\xC1\xF6\xB0\xA1 "
     "\xC0\xD6\xC0\xBD.",
     "usrhjd에 %d가지 와 syshjd에 %d가지가 있음."},
    {"ascii_only", "Hanja %s\n\t~!", "Hanja %s\n\t~!"},
    {"plusminus", "\xA1\xBE" "1", "\xC2\xB1" "1"},  // below U+0800: standard two-byte form
    {"exception", "\xA1\xA4", "\xE3\x83\xBB"},
    {"later_addition", "a\xA2\xE6z", "a?z"},
    {"lone_lead_at_end", "\xB0\xA1\xB0", "\xEA\xB0\x80?"},
    {"lone_lead_before_ascii", "\xB0" "a", "?a"},
    {"empty", "", ""},
};

class BuiltinText : public ::testing::TestWithParam<TextCase> {};

TEST_P(BuiltinText, Utf8ModeConvertsKoreanAndPassesAscii) {
  for (const char *lang : {"ko_KR.UTF-8", "ko.UTF-8"}) {
    scratch::Env guard("LANG", lang);
    EXPECT_EQ(builtin_text(GetParam().euc), GetParam().utf8) << lang;
  }
  EXPECT_EQ(builtin_text(GetParam().euc, TextMode::utf8), GetParam().utf8);
}

TEST_P(BuiltinText, EucModeKeepsTheBytes) {
  for (const char *lang : {"ko", "ko_KR.EUC", "korean"}) {
    scratch::Env guard("LANG", lang);
    EXPECT_EQ(builtin_text(GetParam().euc), GetParam().euc) << lang;
  }
  EXPECT_EQ(builtin_text(GetParam().euc, TextMode::euc), GetParam().euc);
}

INSTANTIATE_TEST_SUITE_P(Texts, BuiltinText, ::testing::ValuesIn(kTexts),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(BuiltinTextCString, StopsAtTheTerminatorAndTakesNull) {
  scratch::Env guard("LANG", "ko_KR.UTF-8");
  const char text[] = "\xC7\xD1\0\xB1\xDB";
  EXPECT_EQ(builtin_text(text), "한");
  EXPECT_EQ(builtin_text(static_cast<const char *>(nullptr)), "");
}

}  // namespace
