// utf2euc / euc2utf over the whole code space, and the deliberate departures
// from the standard mapping.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "conv/euc_to_utf_sub.h"
#include "conv/utf_to_euc_sub.h"

namespace {

// Three UTF-8 bytes of a code point below U+10000, overlong below U+0800.
std::uint32_t packed(char32_t cp) {
  const std::uint32_t b0 = 0xE0 | cp >> 12, b1 = 0x80 | (cp >> 6 & 0x3F), b2 = 0x80 | (cp & 0x3F);
  return b0 << 16 | b1 << 8 | b2;
}

// Walks the whole two-byte code space rather than the table, so that a code
// the search cannot find, or one that comes back as another, shows up.
TEST(CharConvRoundTrip, EveryKsX1001CharacterComesBack) {
  int found = 0, hanja = 0, hangul = 0;
  std::set<std::uint32_t> seen;
  for (unsigned hi = 0x00; hi <= 0xFF; ++hi) {
    for (unsigned lo = 0x00; lo <= 0xFF; ++lo) {
      const auto euc = static_cast<std::uint16_t>(hi << 8 | lo);
      const std::uint32_t utf = euc2utf(euc);
      if (utf == 0) continue;
      ++found;
      ASSERT_TRUE(hi >= 0xA1 && hi <= 0xFE && lo >= 0xA1 && lo <= 0xFE) << std::hex << euc;
      ASSERT_TRUE(seen.insert(utf).second) << std::hex << euc;
      ASSERT_EQ(utf2euc(utf), euc) << std::hex << euc;
      hanja += hi >= 0xCA;
      hangul += hi >= 0xB0 && hi <= 0xC8;
    }
  }
  EXPECT_EQ(found, 8224);
  EXPECT_EQ(hanja, 4888);
  EXPECT_EQ(hangul, 2350);
}

struct Exception {
  std::uint16_t euc;
  char32_t table_cp;
  char32_t standard_cp;
};

void PrintTo(const Exception &e, std::ostream *os) { *os << std::hex << e.euc; }

class CharConvExceptions : public ::testing::TestWithParam<Exception> {};

TEST_P(CharConvExceptions, MapsAsListedAndTheStandardCharacterHasNoEntry) {
  const Exception e = GetParam();
  EXPECT_EQ(euc2utf(e.euc), packed(e.table_cp));
  EXPECT_EQ(utf2euc(packed(e.table_cp)), e.euc);
  if (e.standard_cp == 0xFF5E)  // taken over by 0xA1AD
    EXPECT_EQ(utf2euc(packed(e.standard_cp)), 0xA1AD);
  else
    EXPECT_EQ(utf2euc(packed(e.standard_cp)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    All, CharConvExceptions,
    ::testing::Values(Exception{0xA1A4, 0x30FB, 0x00B7}, Exception{0xA1A9, 0x2013, 0x00AD},
                      Exception{0xA1AA, 0x2014, 0x2015}, Exception{0xA1AB, 0x2016, 0x2225},
                      Exception{0xA1AD, 0xFF5E, 0x223C}, Exception{0xA1EC, 0x00AB, 0x226A},
                      Exception{0xA1ED, 0x00BB, 0x226B}, Exception{0xA2A6, 0x02DC, 0xFF5E},
                      Exception{0xA2B0, 0x2236, 0x02D0}, Exception{0xA2C1, 0x25C9, 0x2299}));

struct Single {
  const char *what;
  std::uint32_t utf;
  std::uint16_t euc;  // 0: no entry
};

void PrintTo(const Single &s, std::ostream *os) { *os << s.what; }

class CharConvUtfToEuc : public ::testing::TestWithParam<Single> {};

TEST_P(CharConvUtfToEuc, Maps) { EXPECT_EQ(utf2euc(GetParam().utf), GetParam().euc); }

INSTANTIATE_TEST_SUITE_P(
    Cases, CharConvUtfToEuc,
    ::testing::Values(Single{"after 1.1", 0xE3B4AE, 0}, Single{"before 1.1", 0xE38FBF, 0},
                      Single{"hanja one", 0xE4B880, 0xECE9}, Single{"two-byte plusminus", 0x00C2B1, 0},
                      Single{"euro", packed(0x20AC), 0}, Single{"zero", 0, 0}, Single{"ascii", 0x616263, 0},
                      Single{"above 24 bits", 0x01EAB080, 0}, Single{"all bits", 0xFFFFFFFF, 0}),
    [](const auto &info) {
      std::string n = info.param.what;
      for (auto &c : n)
        if (c == ' ' || c == '.' || c == '-') c = '_';
      return n;
    });

TEST(CharConvEucToUtf, LaterAdditionsAndNonCodesHaveNoEntry) {
  for (std::uint16_t euc : {0xA2E6, 0xA2E7, 0xA2E8, 0x0000, 0x0041, 0xA1A0, 0xFEFE, 0xFFFF})
    EXPECT_EQ(euc2utf(euc), 0u) << std::hex << euc;
  EXPECT_EQ(euc2utf(0xB0A1), 0xEAB080u);  // never the Unicode 1.1 form
}

// The Unicode 1.1 positions follow the EUC-KR order of the syllables, 94 to a row.
TEST(CharConvUnicode11, AllPositionsReachTheirSyllable) {
  for (unsigned i = 0; i < 2350; ++i) {
    const auto euc = static_cast<std::uint16_t>((0xB0 + i / 94) << 8 | (0xA1 + i % 94));
    ASSERT_EQ(utf2euc(packed(0x3400 + i)), euc) << i;
    ASSERT_NE(euc2utf(euc), packed(0x3400 + i)) << i;
  }
}

}  // namespace
