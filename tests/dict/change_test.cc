// Insertion, deletion and replacement: the worked examples byte for byte and
// the chain and free-list cases that catch real faults.
#include <filesystem>

#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

std::vector<std::string> words(const std::string &key) {
  char rows[20][kRowSize];
  int count = 0;
  GetHanjaWord(0, key.c_str(), 0, 20, &count, rows);
  return std::vector<std::string>(rows, rows + count);
}

Bytes node_bytes(const Bytes &b, std::size_t at, std::size_t n) { return Bytes(b.begin() + at, b.begin() + at + n); }

class ChangeTest : public HomeDir {
 protected:
  void add(const std::string &k, const std::string &v) { ASSERT_EQ(InsertHanjaWord(0, k.c_str(), v.c_str()), 0); }
  void del(const std::string &k, const std::string &v) { ASSERT_EQ(DeleteHanjaWord(0, k.c_str(), v.c_str()), 1); }
};

TEST_F(ChangeTest, WorkedExampleInsertThenDelete) {
  add(kHanja, kHanjaW);
  Bytes b = user_bytes();
  ASSERT_EQ(b.size(), 6028u);
  EXPECT_EQ(num_at(b, 5151), 0x00177C);
  EXPECT_EQ(num_at(b, 6009), 0x00178C);
  EXPECT_EQ(node_bytes(b, 6012, 8), (Bytes{0x84, 0xC7, 0xD1, 0xC0, 0xDA, 0x00, 0x17, 0x84}));
  EXPECT_EQ(node_bytes(b, 6020, 8), (Bytes{0x04, 0xF9, 0xD3, 0xED, 0xAE, 0x00, 0x00, 0x00}));

  del(kHanja, kHanjaW);
  Bytes after = user_bytes();
  ASSERT_EQ(after.size(), 6028u);
  EXPECT_EQ(num_at(after, 5151), 0);
  EXPECT_EQ(num_at(after, 5988), 0x00177C);
  EXPECT_EQ(node_bytes(after, 6012, 16), node_bytes(b, 6012, 16));  // the pair stays as a free list
  EXPECT_TRUE(words(kHanja).empty());
}

TEST_F(ChangeTest, WorkedExampleDeleteFirstValueAndReuseIt) {
  add(kGa, kGa1);
  add(kGa, kGa2);
  Bytes b = user_bytes();
  ASSERT_EQ(b.size(), 6030u);
  EXPECT_EQ(node_bytes(b, 6012, 6), (Bytes{0x82, 0xB0, 0xA1, 0x00, 0x17, 0x82}));
  EXPECT_EQ(node_bytes(b, 6018, 6), (Bytes{0x02, 0xCA, 0xAB, 0x00, 0x17, 0x88}));
  EXPECT_EQ(node_bytes(b, 6024, 6), (Bytes{0x02, 0xCA, 0xA4, 0x00, 0x00, 0x00}));

  int freed, avail, head, value_link, patch, next;
  ASSERT_EQ(GetDeleteInfo(0, kGa.c_str(), kGa1.c_str(), &freed, &avail, &head, &value_link, &patch, &next), 0);
  EXPECT_EQ(freed, 6018);
  EXPECT_EQ(avail, 5985);
  EXPECT_EQ(head, 0);
  EXPECT_EQ(value_link, 6021);
  EXPECT_EQ(patch, 6015);
  EXPECT_EQ(next, 6024);
  EXPECT_EQ(user_bytes(), b);  // planning writes nothing

  del(kGa, kGa1);
  b = user_bytes();
  EXPECT_EQ(num_at(b, 6015), 0x001788);
  EXPECT_EQ(num_at(b, 5985), 0x001782);
  EXPECT_EQ(num_at(b, 6021), 0);
  EXPECT_EQ(words(kGa), std::vector<std::string>{kGa2});

  add(kGa, kGa3);
  b = user_bytes();
  EXPECT_EQ(b.size(), 6030u);
  EXPECT_EQ(num_at(b, 5985), 0);
  EXPECT_EQ(node_bytes(b, 6018, 3), (Bytes{0x02, 0xCA, 0xA2}));
  EXPECT_EQ(words(kGa), (std::vector<std::string>{kGa2, kGa3}));
}

TEST_F(ChangeTest, InsertionPlanOfTheWorkedExample) {
  init();
  int exists, node, field, held, avail, avail_value;
  ASSERT_EQ(GetInsertInfo(0, kHanja.c_str(), &exists, &node, &field, &held, &avail, &avail_value), 0);
  EXPECT_EQ(exists, 0);
  EXPECT_EQ(node, 6012);
  EXPECT_EQ(field, 5151);
  EXPECT_EQ(held, 0);
  EXPECT_EQ(avail, 6009);
  EXPECT_EQ(avail_value, 6020);
}

