// utfs2eucs / eucs2utfs: grouping in threes and twos, failures, terminators and bounds.
#include "editor/strconv.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kUnbounded = SIZE_MAX;  // the plain converter, given the room its caller must provide

struct Case {
  bool to_euc;
  const char *src, *dst;  // dst: "" on failure
  int result;
  std::size_t size = kUnbounded;
};

// 가 is B0A1 and EA B0 80, 나 B3AA and EB 82 98, 한글 C7D1 B1DB and ED 95 9C EA B8 80.
const Case kCases[] = {
    {true, "\xE3\x90\x80", "\xB0\xA1", 1},  // the Unicode 1.1 form of 가
    {true, "\xED\x95\x9C\xEA\xB8\x80", "\xC7\xD1\xB1\xDB", 2},
    {true, "\xC2\xB7", "", 0},
    {true, "\xE0\x82\xB7", "", 0},
    {true, "\xE0\x82\xB1", "\xA1\xBE", 1},  // only the table's three-byte form of ± is a key
    {true, "\xC2\xB1", "", 0},
    {true, "abc", "", 0},
    {true, "\xEA\xB0\x80" "a", "", 0},
    {true, "a\xEA\xB0\x80", "", 0},
    {true, "\xEA\xB0\x80\xEA\xB0\x80\xE2\x82\xAC", "", 0},  // 가가€
    {true, "\xEA\xB0\x80\xEA\xB0", "", 0},
    {true, "\xEA\xB0\x80\xEA", "", 0},
    {true, "", "", 0},
    {false, "\xC7\xD1\xB1\xDB", "\xED\x95\x9C\xEA\xB8\x80", 2},
    {false, "\xA2\xE6", "", 0},  // the euro sign, a later addition
    {false, "\xB0\xA1\xA2\xE6", "", 0},
    {false, "\xB0\xA1\xB0", "", 0},
    {false, "ab", "", 0},
    {false, "a", "", 0},
    {false, "\xB0\xA1" "ab", "", 0},
    {false, "", "", 0},
    {true, "\xEA\xB0\x80\xEB\x82\x98", "\xB0\xA1\xB3\xAA", 2, 5},
    {true, "\xEA\xB0\x80\xEB\x82\x98", "", kStrconvTooLong, 4},
    {true, "\xEA\xB0\x80", "", kStrconvTooLong, 1},
    {true, "", "", 0, 1},
    {true, "\xEA\xB0\x80", "", 0, 0},
    {true, "abc", "", 0, 10},
    {false, "\xB0\xA1\xB3\xAA", "\xEA\xB0\x80\xEB\x82\x98", 2, 7},
    {false, "\xB0\xA1\xB3\xAA", "", kStrconvTooLong, 6},
    {false, "\xA1\xBE", "\xC2\xB1", 1, 3},  // below U+0800: the standard two-byte form
    {false, "\xB0\xA1", "", 0, 0},
    {false, "\xA2\xE6", "", 0, 10},
};

TEST(Strconv, ConvertsOrFailsWithinTheBuffer) {
  for (std::size_t i = 0; i < std::size(kCases); ++i) {
    const Case &c = kCases[i];
    const std::size_t n = std::strlen(c.src);
    const std::size_t room = c.size != kUnbounded ? c.size : c.to_euc ? n * 2 / 3 + 1 : n * 3 / 2 + 1;
    std::string buf(room + 8, 'Z');
    const int r = c.size != kUnbounded ? (c.to_euc ? utfs2eucs_bounded : eucs2utfs_bounded)(buf.data(), c.size, c.src)
                                       : (c.to_euc ? utfs2eucs : eucs2utfs)(buf.data(), c.src);
    EXPECT_EQ(r, c.result) << "case " << i;
    if (room > 0) {
      ASSERT_NE(std::memchr(buf.data(), '\0', room), nullptr) << "case " << i << ": not terminated";
      EXPECT_STREQ(buf.c_str(), c.dst) << "case " << i;
    }
    EXPECT_EQ(buf.substr(room), std::string(8, 'Z')) << "case " << i << ": overrun";
  }
}

TEST(Strconv, NullSourceGivesEmptyDestination) {
  char dst[4] = "xyz";
  EXPECT_EQ(utfs2eucs(dst, nullptr), 0);
  EXPECT_STREQ(dst, "");
  std::strcpy(dst, "xyz");
  EXPECT_EQ(eucs2utfs(dst, nullptr), 0);
  EXPECT_STREQ(dst, "");
  EXPECT_EQ(utfs2eucs(nullptr, "\xEA\xB0\x80"), 0);
}

}  // namespace
