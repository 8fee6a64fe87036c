// Damaged and foreign files: every read stays inside the file and its
// buffers, every walk ends, what cannot be trusted reads as absent, and a
// change that would patch a damaged chain or free list is refused unwritten.
#include <functional>

#include "dict/hanja_delete.h"
#include "dict/hanja_insert.h"
#include "dict/hanja_util.h"
#include "tests/dict/dict_test_util.h"

namespace {

using namespace dicttest;

const std::string kNa = "\xB3\xAA";  // 나

// The sound dictionary every case damages:
//   6012 가  6018 家  6024 價  6030 0!  6036 佳   (one chain, slot 976)
//   6042 나  6048 (its value)                   (freed: free list 0 = 6042 -> 6048 -> 0)
//   6054 한자  6062 漢字                          (slot 1713)
//   end of data 6070
class DamagedTest : public HomeDir {
 protected:
  void SetUp() override {
    HomeDir::SetUp();
    for (auto [k, v] : {std::pair{kGa, kGa1}, {kGa, kGa2}, {std::string("0!"), kGa3}, {kNa, kGa1}, {kHanja, kHanjaW}})
      ASSERT_EQ(InsertHanjaWord(0, k.c_str(), v.c_str()), 0);
    ASSERT_EQ(DeleteHanjaWord(0, kNa.c_str(), kGa1.c_str()), 1);
    sound_ = user_bytes();
    ASSERT_EQ(sound_.size(), 6070u);
    ASSERT_EQ(num_at(sound_, 5985), 6042);
  }

  int count(const std::string &key) {
    char rows[10][kRowSize];
    int n = -1;
    int r = GetHanjaWord(0, key.c_str(), 0, 10, &n, rows);
    EXPECT_EQ(r, n);
    return r;
  }

