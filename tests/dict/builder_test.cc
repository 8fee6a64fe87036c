// The in-memory builder lays pairs out exactly as one insertion after another
// into a new dictionary does.
#include <random>

#include "dict/dic_builder.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

class BuilderTest : public HomeDir {};

TEST_F(BuilderTest, EmptyBuildIsTheEmptyDictionary) {
  init();
  DicBuilder builder;
  EXPECT_EQ(builder.image(), user_bytes());
}

TEST_F(BuilderTest, ResultCodes) {
  DicBuilder builder;
  EXPECT_EQ(builder.add(kGa, kGa1), DicBuilder::Result::added);
  EXPECT_EQ(builder.add(kGa, kGa1), DicBuilder::Result::present);
  EXPECT_EQ(builder.add(kGa, kGaNa), DicBuilder::Result::refused);
  EXPECT_EQ(builder.add("\xB0", "\xCA"), DicBuilder::Result::refused);
  EXPECT_EQ(builder.add(std::string(18, '\xB0'), std::string(18, '\xCA')), DicBuilder::Result::refused);
  EXPECT_EQ(builder.pairs(), 1u);
}

TEST_F(BuilderTest, StopsBeforeOffsetsOutgrowTwentyFourBits) {
  DicBuilder builder;
  DicBuilder::Result last = DicBuilder::Result::added;
  std::uint32_t n = 0;
  for (; last == DicBuilder::Result::added; ++n) {
    std::string key(16, '\xB0');
    for (int i = 0; i < 4; ++i) key[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>(0xA1 + (n >> (6 * i)) % 64);
    last = builder.add(key, std::string(16, '\xCA'));
  }
  EXPECT_EQ(last, DicBuilder::Result::full);
  EXPECT_LE(builder.image().size(), 0xFFFFFFu);
  EXPECT_GT(builder.image().size() + 40, 0xFFFFFFu);
}

TEST_F(BuilderTest, MatchesInsertionOneByOne) {
  std::mt19937 rng(7);
  const std::string readings[] = {kGa, "0!", "\xB0!", kGaNa, kHanja, "\xB3\xAA", "\xB4\xD9\xB0\xA1\xB3\xAA"};
  DicBuilder builder;
  for (int i = 0; i < 400; ++i) {
    const std::string &key = readings[rng() % 7];
    std::string value;
    while (value.size() < key.size()) value += '\xCA', value += static_cast<char>(0xA1 + rng() % 6);
    if (rng() % 25 == 0) value += "\xCA\xA1";  // refused by both
    int inserted = InsertHanjaWord(0, key.c_str(), value.c_str());
    DicBuilder::Result built = builder.add(key, value);
    ASSERT_EQ(inserted == 0, built != DicBuilder::Result::refused) << i;
  }
  EXPECT_EQ(builder.image(), user_bytes());
}

}  // namespace
