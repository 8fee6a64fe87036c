// The whole-file check: one report per kind of damage, none on sound files.
#include <functional>

#include "dict/dic_verify.h"
#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

class VerifyTest : public HomeDir {
 protected:
  // The same layout as the damaged-file cases: 가 家 價 | 0! 佳 | free 나 pair | 한자 漢字.
  void SetUp() override {
    HomeDir::SetUp();
    for (auto [k, v] : {std::pair{kGa, kGa1}, {kGa, kGa2}, {std::string("0!"), kGa3}, {std::string("\xB3\xAA"), kGa1},
                        {kHanja, kHanjaW}})
      ASSERT_EQ(InsertHanjaWord(0, k.c_str(), v.c_str()), 0);
    ASSERT_EQ(DeleteHanjaWord(0, "\xB3\xAA", kGa1.c_str()), 1);
    sound_ = user_bytes();
  }
  Bytes sound_;
};

TEST_F(VerifyTest, SoundFilesHaveNoProblems) {
  VerifyReport r = verify_image(sound_);
  EXPECT_TRUE(r.sound()) << (r.problems.empty() ? "" : r.problems[0]);
  EXPECT_EQ(r.keys, 3u);
  EXPECT_EQ(r.values, 4u);
  EXPECT_EQ(r.free_nodes, 2u);
}

TEST_F(VerifyTest, EachProblemIsReported) {
  struct Case {
    const char *expected;  // a part of the report line
    std::function<void(Bytes &)> poke;
  } cases[] = {
      {"truncated header", [](Bytes &b) { b.resize(6000); }},
      {"bad signature", [](Bytes &b) { b[0] = 'X'; }},
      {"is not the file length", [](Bytes &b) { set_num(b, 6009, 6100); }},
      {"out of range", [](Bytes &b) { set_num(b, 12 + 3 * 976, 0xFFFFFF); }},
      {"out of range", [](Bytes &b) { set_num(b, 12 + 3 * 976, 40); }},
      {"loops back", [](Bytes &b) { set_num(b, 6039, 6030); }},
      {"used twice", [](Bytes &b) { set_num(b, 5985, 6036); }},           // a live value on a free list
      {"has no value", [](Bytes &b) { set_num(b, 6033, 0); }},            // 0! loses 佳
      {"has 2 bytes, its key", [](Bytes &b) { b[6062] = 0x02; set_num(b, 6065, 0); }},
      {"no size class", [](Bytes &b) { b[6018] = 0x03; }},
      {"no size class", [](Bytes &b) { b[6012] = 0x80; }},
      {"runs past the end", [](Bytes &b) { b[6054] = 0xFF; }},
      {"belongs to slot", [](Bytes &b) { b[6031] = '1'; }},               // 0! becomes 1!, another slot
      {"another class", [](Bytes &b) { set_num(b, 5985, 0); set_num(b, 5988, 6042); }},  // 2-byte pair on list 1
      {"has no key before it", [](Bytes &b) { set_num(b, 12 + 3 * 976, 6018); }},
  };
  for (const Case &c : cases) {
    Bytes b = sound_;
    c.poke(b);
    VerifyReport r = verify_image(b);
    EXPECT_FALSE(r.sound()) << c.expected;
    bool found = false;
    for (const std::string &p : r.problems) found = found || p.find(c.expected) != std::string::npos;
    EXPECT_TRUE(found) << c.expected << "; first: " << (r.problems.empty() ? "(none)" : r.problems[0]);
  }
}

TEST_F(VerifyTest, ReportsAreCappedButCounted) {
  Bytes b = sound_;
  for (int slot = 0; slot < 1991; ++slot) set_num(b, 12 + 3 * slot, 0xFFFFFF);
  VerifyReport r = verify_image(b, 10);
  EXPECT_EQ(r.problems.size(), 10u);
  // Every node a chain held is lost now; the free list's two are still reached.
  EXPECT_EQ(r.orphan_keys, 3u);
  EXPECT_EQ(r.orphan_values, 4u);
  EXPECT_EQ(r.total, 1991u + 7u);
}

}  // namespace
