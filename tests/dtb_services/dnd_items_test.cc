// The serialised item list of the drag service: what a drop site accepts from
// a selection value, which may come from any client.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dtb/dt/dnd_items.h"

namespace {

TEST(DndItems, PackedItemsComeBackUnchangedAndMalformedValuesAreRefused) {
  std::vector<dtdnd::Item> items = {{"note", "payload"}, {"", std::string("a\0b", 3)}, {"empty", ""}}, back;
  ASSERT_TRUE(dtdnd::unpack(dtdnd::pack(items), &back));
  ASSERT_EQ(items.size(), back.size());
  for (size_t i = 0; i < items.size(); ++i)
    EXPECT_EQ(items[i].name + "|" + items[i].bytes, back[i].name + "|" + back[i].bytes);
  EXPECT_EQ(std::string("\0\0\0\1" "\0\0\0\1" "n" "\0\0\0\2" "xy", 15), dtdnd::pack({{"n", "xy"}}));
  EXPECT_TRUE(dtdnd::unpack(dtdnd::pack({}), &back) && back.empty());
  for (const std::string &bad : {std::string(), std::string("\0\0\1", 3), std::string("\xFF\xFF\xFF\xFF", 4),
                                 std::string("\0\0\0\1" "\0\0\0\x09" "abc" "\0\0\0\0", 15),
                                 std::string("\0\0\0\1" "\0\0\0\0", 8), std::string("\0\0\0\0" "x", 5)})
    EXPECT_FALSE(dtdnd::unpack(bad, &back)) << bad.size();
}

}  // namespace
