// Built-in EUC-KR texts shown in the running text mode.
#include "editor/builtin_text.h"

#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

// The EUC-KR bytes are spelled out so that the test does not depend on the converter it checks.
TEST(BuiltinText, Utf8ModeConvertsKoreanAndEucModeKeepsTheBytes) {
  const std::pair<std::string_view, std::string_view> texts[] = {
      {"usrhjd\xBF\xA1 %d\xB0\xA1\xC1\xF6 \xBF\xCD syshjd\xBF\xA1 %d\xB0\xA1\xC1\xF6\xB0\xA1 \xC0\xD6\xC0\xBD.",
       "usrhjd에 %d가지 와 syshjd에 %d가지가 있음."},
      {"Hanja %s\n\t~!", "Hanja %s\n\t~!"},
      {"\xA1\xBE" "1", "\xC2\xB1" "1"},  // below U+0800: standard two-byte form
      {"\xA1\xA4", "\xE3\x83\xBB"},
      {"a\xA2\xE6z", "a?z"},  // a later addition
      {"\xB0\xA1\xB0", "\xEA\xB0\x80?"},
      {"\xB0" "a", "?a"},
      {"", ""}};
  scratch::Env lang("LANG", nullptr);
  for (const auto &[euc, utf8] : texts) {
    for (const char *name : {"ko_KR.UTF-8", "ko.UTF-8", "ko", "ko_KR.EUC", "korean"}) {
      lang.set(name);
      EXPECT_EQ(builtin_text(euc), std::string_view(name).find("UTF") != std::string_view::npos ? utf8 : euc) << name << " " << utf8;
    }
    EXPECT_EQ(builtin_text(euc, TextMode::utf8), utf8);
    EXPECT_EQ(builtin_text(euc, TextMode::euc), euc);
  }
  lang.set("ko_KR.UTF-8");
  EXPECT_EQ(builtin_text("\xC7\xD1\0\xB1\xDB"), "한");  // up to the terminator
  EXPECT_EQ(builtin_text(static_cast<const char *>(nullptr)), "");
}

}  // namespace
