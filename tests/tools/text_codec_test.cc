// The command line's text conversion accepts exactly the two-byte KS X 1001 characters.
#include <gtest/gtest.h>

#include "tools/text_codec.h"

namespace {

TEST(TextCodec, ToEucKr) {
  struct Case {
    const char *utf8;
    const char *euc;  // nullptr: refused
  } cases[] = {
      {"가", "\xB0\xA1"},
      {"한자", "\xC7\xD1\xC0\xDA"},
      {"漢字", "\xF9\xD3\xED\xAE"},
      {"힘壯士", "\xC8\xFB\xED\xE0\xDE\xCD"},  // Hangul mixed into a word is real data
      {"", ""},
      {"a", nullptr},           // ASCII is not a two-byte character
      {"가a", nullptr},
      {"€", nullptr},           // A2E6, a later addition
      {"®", nullptr},           // A2E7
      {"㤎", nullptr},          // extension A Hanja: not KS X 1001, whatever older tables say
      {"郞", "\xD5\xCD"},       // U+90DE has a code...
      {"郎", nullptr},          // ...U+90CE has none
      {"\xEA\xB0", nullptr},    // a cut-off character
      {"\xC3\xA9", nullptr},    // é: not in the set
  };
  for (const Case &c : cases) {
    auto got = textcodec::to_euc(c.utf8);
    if (c.euc == nullptr) {
      EXPECT_FALSE(got.has_value()) << c.utf8;
    } else {
      ASSERT_TRUE(got.has_value()) << c.utf8;
      EXPECT_EQ(*got, c.euc) << c.utf8;
    }
  }
}

TEST(TextCodec, ToUtf8AndPrintable) {
  EXPECT_EQ(textcodec::to_utf8("\xB0\xA1\xB3\xAA").value_or("?"), "가나");
  EXPECT_FALSE(textcodec::to_utf8("\xB0").has_value());
  EXPECT_FALSE(textcodec::to_utf8("\xA2\xE6").has_value());
  EXPECT_FALSE(textcodec::to_utf8("0!").has_value());
  EXPECT_EQ(textcodec::printable("0!"), "\\x30\\x21");
  EXPECT_EQ(textcodec::printable("\xC7\xD1"), "한");
}

}  // namespace
