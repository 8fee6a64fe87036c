// Rebuilds both tables from the C library's EUC-KR converter at test time, by
// another road than the generator (UCS-4 instead of UTF-8, std::map instead of
// sorting), and compares them with the compiled tables entry by entry.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <map>
#include <vector>

#include "conv/code_pair.h"

namespace {

std::uint32_t packed(char32_t cp) {
  return (0xE0 | cp >> 12) << 16 | (0x80 | (cp >> 6 & 0x3F)) << 8 | (0x80 | (cp & 0x3F));
}

// EUC-KR code -> code point, for every code iconv decodes to one character.
std::map<std::uint16_t, char32_t> iconv_mapping() {
  std::map<std::uint16_t, char32_t> out;
  iconv_t cd = iconv_open("UCS-4BE", "EUC-KR");
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  for (unsigned code = 0xA1A1; code <= 0xFEFE; ++code) {
    if ((code & 0xFF) < 0xA1 || (code & 0xFF) > 0xFE) continue;
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    unsigned char ucs[8];
    char *inp = in, *outp = reinterpret_cast<char *>(ucs);
    std::size_t inleft = sizeof in, outleft = sizeof ucs;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<std::size_t>(-1)) continue;
    if (inleft != 0 || outleft != 4) continue;  // exactly one character
    out[static_cast<std::uint16_t>(code)] =
        char32_t{ucs[0]} << 24 | char32_t{ucs[1]} << 16 | char32_t{ucs[2]} << 8 | ucs[3];
  }
  iconv_close(cd);
  return out;
}

std::map<std::uint16_t, char32_t> expected_euc_side() {
  auto m = iconv_mapping();
  for (std::uint16_t later : {0xA2E6, 0xA2E7, 0xA2E8}) m.erase(later);
  const std::pair<std::uint16_t, char32_t> exceptions[] = {
      {0xA1A4, 0x30FB}, {0xA1A9, 0x2013}, {0xA1AA, 0x2014}, {0xA1AB, 0x2016}, {0xA1AD, 0xFF5E},
      {0xA1EC, 0x00AB}, {0xA1ED, 0x00BB}, {0xA2A6, 0x02DC}, {0xA2B0, 0x2236}, {0xA2C1, 0x25C9},
  };
  for (auto [euc, cp] : exceptions) m[euc] = cp;
  return m;
}

TEST(IconvCheck, EucToUtfTableMatchesTheStandardMappingWithTheExceptions) {
  const auto expected = expected_euc_side();
  ASSERT_EQ(expected.size(), kEuc2UtfCount) << "iconv's EUC-KR table changed";
  std::size_t i = 0;
  for (auto [euc, cp] : expected) {
    ASSERT_EQ(euc2utf_tbl[i].euc, euc) << "entry " << i;
    ASSERT_EQ(euc2utf_tbl[i].utf, packed(cp)) << "entry " << i;
    ++i;
  }
}

TEST(IconvCheck, UtfToEucTableIsTheSamePairsPlusUnicode11Hangul) {
  std::map<std::uint32_t, std::uint16_t> expected;
  char32_t next_old_hangul = 0x3400;
  for (auto [euc, cp] : expected_euc_side()) {
    ASSERT_TRUE(expected.emplace(packed(cp), euc).second);
    if (euc >= 0xB0A1 && euc <= 0xC8FE) {
      ASSERT_TRUE(expected.emplace(packed(next_old_hangul++), euc).second);
    }
  }
  ASSERT_EQ(next_old_hangul, char32_t{0x3D2E});
  ASSERT_EQ(expected.size(), kUtf2EucCount);
  std::size_t i = 0;
  for (auto [utf, euc] : expected) {
    ASSERT_EQ(utf2euc_tbl[i].utf, utf) << "entry " << i;
    ASSERT_EQ(utf2euc_tbl[i].euc, euc) << "entry " << i;
    ++i;
  }
}

}  // namespace
