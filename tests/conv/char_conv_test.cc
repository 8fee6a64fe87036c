// utf2euc / euc2utf over the whole code space, against the C library's EUC-KR
// converter (UCS-4, not the generator's UTF-8 road) with the deliberate
// departures from the standard mapping.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <map>

#include "conv/code_pair.h"
#include "conv/euc_to_utf_sub.h"
#include "conv/utf_to_euc_sub.h"

namespace {

// Three UTF-8 bytes of a code point below U+10000, overlong below U+0800.
std::uint32_t packed(char32_t cp) {
  return (0xE0 | cp >> 12) << 16 | (0x80 | (cp >> 6 & 0x3F)) << 8 | (0x80 | (cp & 0x3F));
}

// The standard code point each exception replaces: it has no entry, except U+FF5E, taken over by A1AD.
const std::map<std::uint16_t, std::pair<char32_t, char32_t>> kExceptions = {
    {0xA1A4, {0x30FB, 0x00B7}}, {0xA1A9, {0x2013, 0x00AD}}, {0xA1AA, {0x2014, 0x2015}}, {0xA1AB, {0x2016, 0x2225}},
    {0xA1AD, {0xFF5E, 0x223C}}, {0xA1EC, {0x00AB, 0x226A}}, {0xA1ED, {0x00BB, 0x226B}}, {0xA2A6, {0x02DC, 0xFF5E}},
    {0xA2B0, {0x2236, 0x02D0}}, {0xA2C1, {0x25C9, 0x2299}}};

// EUC-KR code -> code point: iconv's single characters, without the later additions, with the exceptions.
std::map<std::uint16_t, char32_t> expected_mapping() {
  std::map<std::uint16_t, char32_t> out;
  iconv_t cd = iconv_open("UCS-4BE", "EUC-KR");
  for (unsigned code = 0xA1A1; code <= 0xFEFE; ++code) {
    char in[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
    unsigned char ucs[8];
    char *inp = in, *outp = reinterpret_cast<char *>(ucs);
    std::size_t inleft = sizeof in, outleft = sizeof ucs;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if ((code & 0xFF) < 0xA1 || iconv(cd, &inp, &inleft, &outp, &outleft) == static_cast<std::size_t>(-1) ||
        outleft != 4 || (code >= 0xA2E6 && code <= 0xA2E8))
      continue;
    out[static_cast<std::uint16_t>(code)] = char32_t{ucs[1]} << 16 | char32_t{ucs[2]} << 8 | ucs[3];
  }
  iconv_close(cd);
  for (const auto &[euc, cps] : kExceptions) out[euc] = cps.first;
  return out;
}

TEST(CharConv, EucToUtfOverTheWholeCodeSpace) {
  const auto expected = expected_mapping();
  ASSERT_EQ(expected.size(), kEuc2UtfCount) << "iconv's EUC-KR table changed";
  for (unsigned code = 0; code <= 0xFFFF; ++code) {
    auto it = expected.find(static_cast<std::uint16_t>(code));
    ASSERT_EQ(euc2utf(static_cast<std::uint16_t>(code)), it == expected.end() ? 0 : packed(it->second))
        << std::hex << code;
  }
}

TEST(CharConv, UtfToEucTakesEveryCharacterAndTheUnicode11Hangul) {
  unsigned next_old_hangul = 0x3400;
  for (const auto &[euc, cp] : expected_mapping()) {
    ASSERT_EQ(utf2euc(packed(cp)), euc) << std::hex << euc;
    // The Unicode 1.1 positions follow the EUC-KR order of the syllables.
    if (euc >= 0xB0A1 && euc <= 0xC8FE) {
      ASSERT_EQ(utf2euc(packed(next_old_hangul++)), euc) << std::hex << euc;
    }
  }
  EXPECT_EQ(next_old_hangul, 0x3D2Eu);
  EXPECT_EQ(kUtf2EucCount, kEuc2UtfCount + 2350);
  for (const auto &[euc, cps] : kExceptions) EXPECT_EQ(utf2euc(packed(cps.second)), euc == 0xA2A6 ? 0xA1AD : 0);
  for (std::uint32_t none : {0xE3B4AEu, 0xE38FBFu, 0x00C2B1u, packed(0x20AC), 0u, 0x616263u, 0x01EAB080u, 0xFFFFFFFFu})
    EXPECT_EQ(utf2euc(none), 0) << std::hex << none;
}

}  // namespace