TEST_F(ChangeTest, AddingARegisteredPairChangesNothing) {
  add(kGa, kGa1);
  Bytes b = user_bytes();
  add(kGa, kGa1);
  EXPECT_EQ(user_bytes(), b);
}

TEST_F(ChangeTest, SecondValueGoesAfterItsKeysGroupWhenOtherKeysFollow) {
  add(kGa, kGa1);
  add("0!", kGa3);  // same chain, after 가
  add(kGa, kGa2);
  EXPECT_EQ(words(kGa), (std::vector<std::string>{kGa1, kGa2}));
  EXPECT_EQ(words("0!"), std::vector<std::string>{kGa3});
  Bytes b = user_bytes();
  // 가(6012) 家(6018) 0!(6024) 佳(6030) 價(6036): 家 now links to 價, 價 to the key 0!.
  EXPECT_EQ(num_at(b, 6021), 6036);
  EXPECT_EQ(num_at(b, 6039), 6024);
  EXPECT_EQ(num_at(b, 6033), 0);
}

TEST_F(ChangeTest, SmallestAndLargestSizeClass) {
  add(kGa, kGa1);
  std::string k16(16, '\xB0'), v16(16, '\xCA');
  for (int i = 1; i < 16; i += 2) k16[static_cast<std::size_t>(i)] = '\xA1', v16[static_cast<std::size_t>(i)] = '\xAB';
  add(k16, v16);
  del(kGa, kGa1);
  del(k16, v16);
  Bytes b = user_bytes();
  EXPECT_EQ(num_at(b, 5985), 6012);          // class 0: the pair of 가
  EXPECT_EQ(num_at(b, 5985 + 3 * 7), 6024);  // class 7: the 16-byte pair
}

TEST_F(ChangeTest, FreedPairIsReusedAndTheListHeadTakesWhatTheValueLinked) {
  add(kGa, kGa1);        // 6012, 6018
  add("0!", kGa2);       // 6024, 6030
  del(kGa, kGa1);        // list 0: 6012 -> 6018 -> 0
  del("0!", kGa2);       // list 0: 6024 -> 6030 -> 6012 -> 6018 -> 0
  Bytes b = user_bytes();
  ASSERT_EQ(num_at(b, 5985), 6024);
  ASSERT_EQ(num_at(b, 6033), 6012);
  std::size_t length = b.size();

  add("\xB3\xAA", kGa3);  // 나: takes 6024 and 6030
  b = user_bytes();
  EXPECT_EQ(b.size(), length);
  EXPECT_EQ(num_at(b, 5985), 6012);
  EXPECT_EQ(b[6024], 0x82);
  EXPECT_EQ(b[6030], 0x02);

  add("\xB4\xD9", kGa1);  // 다: takes 6012 and 6018, the list is empty again
  add("\xB6\xF3", kGa2);  // 라: nothing left, appended
  b = user_bytes();
  EXPECT_EQ(num_at(b, 5985), 0);
  EXPECT_EQ(b.size(), length + 12);
  EXPECT_EQ(words("\xB3\xAA"), std::vector<std::string>{kGa3});
  EXPECT_EQ(words("\xB4\xD9"), std::vector<std::string>{kGa1});
  EXPECT_EQ(words("\xB6\xF3"), std::vector<std::string>{kGa2});
}

TEST_F(ChangeTest, FreeListShorterThanThePairAppendsTheRest) {
  add(kGa, kGa1);
  add(kGa, kGa2);
  del(kGa, kGa1);          // only the value node 6018 is free
  std::size_t length = user_bytes().size();
  add("\xB3\xAA", kGa3);   // key into 6018, value appended
  Bytes b = user_bytes();
  EXPECT_EQ(b[6018], 0x82);
  EXPECT_EQ(b.size(), length + 6);
  EXPECT_EQ(words("\xB3\xAA"), std::vector<std::string>{kGa3});
}

TEST_F(ChangeTest, DeletingFirstMiddleLastAndOnlyValues) {
  struct Case {
    int victim;                 // index among 家 價 佳
    std::vector<int> left;      // indexes left, in order
  } cases[] = {{0, {1, 2}}, {1, {0, 2}}, {2, {0, 1}}};
  const std::string vals[] = {kGa1, kGa2, kGa3};
  for (const Case &c : cases) {
    std::filesystem::remove(user_dic());
    for (const std::string &v : vals) add(kGa, v);
    add("0!", kGa1);  // a key after the group must keep its value
    del(kGa, vals[c.victim]);
    std::vector<std::string> expected;
    for (int i : c.left) expected.push_back(vals[i]);
    EXPECT_EQ(words(kGa), expected) << c.victim;
    EXPECT_EQ(words("0!"), std::vector<std::string>{kGa1}) << c.victim;
    Bytes b = user_bytes();
    EXPECT_EQ(num_at(b, 5985), 6018 + 6 * c.victim) << "only the value node is freed";
  }
}