  Bytes sound_;
};

struct Damage {
  const char *name;
  std::function<void(Bytes &)> poke;
  std::string absent;                 // a reading that must now read as absent ("" for none)
  std::string add_key, add_value;     // an insertion that must be refused
  std::string del_key, del_value;     // a deletion that must not happen ("" for none)
};

TEST_F(DamagedTest, EachDamageIsRefusedCleanly) {
  const Damage cases[] = {
      {"truncated header", [](Bytes &b) { b.resize(3000); }, kGa, kGa, kGa3, kGa, kGa1},
      {"empty file", [](Bytes &b) { b.clear(); }, kGa, kGa, kGa3, kGa, kGa1},
      {"slot beyond the end", [](Bytes &b) { set_num(b, 12 + 3 * 976, 0xFFFFF0); }, kGa, kGa, kGa3, kGa, kGa1},
      {"slot inside the header", [](Bytes &b) { set_num(b, 12 + 3 * 976, 100); }, kGa, kGa, kGa3, kGa, kGa1},
      {"node running past the end", [](Bytes &b) { set_num(b, 12 + 3 * 976, 6066); }, kGa, kGa, kGa3, kGa, kGa1},
      {"value linking to itself", [](Bytes &b) { set_num(b, 6039, 6036); }, "0!", "0!", kGa1, "0!", kGa3},
      {"chain looping back", [](Bytes &b) { set_num(b, 6039, 6012); }, "\xB0!", "\xB0!", kGa1, "0!", kGa3},
      {"string longer than a row", [](Bytes &b) { b[6018] = 0x7F; }, kGa, kGa, kGa3, kGa, kGa2},
      {"free list looping", [](Bytes &b) { set_num(b, 6051, 6042); }, "", kNa, kGa2, "", ""},
      {"free node of another class", [](Bytes &b) { b[6048] = 0x04; }, "", kNa, kGa2, "", ""},
      {"free-list head out of range", [](Bytes &b) { set_num(b, 5985, 7000); }, "", kNa, kGa2, kGa, kGa1},
      {"end of data beyond the file", [](Bytes &b) { set_num(b, 6009, 6076); }, "", kHanja, "\xB0\xA1\xB0\xA1", "", ""},
      {"end of data inside the nodes", [](Bytes &b) { set_num(b, 6009, 6030); }, "", kHanja, "\xB0\xA1\xB0\xA1", "", ""},
      {"value shorter than its key",
       [](Bytes &b) {
         b[6062] = 0x02;  // 漢字 becomes a 2-byte word under a 4-byte reading
         set_num(b, 6065, 0);
       },
       "", "", "", kHanja, "\xF9\xD3"},
  };
  for (const Damage &c : cases) {
    SCOPED_TRACE(c.name);
    Bytes damaged = sound_;
    c.poke(damaged);
    write_file(user_dic(), damaged);

    if (!c.absent.empty()) {
      EXPECT_EQ(count(c.absent), 0);
      EXPECT_EQ(CheckDic(0, c.absent.c_str(), kGa1.c_str()), 0);
    }
    for (const std::string &k : {kGa, std::string("0!"), kNa, kHanja}) {
      int n = count(k);  // whatever is found, the walk ends within the rows
      EXPECT_GE(n, 0);
      EXPECT_LE(n, 10);
    }
    if (!c.add_key.empty()) {
      EXPECT_EQ(InsertHanjaWord(0, c.add_key.c_str(), c.add_value.c_str()), -1);
      EXPECT_EQ(user_bytes(), damaged);
    }
    if (!c.del_key.empty()) {
      EXPECT_NE(DeleteHanjaWord(0, c.del_key.c_str(), c.del_value.c_str()), 1);
      EXPECT_EQ(user_bytes(), damaged);
    }
  }
}

TEST_F(DamagedTest, PlansThatDoNotFitTheFileAreNotWritten) {
  struct Plan {
    const char *name;
    int node, field, held, avail, avail_value;
  } plans[] = {
      {"node inside the header", 100, 5151, 0, 6009, 6078},
      {"node beyond the end", 9000, 5151, 0, 6009, 6078},
      {"field in the avail table", 6070, 5985, 0, 6009, 6078},
      {"field beyond the end", 6070, 9000, 0, 6009, 6078},
      {"avail entry outside the table", 6070, 5151, 0, 5000, 6078},
      {"link beyond the end", 6070, 5151, 9000, 6009, 6078},
  };
  for (const Plan &p : plans) {
    EXPECT_EQ(InsertDic(0, 2, kGa1.c_str(), p.node, p.field, p.held, p.avail, p.avail_value), -1) << p.name;
    EXPECT_EQ(user_bytes(), sound_) << p.name;
  }
  struct DeletePlan {
    const char *name;
    int freed, avail, head, value_link, patch, next;
  } deletes[] = {
      {"avail entry is the end of data", 6018, 6009, 0, 6021, 6015, 6024},
      {"freed node inside the header", 10, 5985, 0, 6021, 6015, 6024},
      {"patch beyond the end", 6018, 5985, 0, 6021, 9000, 6024},
      {"value link beyond the end", 6018, 5985, 0, 9000, 6015, 6024},
  };
  for (const DeletePlan &p : deletes) {
    EXPECT_EQ(DeleteDic(0, p.freed, p.avail, p.head, p.value_link, p.patch, p.next), -1) << p.name;
    EXPECT_EQ(user_bytes(), sound_) << p.name;
  }
}

TEST_F(DamagedTest, AnExistingUnusableFileIsNeverRecreated) {
  write_file(user_dic(), Bytes{'n', 'o', 't', ' ', 'a', ' ', 'd', 'i', 'c'});
  EXPECT_EQ(InsertHanjaWord(0, kGa.c_str(), kGa1.c_str()), -1);
  EXPECT_EQ(user_bytes(), (Bytes{'n', 'o', 't', ' ', 'a', ' ', 'd', 'i', 'c'}));
}

}  // namespace
