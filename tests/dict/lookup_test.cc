// Lookup and membership check: chains shared by several keys, skip/max, paths.
#include <filesystem>

#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

// A reading of `length` bytes (an even number >= 2) whose hash is `slot`:
// a fixed prefix of 가 syllables and a last two-byte code searched for.
std::string key_in_slot(int slot, int length) {
  std::string key;
  for (int i = 0; i + 2 < length; i += 2) key += kGa;
  for (int hi = 0xA1; hi <= 0xFE; ++hi)
    for (int lo = 0xA1; lo <= 0xFE; ++lo) {
      std::string k = key + static_cast<char>(hi) + static_cast<char>(lo);
      if (hash(k.c_str()) == slot) return k;
    }
  return {};
}

std::vector<std::string> lookup(int type, const std::string &key, int skip = 0, int max = 10) {
  char rows[20][kRowSize];
  int count = -7;
  int r = GetHanjaWord(type, key.c_str(), skip, max, &count, rows);
  EXPECT_EQ(r, count);
  std::vector<std::string> out;
  for (int i = 0; i < r; ++i) out.emplace_back(rows[i]);
  return out;
}

class LookupTest : public HomeDir {};

TEST_F(LookupTest, EmptyDictionaryFindsNothing) {
  init();
  EXPECT_TRUE(lookup(0, kGa).empty());
  EXPECT_EQ(CheckDic(0, kGa.c_str(), kGa1.c_str()), 0);
}

TEST_F(LookupTest, MissingDictionaryIsMinusOneWithCountZero) {
  char rows[10][kRowSize];
  int count = 5;
  EXPECT_EQ(GetHanjaWord(0, kGa.c_str(), 0, 10, &count, rows), -1);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(CheckDic(0, kGa.c_str(), kGa1.c_str()), -1);
}

TEST_F(LookupTest, ADirectoryIsNeverReadAsADictionary) {
  std::filesystem::create_directory(user_dic());
  EXPECT_EQ(CheckDic(0, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_EQ(InsertHanjaWord(0, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_TRUE(std::filesystem::is_directory(user_dic()));
}

TEST_F(LookupTest, KeysOfDifferentLengthsInOneChainAreToldApart) {
  std::string short_key = key_in_slot(976, 2);
  std::string long_key = key_in_slot(976, 4);
  std::string longest = key_in_slot(976, 16);
  ASSERT_EQ(short_key, kGa);
  ASSERT_EQ(long_key.size(), 4u);
  ASSERT_EQ(longest.size(), 16u);
  ASSERT_EQ(InsertHanjaWord(0, short_key.c_str(), kGa1.c_str()), 0);
  ASSERT_EQ(InsertHanjaWord(0, long_key.c_str(), "\xCA\xAB\xCA\xA4"), 0);
  ASSERT_EQ(InsertHanjaWord(0, longest.c_str(), std::string(16, '\xEA').c_str()), 0);
  ASSERT_EQ(InsertHanjaWord(0, "0!", "\xCA\xA2"), 0);  // bytes 30 21 share the slot of 가

  EXPECT_EQ(lookup(0, short_key), std::vector<std::string>{kGa1});
  EXPECT_EQ(lookup(0, long_key), std::vector<std::string>{"\xCA\xAB\xCA\xA4"});
  EXPECT_EQ(lookup(0, longest), std::vector<std::string>{std::string(16, '\xEA')});
  EXPECT_EQ(lookup(0, "0!"), std::vector<std::string>{"\xCA\xA2"});
  // A value registered under another key of the same chain is not this key's.
  EXPECT_EQ(CheckDic(0, short_key.c_str(), "\xCA\xA2"), 0);
  EXPECT_EQ(CheckDic(0, "0!", kGa1.c_str()), 0);
  EXPECT_EQ(CheckDic(0, "0!", "\xCA\xA2"), 1);
  // An absent key whose slot holds a chain.
  std::string absent = key_in_slot(976, 6);
  EXPECT_TRUE(lookup(0, absent).empty());
  EXPECT_EQ(CheckDic(0, absent.c_str(), "\xCA\xAB\xCA\xA4\xCA\xA2"), 0);
}

TEST_F(LookupTest, SkipAndMaxOverTwelveValues) {
  std::vector<std::string> all;
  for (int i = 0; i < 12; ++i) {
    std::string v = {'\xCA', static_cast<char>(0xA1 + i)};
    ASSERT_EQ(InsertHanjaWord(0, kGa.c_str(), v.c_str()), 0);
    all.push_back(v);
  }
  ASSERT_EQ(InsertHanjaWord(0, key_in_slot(976, 4).c_str(), "\xCA\xAB\xCA\xA4"), 0);  // a key after the group
  struct Case {
    int skip, max;
    std::size_t first, count;
  } cases[] = {{0, 10, 0, 10}, {10, 10, 10, 2}, {0, 20, 0, 12}, {3, 2, 3, 2}, {12, 10, 0, 0}, {0, 0, 0, 0}};
  for (const Case &c : cases) {
    std::vector<std::string> expected(all.begin() + static_cast<long>(c.first),
                                      all.begin() + static_cast<long>(c.first + c.count));
    EXPECT_EQ(lookup(0, kGa, c.skip, c.max), expected) << c.skip << "/" << c.max;
  }
}

TEST_F(LookupTest, UserDictionaryNameRelativeAbsoluteAndUnsetHome) {
  setenv("USRDICNAME", "mine.hjd", 1);
  ASSERT_EQ(InsertHanjaWord(0, kGa.c_str(), kGa1.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(home_ / "mine.hjd"));

  std::string abs = (home_ / "abs.hjd").string();
  setenv("USRDICNAME", abs.c_str(), 1);
  ASSERT_EQ(InsertHanjaWord(0, kGa.c_str(), kGa2.c_str()), 0);
  EXPECT_EQ(lookup(0, kGa), std::vector<std::string>{kGa2});

  // Without HOME the user and the system lookups read the same file.
  setenv("SYSDICNAME", abs.c_str(), 1);
  unsetenv("HOME");
  EXPECT_EQ(lookup(0, kGa), lookup(1, kGa));
  EXPECT_EQ(lookup(1, kGa), std::vector<std::string>{kGa2});
}

TEST_F(LookupTest, UnusablePathsFailAsIfTheFileCouldNotBeOpened) {
  init();
  struct Case {
    const char *usr;
    int type;
  } cases[] = {{"", 0}, {nullptr, 3}, {nullptr, -2}};
  for (const Case &c : cases) {
    if (c.usr) setenv("USRDICNAME", c.usr, 1); else unsetenv("USRDICNAME");
    EXPECT_EQ(CheckDic(c.type, kGa.c_str(), kGa1.c_str()), -1);
    EXPECT_EQ(InsertHanjaWord(c.type, kGa.c_str(), kGa1.c_str()), -1);
  }
  EXPECT_EQ(user_bytes().size(), 6012u);  // nothing went to the real file
}

}  // namespace
