// The file format's building blocks: numbers, hash, node bytes, paths, creation.
#include <cstdio>
#include <cstring>

#include "dict/be24.h"
#include "dict/dic_format.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

TEST(Be24, EncodesMostSignificantByteFirst) {
  unsigned char b[3];
  be24::encode(b, 0x123456);
  EXPECT_EQ(b[0], 0x12);
  EXPECT_EQ(b[1], 0x34);
  EXPECT_EQ(b[2], 0x56);
}

TEST(Be24, RoundTripsAndDropsHighBits) {
  struct Case {
    std::uint32_t in, out;
  } cases[] = {{0, 0}, {0xFF, 0xFF}, {0xFFFF, 0xFFFF}, {0xFFFFFF, 0xFFFFFF}, {0x1000000, 0}, {0xAB123456, 0x123456}};
  for (const Case &c : cases) {
    unsigned char b[3];
    be24::encode(b, c.in);
    EXPECT_EQ(be24::decode(b), c.out) << std::hex << c.in;
  }
}

TEST(StreamFields, PutInt8WritesThreeBytesAndGetInt8ReadsThem) {
  FILE *fp = std::tmpfile();
  ASSERT_NE(fp, nullptr);
  put_int8(fp, 0x7123456);  // above 24 bits: the high bits are lost
  put_int8(fp, 0x00177C);
  EXPECT_EQ(std::ftell(fp), 6);
  std::rewind(fp);
  EXPECT_EQ(get_int8(fp), 0x123456);
  EXPECT_EQ(get_int8(fp), 6012);
  std::fclose(fp);
}

TEST(StreamFields, TypeLengthByte) {
  FILE *fp = std::tmpfile();
  ASSERT_NE(fp, nullptr);
  put_typelength(fp, 1, 4);
  put_typelength(fp, 2, 16);
  std::rewind(fp);
  EXPECT_EQ(std::fgetc(fp), 0x84);
  EXPECT_EQ(std::fgetc(fp), 0x10);
  std::rewind(fp);
  int type = 0, length = 0;
  get_typelength(fp, &type, &length);
  EXPECT_EQ(type, 1);
  EXPECT_EQ(length, 4);
  get_typelength(fp, &type, &length);
  EXPECT_EQ(type, 2);
  EXPECT_EQ(length, 16);
  std::fclose(fp);
}

TEST(Layout, OffsetsFollowFromEachOther) {
  EXPECT_EQ(dicfmt::kTableOffset, 12);
  EXPECT_EQ(dicfmt::kAvailOffset, 5985);
  EXPECT_EQ(dicfmt::kEndOfDataOffset, 6009);
  EXPECT_EQ(dicfmt::kHeaderSize, 6012);
  EXPECT_EQ(dicfmt::slot_offset(1713), 5151);
  EXPECT_EQ(dicfmt::avail_offset(1), 5988);
}

TEST(Hash, Examples) {
  struct Case {
    std::string key;
    int slot;
  } cases[] = {
      {"\xB0\xA1", 976},                // 가
      {"\xB0\xA1\xB3\xAA", 403},        // 가나
      {"\xC7\xD1\xC0\xDA", 1713},       // 한자
      {"", 0},                          // the empty string
      {"0!", 976},                      // bit 7 is ignored: the slot of 가
      {"\xB0\xA1\xB3", 356},            // odd: the last pair is (B3, NUL)
      {"\xB0\xA1\xB3\x80", 356},        // ... like a last byte whose low 7 bits are 0
  };
  for (const Case &c : cases) EXPECT_EQ(hash(c.key.c_str()), c.slot) << c.key;
}

TEST(SizeClass, CoversEvenLengthsTwoToSixteen) {
  struct Case {
    int length, k;
  } cases[] = {{0, -1}, {1, -1}, {2, 0}, {3, -1}, {4, 1}, {14, 6}, {16, 7}, {17, -1}, {18, -1}, {40, -1}};
  for (const Case &c : cases) EXPECT_EQ(dicfmt::size_class(c.length), c.k) << c.length;
}

class PathTest : public HomeDir {};

TEST_F(PathTest, DictionaryPaths) {
  struct Case {
    const char *home, *usr, *sys;  // nullptr: unset
    int type;
    std::string expected;  // "@" stands for the HOME value
  } cases[] = {
      {"@", nullptr, nullptr, 0, "@/.usrhjd"},
      {"@", "mine", nullptr, 0, "@/mine"},
      {"@", "/x/abs", nullptr, 0, "/x/abs"},
      {"@", "", nullptr, 0, ""},  // would name the home directory
      {nullptr, nullptr, nullptr, 0, "/usr/lib/inpd/ko/syshjd"},
      {nullptr, nullptr, "/s/d", 0, "/s/d"},
      {"@", nullptr, nullptr, 1, "/usr/lib/inpd/ko/syshjd"},
      {"@", nullptr, "rel", 1, "/usr/lib/inpd/ko/rel"},
      {"@", nullptr, "/abs/sys", 1, "/abs/sys"},
      {"@", nullptr, "", 1, ""},
      {"@", nullptr, nullptr, 2, "nulhjd"},
      {"@", nullptr, nullptr, 3, ""},
      {"@", nullptr, nullptr, -1, ""},
  };
  for (const Case &c : cases) {
    std::string home = home_.string();
    if (c.home) setenv("HOME", home.c_str(), 1); else unsetenv("HOME");
    if (c.usr) setenv("USRDICNAME", c.usr, 1); else unsetenv("USRDICNAME");
    if (c.sys) setenv("SYSDICNAME", c.sys, 1); else unsetenv("SYSDICNAME");
    char path[kPathSize];
    std::memset(path, 'x', sizeof path);
    get_dicname(c.type, path);
    std::string expected = c.expected;
    if (!expected.empty() && expected[0] == '@') expected = home + expected.substr(1);
    EXPECT_EQ(std::string(path), expected) << "type " << c.type << " usr " << (c.usr ? c.usr : "(unset)");
  }
}

TEST_F(PathTest, TooLongPathIsEmptyNotTruncated) {
  std::string fits = "/" + std::string(78, 'a');   // 79 bytes: fits with its NUL
  std::string over = "/" + std::string(79, 'a');   // 80 bytes: does not
  char path[kPathSize];
  setenv("USRDICNAME", fits.c_str(), 1);
  get_dicname(0, path);
  EXPECT_EQ(std::string(path), fits);
  setenv("USRDICNAME", over.c_str(), 1);
  get_dicname(0, path);
  EXPECT_EQ(std::string(path), "");
}

class InitTest : public HomeDir {};

TEST_F(InitTest, CreatesTheEmptyDictionaryByteForByte) {
  init();
  Bytes b = user_bytes();
  ASSERT_EQ(b.size(), 6012u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 12), "HWDICTIONARY");
  for (std::size_t i = 12; i < 6009; ++i) ASSERT_EQ(b[i], 0) << i;
  EXPECT_EQ(b[6009], 0x00);
  EXPECT_EQ(b[6010], 0x17);
  EXPECT_EQ(b[6011], 0x7C);
}

TEST_F(InitTest, NeverEmptiesAnExistingFile) {
  write_file(user_dic(), Bytes{'k', 'e', 'e', 'p'});
  init();
  EXPECT_EQ(user_bytes(), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(InitTest, ExitsWithStatusOneWhenTheDictionaryCannotBeCreated) {
  setenv("USRDICNAME", "no/such/dir/dic", 1);
  EXPECT_EXIT(init(), ::testing::ExitedWithCode(1), "");
}

}  // namespace
