// The serialised item list of the drag service: what a drop site accepts from
// a selection value, which may come from any client.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dtb/dt/dnd_items.h"

namespace {

using dtdnd::Item;

TEST(DndItems, PackedItemsComeBackUnchanged) {
  std::vector<Item> items = {{"note", "payload"}, {"", std::string("a\0b", 3)}, {"empty", ""}};
  std::vector<Item> back;
  ASSERT_TRUE(dtdnd::unpack(dtdnd::pack(items), &back));
  ASSERT_EQ(back.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(back[i].name, items[i].name) << i;
    EXPECT_EQ(back[i].bytes, items[i].bytes) << i;
  }
}

TEST(DndItems, LayoutIsBigEndianLengthsBeforeBytes) {
  std::string packed = dtdnd::pack({{"n", "xy"}});
  EXPECT_EQ(packed, std::string("\0\0\0\1" "\0\0\0\1" "n" "\0\0\0\2" "xy", 15));
}

struct BadCase {
  const char *name;
  std::string value;
};

void PrintTo(const BadCase &c, std::ostream *os) { *os << c.name; }

class MalformedValue : public ::testing::TestWithParam<BadCase> {};

TEST_P(MalformedValue, IsRefused) {
  std::vector<Item> items = {{"stale", "stale"}};
  EXPECT_FALSE(dtdnd::unpack(GetParam().value, &items));
}

INSTANTIATE_TEST_SUITE_P(
    Values, MalformedValue,
    ::testing::Values(BadCase{"Empty", ""}, BadCase{"ShortCount", std::string("\0\0\1", 3)},
                      // A count of 2^32 - 1 items in a value of 4 bytes.
                      BadCase{"LyingCount", std::string("\xFF\xFF\xFF\xFF", 4)},
                      BadCase{"LengthPastEnd", std::string("\0\0\0\1" "\0\0\0\x09" "abc" "\0\0\0\0", 15)},
                      BadCase{"MissingBytes", std::string("\0\0\0\1" "\0\0\0\0", 8)},
                      BadCase{"TrailingBytes", std::string("\0\0\0\0" "x", 5)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DndItems, EmptyListIsValid) {
  std::vector<Item> items = {{"stale", "stale"}};
  ASSERT_TRUE(dtdnd::unpack(dtdnd::pack({}), &items));
  EXPECT_TRUE(items.empty());
}

}  // namespace
