// utfs2eucs / eucs2utfs: grouping in threes and twos, failures, terminators and bounds.
#include "editor/strconv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "conv/euc_to_utf_sub.h"

namespace {

constexpr char kFill = 'Z';

struct Case {
  const char *name;
  const char *src;
  const char *dst;  // expected destination; "" on failure
  int result;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

using Converter = int (*)(char *, const char *);

// Runs conv on a filled buffer of exactly the size the caller must provide and
// checks the result, the destination, and that nothing past it was written.
void check(Converter conv, const Case &c, std::size_t room) {
  std::string buf(room + 8, kFill);
  const int r = conv(buf.data(), c.src);
  EXPECT_EQ(r, c.result);
  ASSERT_NE(std::memchr(buf.data(), '\0', room), nullptr) << "destination not terminated";
  EXPECT_EQ(std::string(buf.c_str()), std::string(c.dst));
  for (std::size_t i = room; i < buf.size(); ++i) ASSERT_EQ(buf[i], kFill) << "overrun at " << i;
}

class UtfsToEucs : public ::testing::TestWithParam<Case> {};
TEST_P(UtfsToEucs, Converts) {
  check(utfs2eucs, GetParam(), std::strlen(GetParam().src) * 2 / 3 + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UtfsToEucs,
    ::testing::Values(
        Case{"ga_unicode11", "\xE3\x90\x80", "\xB0\xA1", 1},
        Case{"hangul_word", "\xED\x95\x9C\xEA\xB8\x80", "\xC7\xD1\xB1\xDB", 2},  // 한글
        Case{"middle_dot_two_byte", "\xC2\xB7", "", 0},
        Case{"middle_dot_three_byte", "\xE0\x82\xB7", "", 0},
        Case{"plusminus_table_form", "\xE0\x82\xB1", "\xA1\xBE", 1},
        Case{"plusminus_two_byte", "\xC2\xB1", "", 0},  // only three-byte groups are keys
        Case{"ascii", "abc", "", 0}, Case{"ga_then_a", "\xEA\xB0\x80" "a", "", 0},
        Case{"a_then_ga", "a\xEA\xB0\x80", "", 0},
        Case{"good_then_bad", "\xEA\xB0\x80\xEA\xB0\x80\xE2\x82\xAC", "", 0},  // 가가€
        Case{"cut_short_by_one", "\xEA\xB0\x80\xEA\xB0", "", 0},
        Case{"cut_short_by_two", "\xEA\xB0\x80\xEA", "", 0}, Case{"empty", "", "", 0}),
    [](const auto &info) { return std::string(info.param.name); });

class EucsToUtfs : public ::testing::TestWithParam<Case> {};
TEST_P(EucsToUtfs, Converts) {
  check(eucs2utfs, GetParam(), std::strlen(GetParam().src) * 3 / 2 + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EucsToUtfs,
    ::testing::Values(Case{"hangul_word", "\xC7\xD1\xB1\xDB", "\xED\x95\x9C\xEA\xB8\x80", 2},
                      Case{"euro_later_addition", "\xA2\xE6", "", 0},
                      Case{"ga_then_later_addition", "\xB0\xA1\xA2\xE6", "", 0},
                      Case{"odd_length", "\xB0\xA1\xB0", "", 0},
                      Case{"ascii", "ab", "", 0}, Case{"ascii_odd", "a", "", 0},
                      Case{"ga_then_ascii", "\xB0\xA1" "ab", "", 0}, Case{"empty", "", "", 0}),
    [](const auto &info) { return std::string(info.param.name); });

// Every character through both string converters.  Characters below U+0800 come
// out of eucs2utfs in two bytes, which utfs2eucs does not take: their way back
// is the three-byte form the table holds.
TEST(StrconvRoundTrip, EveryCharacter) {
  int back = 0, two_byte = 0;
  for (unsigned code = 0xA1A1; code <= 0xFEFE; ++code) {
    if (euc2utf(static_cast<std::uint16_t>(code)) == 0) continue;
    const char euc[3] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF), 0};
    char utf[4], again[3];
    ASSERT_EQ(eucs2utfs(utf, euc), 1) << std::hex << code;
    if (std::strlen(utf) == 2) {
      ++two_byte;
      ASSERT_EQ(utfs2eucs(again, utf), 0) << std::hex << code;
      const unsigned cp = (utf[0] & 0x1F) << 6 | (utf[1] & 0x3F);
      const char table_form[4] = {'\xE0', static_cast<char>(0x80 | cp >> 6),
                                  static_cast<char>(0x80 | (cp & 0x3F)), 0};
      ASSERT_EQ(utfs2eucs(again, table_form), 1) << std::hex << code;
    } else {
      ASSERT_EQ(std::strlen(utf), 3u) << std::hex << code;
      ASSERT_EQ(utfs2eucs(again, utf), 1) << std::hex << code;
    }
    ASSERT_STREQ(again, euc) << std::hex << code;
    ++back;
  }
  EXPECT_EQ(back, 8224);
  EXPECT_EQ(two_byte, 170);
}

TEST(StrconvNull, NullSourceGivesEmptyDestination) {
  char dst[4] = "xyz";
  EXPECT_EQ(utfs2eucs(dst, nullptr), 0);
  EXPECT_STREQ(dst, "");
  std::strcpy(dst, "xyz");
  EXPECT_EQ(eucs2utfs(dst, nullptr), 0);
  EXPECT_STREQ(dst, "");
  EXPECT_EQ(utfs2eucs(nullptr, "\xEA\xB0\x80"), 0);
}

struct BoundedCase {
  const char *name;
  bool to_euc;
  const char *src;
  std::size_t size;
  int result;
  const char *dst;
};

void PrintTo(const BoundedCase &c, std::ostream *os) { *os << c.name; }

class StrconvBounded : public ::testing::TestWithParam<BoundedCase> {};

TEST_P(StrconvBounded, NeverWritesPastTheBuffer) {
  const BoundedCase &c = GetParam();
  std::string buf(c.size + 8, kFill);
  const int r = c.to_euc ? utfs2eucs_bounded(buf.data(), c.size, c.src)
                         : eucs2utfs_bounded(buf.data(), c.size, c.src);
  EXPECT_EQ(r, c.result);
  if (c.size > 0) {
    EXPECT_STREQ(buf.c_str(), c.dst);
  }
  for (std::size_t i = c.size; i < buf.size(); ++i) ASSERT_EQ(buf[i], kFill) << "overrun at " << i;
}

// 가나 is B0A1 B3AA in EUC-KR and EA B0 80, EB 82 98 in UTF-8.
INSTANTIATE_TEST_SUITE_P(
    Cases, StrconvBounded,
    ::testing::Values(
        BoundedCase{"euc_fits", true, "\xEA\xB0\x80\xEB\x82\x98", 5, 2, "\xB0\xA1\xB3\xAA"},
        BoundedCase{"euc_one_short", true, "\xEA\xB0\x80\xEB\x82\x98", 4, kStrconvTooLong, ""},
        BoundedCase{"euc_only_nul", true, "\xEA\xB0\x80", 1, kStrconvTooLong, ""},
        BoundedCase{"euc_empty", true, "", 1, 0, ""},
        BoundedCase{"euc_size_zero", true, "\xEA\xB0\x80", 0, 0, ""},
        BoundedCase{"euc_bad_input", true, "abc", 10, 0, ""},
        BoundedCase{"utf_fits", false, "\xB0\xA1\xB3\xAA", 7, 2, "\xEA\xB0\x80\xEB\x82\x98"},
        BoundedCase{"utf_one_short", false, "\xB0\xA1\xB3\xAA", 6, kStrconvTooLong, ""},
        BoundedCase{"utf_two_byte_fits", false, "\xA1\xBE", 3, 1, "\xC2\xB1"},
        BoundedCase{"utf_size_zero", false, "\xB0\xA1", 0, 0, ""},
        BoundedCase{"utf_bad_input", false, "\xA2\xE6", 10, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
