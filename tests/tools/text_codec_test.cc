// The command line's text codec against the plain converters: a character is
// taken exactly when converting it to EUC-KR and back gives it again, for
// every key of the conversion table and for strings mixing the refused ones in.
#include "tools/text_codec.h"

#include <gtest/gtest.h>

#include <span>

#include "conv/code_pair.h"
#include "editor/strconv.h"

namespace {

std::string packed_bytes(std::uint32_t utf) {
  return {static_cast<char>(utf >> 16), static_cast<char>(utf >> 8), static_cast<char>(utf)};
}

// The EUC-KR of `utf8` when the plain converters take it there and back unchanged.
std::optional<std::string> round_trip(const std::string &utf8) {
  char euc[64], back[96];
  if (utfs2eucs_bounded(euc, sizeof euc, utf8.c_str()) <= 0 || eucs2utfs_bounded(back, sizeof back, euc) <= 0 ||
      utf8 != back)
    return std::nullopt;
  return std::string(euc);
}

TEST(TextCodec, TakesACharacterExactlyWhenItComesBackUnchanged) {
  const std::string ga = "\xEA\xB0\x80";  // 가
  std::size_t taken = 0, refused = 0;
  for (const CodePair &p : std::span(utf2euc_tbl, kUtf2EucCount)) {
    std::string utf8 = packed_bytes(p.utf);
    SCOPED_TRACE(p.utf);
    std::optional<std::string> expected = round_trip(utf8);
    ASSERT_EQ(textcodec::to_euc(utf8), expected);
    ASSERT_EQ(textcodec::to_euc(ga + utf8 + ga), expected ? std::optional("\xB0\xA1" + *expected + "\xB0\xA1")
                                                          : std::nullopt);
    ++(expected ? taken : refused);
  }
  // The Unicode 1.1 Hangul and the three-byte forms of the characters below U+0800.
  EXPECT_EQ(refused, 2350u + 170u);
  EXPECT_EQ(taken, kUtf2EucCount - refused);
}

}  // namespace