TEST_F(ChangeTest, DeletingTheOnlyValueOfAMiddleKeyUnlinksThePair) {
  add(kGa, kGa1);
  add(kGa, kGa2);
  add("0!", kGa3);       // 6030, 6036
  add("0!", kGa1);       // 6042, freed again at once: free list 0 is 6042
  del("0!", kGa1);
  Bytes before = user_bytes();
  ASSERT_EQ(num_at(before, 6039), 0);
  del("0!", kGa3);        // the only value now: the pair goes
  Bytes b = user_bytes();
  EXPECT_TRUE(words("0!").empty());
  EXPECT_EQ(words(kGa), (std::vector<std::string>{kGa1, kGa2}));
  EXPECT_EQ(num_at(b, 6027), 0);            // 價's link skips the removed pair
  EXPECT_EQ(num_at(b, 5985), 6030);         // key node first on the list
  EXPECT_EQ(num_at(b, 6033), 6036);         // the key still links to its value
  EXPECT_EQ(num_at(b, 6039), 6042);         // the value links to the former head
  EXPECT_EQ(b.size(), before.size());
}

TEST_F(ChangeTest, DeletingAnUnregisteredPairLeavesTheFileAlone) {
  add(kGa, kGa1);
  Bytes b = user_bytes();
  EXPECT_EQ(DeleteHanjaWord(0, kGa.c_str(), kGa2.c_str()), 0);
  EXPECT_EQ(DeleteHanjaWord(0, "0!", kGa1.c_str()), 0);
  EXPECT_EQ(user_bytes(), b);
}

TEST_F(ChangeTest, DeletingFromAMissingDictionaryNeverReportsARemoval) {
  EXPECT_EQ(DeleteHanjaWord(0, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_FALSE(std::filesystem::exists(user_dic()));
}

TEST_F(ChangeTest, PairsWithoutASizeClassAreRefusedUnwritten) {
  struct Case {
    std::string key, value;
  } cases[] = {
      {"", ""}, {"\xB0", "\xCA"}, {kGa, kGaNa}, {kGaNa, kGa1},
      {std::string(18, '\xB0'), std::string(18, '\xCA')},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(InsertHanjaWord(0, c.key.c_str(), c.value.c_str()), -1);
    EXPECT_FALSE(std::filesystem::exists(user_dic())) << "refused before anything is created";
  }
  add(kGa, kGa1);
  Bytes b = user_bytes();
  for (const Case &c : cases) EXPECT_EQ(InsertHanjaWord(0, c.key.c_str(), c.value.c_str()), -1);
  EXPECT_EQ(UpdateHanjaWord(0, kGa.c_str(), kGa1.c_str(), kGaNa.c_str()), -1);
  EXPECT_EQ(user_bytes(), b);
}

TEST_F(ChangeTest, InsertionIntoAnotherTypeNeverCreatesTheUserDictionary) {
  setenv("SYSDICNAME", (home_ / "sys").c_str(), 1);
  EXPECT_EQ(InsertHanjaWord(1, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_FALSE(std::filesystem::exists(user_dic()));
  EXPECT_FALSE(std::filesystem::exists(home_ / "sys"));
}

TEST_F(ChangeTest, ReplacementCases) {
  add(kGa, kGa1);
  Bytes b = user_bytes();
  EXPECT_EQ(UpdateHanjaWord(0, kGa.c_str(), kGa1.c_str(), kGa1.c_str()), 0);
  EXPECT_EQ(user_bytes(), b);

  // The only value replaced: the key stays, the new word comes last.
  EXPECT_EQ(UpdateHanjaWord(0, kGa.c_str(), kGa1.c_str(), kGa2.c_str()), 1);
  EXPECT_EQ(words(kGa), std::vector<std::string>{kGa2});
  add(kGa, kGa3);
  // By a word registered already: only the old one goes.
  EXPECT_EQ(UpdateHanjaWord(0, kGa.c_str(), kGa2.c_str(), kGa3.c_str()), 1);
  EXPECT_EQ(words(kGa), std::vector<std::string>{kGa3});
  // The old one not registered: the new one is added, result 0.
  EXPECT_EQ(UpdateHanjaWord(0, kGa.c_str(), kGa2.c_str(), kGa1.c_str()), 0);
  EXPECT_EQ(words(kGa), (std::vector<std::string>{kGa3, kGa1}));
}

}  // namespace
